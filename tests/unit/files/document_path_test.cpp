#include "files/document_path.h"

#include <gtest/gtest.h>

#include <string>

namespace stx {
namespace {

TEST(DocumentPath, StreamNamesSplitAfterTheDrive) {
    auto split = [](std::string_view p) {
        StreamName s = SplitStreamName(p);
        return std::string(s.file) + "|" + std::string(s.stream);
    };
    EXPECT_EQ(split("C:\\Work\\a.txt:notes"), "C:\\Work\\a.txt|notes");
    EXPECT_EQ(split("C:\\Work\\a.txt"), "C:\\Work\\a.txt|");
    EXPECT_EQ(split("a.txt:notes:$DATA"), "a.txt|notes:$DATA");
    EXPECT_EQ(split("\\\\server\\share\\a.txt:s"), "\\\\server\\share\\a.txt|s");
    // The long-path forms have their drive colon further in.
    EXPECT_EQ(split("\\\\?\\C:\\a.txt"), "\\\\?\\C:\\a.txt|");
    EXPECT_EQ(split("\\\\?\\C:\\a.txt:s"), "\\\\?\\C:\\a.txt|s");
    EXPECT_EQ(split("\\\\.\\D:\\b:x"), "\\\\.\\D:\\b|x");
    EXPECT_EQ(split(""), "|");
    EXPECT_EQ(split("C:"), "C:|");
    EXPECT_EQ(split("C:\\a:"), "C:\\a|");
}

// A dot in a folder name is no extension; a name starting with a dot has one.
TEST(DocumentPath, DefaultExtensionLooksAtTheLastNameOnly) {
    EXPECT_EQ(WithDefaultExtension("C:\\My.Dir\\report"), "C:\\My.Dir\\report.txt");
    EXPECT_EQ(WithDefaultExtension("C:report"), "C:report.txt");
    EXPECT_EQ(WithDefaultExtension("C:\\a\\.profile"), "C:\\a\\.profile");
    EXPECT_EQ(WithDefaultExtension("C:\\a\\"), "C:\\a\\");
}

TEST(DocumentPath, OpenKeepsTheStoredCaseOfTheName) {
    // A short name comes back in its long form.
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\LONGFI~1.TXT", "Long file name.txt"),
              "C:\\Work\\Long file name.txt");
    // Streams, failed searches and implausible answers keep the full path.
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt:notes", std::nullopt),
              "C:\\Work\\a.txt:notes");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt:notes", "a.txt"), "C:\\Work\\a.txt:notes");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\*.txt", "other.txt"), "C:\\Work\\*.txt");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt", "..\\x"), "C:\\Work\\a.txt");
    EXPECT_EQ(DocumentPathAfterOpen("C:\\Work\\a.txt", ""), "C:\\Work\\a.txt");
    const std::string deep = "C:\\" + std::string(8170, 'd') + "\\SHORT~1.TXT";
    EXPECT_EQ(DocumentPathAfterOpen(deep, std::string(100, 'n')), deep);
}

} // namespace
} // namespace stx
