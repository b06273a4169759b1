// The source templates offered by the "new template" commands, byte for byte.
#pragma once

namespace stx {

inline constexpr char kMasm32Template[] = ".386\r\n"
                                          ".model\tflat,stdcall\r\n"
                                          "option\tcasemap:none\r\n"
                                          "\r\n"
                                          "include\t\\masm32\\include\\windows.inc\r\n"
                                          "include\t\\masm32\\include\\user32.inc\r\n"
                                          "include\t\\masm32\\include\\kernel32.inc\r\n"
                                          "include\t\\masm32\\include\\shell32.inc\r\n"
                                          "\r\n"
                                          "includelib\t\\masm32\\lib\\user32.lib\r\n"
                                          "includelib\t\\masm32\\lib\\kernel32.lib\r\n"
                                          "includelib\t\\masm32\\lib\\shell32.lib\r\n"
                                          "\r\n"
                                          ".data\r\n"
                                          "\r\n"
                                          ".data?\r\n"
                                          "\r\n"
                                          ".code\r\n"
                                          "start:\r\n"
                                          "\r\n"
                                          "end\tstart";

inline constexpr char kTasmTemplate[] = "cseg\tsegment public para 'CODE'\r\n"
                                        "org\t100h\r\n"
                                        "assume\tcs:cseg,ds:cseg,es:cseg,ss:cseg\r\n"
                                        "start:\r\n"
                                        "\r\n"
                                        "cseg\tends\r\n"
                                        "end\tstart";

} // namespace stx
