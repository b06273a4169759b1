// The index generator over in-memory directory trees.
#include "tools/html_index.h"

#include <gtest/gtest.h>

#include "tests/support/memory_tree.h"
#include "tools/description_file.h"

namespace stx {
namespace {

using test::MemoryTree;

// 2003-03-07 09:05 and 2004-02-29 23:59 (UTC, the memory tree's local time).
constexpr uint64_t kMarch2003 = 126915015000000000ull;
constexpr uint64_t kLeapDay2004 = 127225727400000000ull;
constexpr uint64_t kFiveGiB = 5ull << 30;

IndexOptions Options(const std::string& directory) {
    IndexOptions o;
    o.directory = directory;
    return o;
}

TEST(HtmlIndex, PageOfOneFileWordForWord) {
    MemoryTree tree;
    tree.Dir("C:\\web", {{"a.txt", 0x20, kMarch2003, 1234}});
    IndexOptions o = Options("C:\\web");
    o.recurse = false;
    ASSERT_EQ(GenerateIndex(o, tree, tree), IndexResult::Done);
    const std::string page =
        "<HTML><HEAD>\r\n"
        "\t<META http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-2\">\r\n"
        "\t<META name=\"GENERATOR\" content=\"Stratext 1.01\">\r\n"
        "\t<META name=\"robots\" content=\"INDEX, FOLLOW\">\r\n"
        "\t<TITLE>Index of /</TITLE>\r\n</HEAD>\r\n"
        "<BODY text=\"#FFFFFF\" bgcolor=\"#000000\" link=\"#C0FFFF\" vlink=\"#90CFCF\" "
        "alink=\"#90FFCF\">\r\n"
        "<H1><HR><CENTER>Index of /<P>Last Updated: Friday, March 7th, 2003</CENTER><HR></H1>"
        "<P><TABLE WIDTH=100%>\r\n"
        "<TD WIDTH=20% BGCOLOR=#C0FFFF><FONT COLOR=#3F0000><B>File name</B></FONT>\r\n"
        "<TD WIDTH=10% BGCOLOR=#A0DFDF><FONT COLOR=#3F0000><B>Size</B></FONT>\r\n"
        "<TD WIDTH=20% BGCOLOR=#80BFBF><FONT COLOR=#3F0000><B>Last update</B></FONT>\r\n"
        "<TD WIDTH=50% BGCOLOR=#609F9F><FONT COLOR=#3F0000><B>Description</B></FONT></TR>\r\n"
        "<TR VALIGN=TOP><TD><A HREF=\"a.txt\">a.txt</A><TD ALIGN=RIGHT>1,234"
        "<TD ALIGN=CENTER>3/7/2003, 9:5<TD>\r\n"
        "</TABLE><P ALIGN=RIGHT><SMALL>There are 1 file and 0 directories<BR ALIGN=RIGHT>"
        "for a total of 1234 bytes.</SMALL></BODY>\r\n</HTML>";
    EXPECT_EQ(tree.Page("C:\\web"), page);
    EXPECT_EQ(tree.files.count("C:\\web\\robots.txt"), 0u);
    EXPECT_EQ(tree.progress.front(), "C:\\web");
}

TEST(HtmlIndex, NestedPagesOrderTotalsDatesAndLinks) {
    MemoryTree tree;
    tree.Dir("C:\\web", {{"B.txt", 0, 0, 1000},
                         {"zed", kAttributeDirectory, 0},
                         {"INDEX.HTM", 0, kLeapDay2004, 1},
                         {"a.txt", 0, 0, 999},
                         {"Sub", kAttributeDirectory, 0},
                         {"a", 0, 0, 123456}});
    tree.Dir("C:\\web\\Sub", {{"big.iso", 0, kLeapDay2004, kFiveGiB}}, kMarch2003);
    tree.Dir("C:\\web\\zed", {});
    IndexOptions o = Options("C:\\web");
    o.rootPath = "  \\pub\\";
    ASSERT_EQ(GenerateIndex(o, tree, tree), IndexResult::Done);

    const std::string top = tree.Page("C:\\web");
    // The pages below, the parent, directories, then files, each by name.
    const size_t sub = top.find("HREF=\"Sub/index.html\">[Sub]</A><TD ALIGN=CENTER>&lt;DIR&gt;"
                                "<TD ALIGN=CENTER>2/29/2004, 23:59<TD>");
    const size_t zed = top.find("HREF=\"zed/index.html\">[zed]");
    const size_t a = top.find("HREF=\"a\">a</A><TD ALIGN=RIGHT>123,456");
    const size_t aTxt = top.find("HREF=\"a.txt\">a.txt</A><TD ALIGN=RIGHT>999<");
    const size_t bTxt = top.find("HREF=\"B.txt\">B.txt</A><TD ALIGN=RIGHT>1,000<");
    ASSERT_NE(sub, std::string::npos);
    EXPECT_TRUE(sub < zed && zed < a && a < aTxt && aTxt < bTxt && bTxt != std::string::npos);
    EXPECT_EQ(top.find(".."), std::string::npos);
    EXPECT_NE(top.find("<TITLE>Index of /pub</TITLE>"), std::string::npos);
    // The newest time anywhere below dates the page; totals include the pages below.
    EXPECT_NE(top.find("Last Updated: Sunday, February 29th, 2004"), std::string::npos);
    EXPECT_NE(top.find("There are 3 files and 2 directories<BR ALIGN=RIGHT>for a total of " +
                       std::to_string(kFiveGiB + 125455) + " bytes."),
              std::string::npos);

    const std::string below = tree.Page("C:\\web\\Sub");
    EXPECT_NE(below.find("<TITLE>Index of /pub/Sub</TITLE>"), std::string::npos);
    EXPECT_NE(below.find("<TR VALIGN=TOP><TD><A HREF=\"../index.html\">[..]</A>"
                         "<TD ALIGN=CENTER>&lt;DIR&gt;<TD ALIGN=CENTER>3/7/2003, 9:5"
                         "<TD>Parent directory\r\n<TR VALIGN=TOP><TD><A HREF=\"big.iso\">"),
              std::string::npos);
    EXPECT_NE(below.find("5,368,709,120"), std::string::npos);
    EXPECT_NE(below.find("There are 1 file and 1 directory"), std::string::npos);
    // An empty directory's page is dated by the directory itself.
    EXPECT_NE(tree.Page("C:\\web\\zed").find("Monday, January 1st, 1601"), std::string::npos);

    // Without recursion directories are plain rows and nothing below is written.
    MemoryTree flat;
    flat.Dir("C:\\w", {{"d", kAttributeDirectory, 0}});
    flat.Dir("C:\\w\\d", {});
    o = Options("C:\\w");
    o.recurse = false;
    GenerateIndex(o, flat, flat);
    EXPECT_NE(flat.Page("C:\\w").find("HREF=\"d\">d</A><TD ALIGN=CENTER>&lt;DIR&gt;"),
              std::string::npos);
    EXPECT_EQ(flat.Page("C:\\w\\d"), "<none>");
}

TEST(HtmlIndex, HiddenEntriesAndRobots) {
    MemoryTree robots;
    robots.Dir("C:\\web", {{"pub", kAttributeDirectory, 0},
                           {"secret file.txt", kAttributeHidden, 0, 5},
                           {"sys", kAttributeSystem | kAttributeDirectory, 0}});
    robots.Dir("C:\\web\\pub", {{"x.tmp", kAttributeHidden, 0, 1}, {"y", 0, 0, 1}});
    robots.Dir("C:\\web\\sys", {});
    IndexOptions o = Options("C:\\web");
    o.includeHidden = false;
    o.robots = true;
    GenerateIndex(o, robots, robots);
    EXPECT_EQ(robots.files["C:\\web\\robots.txt"],
              "User-agent: *\nDisallow: /pub/x.tmp\nDisallow: /secret%20file.txt\n"
              "Disallow: /sys\n");
    EXPECT_EQ(robots.Page("C:\\web").find("secret"), std::string::npos);
    EXPECT_EQ(robots.Page("C:\\web\\sys"), "<none>");
    EXPECT_NE(robots.Page("C:\\web").find("There are 0 files and 1 directory"), std::string::npos);
}

TEST(HtmlIndex, DescriptionsFromTheFileAndThePrompt) {
    MemoryTree tree;
    tree.Dir("C:\\web", {{"descript.ion", kAttributeHidden, 0, 10},
                         {"Long Name.txt", 0, 0, 1},
                         {"readme", 0, 0, 1},
                         {"read", 0, 0, 1},
                         {"sub", kAttributeDirectory, 0}});
    tree.Dir("C:\\web\\sub", {{"a", 0, 0, 1}, {"b", 0, 0, 1}});
    tree.files["C:\\web\\descript.ion"] = "  \"long name.TXT\"\tspaced <b>out</b>\r\n"
                                          "README first\r\nreadme second\r\nreadme_x not this\n";
    IndexOptions o = Options("C:\\web");
    o.prompt = true;
    o.includeHidden = false;
    tree.answers = {"typed for a"};
    GenerateIndex(o, tree, tree);
    const std::string top = tree.Page("C:\\web");
    EXPECT_NE(top.find(">Long Name.txt</A>"), std::string::npos);
    EXPECT_NE(top.find("<TD>spaced <b>out</b>\r\n"), std::string::npos);
    EXPECT_NE(top.find(">readme</A><TD ALIGN=RIGHT>1<TD ALIGN=CENTER>1/1/1601, 0:0<TD>first\r\n"),
              std::string::npos);
    EXPECT_NE(tree.Page("C:\\web\\sub")
                  .find(">a</A><TD ALIGN=RIGHT>1<TD ALIGN=CENTER>1/1/1601, "
                        "0:0<TD>typed for a\r\n"),
              std::string::npos);
    // Cancel at "b" ends the prompts for the run: "read" and "sub" are not asked.
    EXPECT_EQ(tree.captions, (std::vector<std::string>{"Enter description for /sub/a",
                                                       "Enter description for /sub/b"}));

    EXPECT_EQ(DescriptionCaption(UiLanguage::English, "/a/very/long/path/of/directories",
                                 "and-a-long-file-name.txt"),
              "Enter description for /a/very/long/path/of...a-long-file-name.txt");

    DescriptionTable table;
    table.Parse(std::string("\"unterminated\r\nx\0y", 18));
    EXPECT_NE(table.Find("unterminated"), nullptr);
    EXPECT_EQ(*table.Find("X"), "");
    table.Parse(std::string("a ") + std::string(kMaxDescription + 10, 'd'));
    EXPECT_EQ(table.Find("a")->size(), kMaxDescription);
}

TEST(HtmlIndex, NamesCannotBreakThePage) {
    MemoryTree tree;
    tree.Dir("C:\\web", {{"a<b>&c\".txt", 0, 0, 1}, {"q\" onclick=\"x", kAttributeDirectory, 0}});
    tree.Dir("C:\\web\\q\" onclick=\"x", {});
    GenerateIndex(Options("C:\\web"), tree, tree);
    const std::string top = tree.Page("C:\\web");
    EXPECT_NE(top.find("<A HREF=\"a%3Cb%3E%26c%22.txt\">a&lt;b&gt;&amp;c&quot;.txt</A>"),
              std::string::npos);
    EXPECT_NE(top.find("<A HREF=\"q%22%20onclick%3D%22x/index.html\">[q&quot; onclick=&quot;x]"),
              std::string::npos);
    EXPECT_NE(
        tree.Page("C:\\web\\q\" onclick=\"x").find("<TITLE>Index of /q&quot; onclick=&quot;x"),
        std::string::npos);
}

TEST(HtmlIndex, RomanianPages) {
    MemoryTree tree;
    tree.Dir("C:\\web", {{"f", 0, kMarch2003, 1}, {"d", kAttributeDirectory, 0}});
    tree.Dir("C:\\web\\d", {{"g", 0, 0, 1234567}});
    IndexOptions o = Options("C:\\web");
    o.language = UiLanguage::Romanian;
    GenerateIndex(o, tree, tree);
    EXPECT_NE(tree.Page("C:\\web\\d").find("1.234.567"), std::string::npos);
    const std::string top = tree.Page("C:\\web");
    EXPECT_NE(top.find("<P>Actualizat: Vineri, 7 Martie, 2003"), std::string::npos);
    EXPECT_NE(top.find("<SMALL>1 fisier si 1 director<BR ALIGN=RIGHT>totalizand 1234568 bytes."),
              std::string::npos);
}

TEST(HtmlIndex, RootPathsAndDates) {
    EXPECT_EQ(NormaliseRootPath("  "), "/");

    const auto day = [](int d) {
        CalendarTime t;
        t.day = d;
        t.month = 11;
        t.weekday = 4;
        return LongDate(t, UiLanguage::English);
    };
    EXPECT_EQ(day(11), "Thirsday, November 11th, 1601");
    EXPECT_EQ(day(13), "Thirsday, November 13th, 1601");
    EXPECT_EQ(day(21), "Thirsday, November 21st, 1601");
    EXPECT_EQ(day(23), "Thirsday, November 23rd, 1601");
    const CalendarTime leap = UtcCalendarTime(kLeapDay2004);
    EXPECT_EQ(ShortDate(leap), "2/29/2004, 23:59");
    EXPECT_EQ(leap.weekday, 0);
}

} // namespace
} // namespace stx
