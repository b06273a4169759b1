; hello.asm: a message box from a 32-bit Windows program

        .386
        .model flat, stdcall
        option casemap:none

include \masm32\include\windows.inc
include \masm32\include\user32.inc
include \masm32\include\kernel32.inc
includelib \masm32\lib\user32.lib
includelib \masm32\lib\kernel32.lib

        .data
caption db "Stratext", 0
message db "Hello from the planes!", 0Dh, 0Ah, 0

        .code
start:  push    MB_OK or MB_ICONINFORMATION
        push    offset caption
        push    offset message
        push    0
        call    MessageBoxA
        push    0
        call    ExitProcess
end start
