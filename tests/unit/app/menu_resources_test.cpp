// Reads the menu resource script as the resource compiler would and checks the
// three language menus against each other and against the program's tables.
#include "app/command_ids.h"
#include "app/menu_state.h"
#include "app/ui_texts.h"
#include "tests/unit/app/romanian_letters.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace stx {
namespace {

std::filesystem::path SourceRoot() {
    // This file is tests/unit/app/menu_resources_test.cpp.
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
}

std::string ReadSource(const std::filesystem::path& relative) {
    std::ifstream in(SourceRoot() / relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct MenuNode {
    enum Kind { Popup, Item, Separator } kind = Item;
    std::string text; // bytes as the resource compiler stores them (before code page conversion)
    int id = 0;
    bool checked = false;
    bool help = false;
    std::vector<MenuNode> children;
};

// A small reader for the subset of the resource language the menu script uses.
class MenuScriptReader {
  public:
    explicit MenuScriptReader(std::string script) {
        std::istringstream lines(ReadSource("app/command_ids.h"));
        std::string word, name;
        int value = 0;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            if (fields >> word >> name >> value && word == "#define") defines_[name] = value;
        }
        std::istringstream in(script);
        for (std::string line; std::getline(in, line);) {
            const auto start = line.find_first_not_of(" \t\r");
            if (start == std::string::npos || line.compare(start, 2, "//") == 0 ||
                line[start] == '#')
                continue;
            lines_.push_back(line.substr(start, line.find_last_not_of(" \t\r") + 1 - start));
        }
    }

    // Every MENU resource by its number.
    std::map<int, MenuNode> Menus() {
        std::map<int, MenuNode> menus;
        while (pos_ < lines_.size()) {
            const std::string line = lines_[pos_++];
            const auto space = line.find(' ');
            if (space == std::string::npos || line.substr(space + 1) != "MENU") {
                ADD_FAILURE() << "unexpected line: " << line;
                continue;
            }
            MenuNode menu;
            menu.kind = MenuNode::Popup;
            menu.id = Value(line.substr(0, space));
            ReadBlock(menu);
            menus[menu.id] = std::move(menu);
        }
        return menus;
    }

  private:
    int Value(const std::string& name) {
        const auto it = defines_.find(name);
        if (it != defines_.end()) return it->second;
        EXPECT_FALSE(name.empty() || name[0] < '0' || name[0] > '9') << "unknown name " << name;
        return std::atoi(name.c_str());
    }

    void ReadBlock(MenuNode& parent) {
        EXPECT_EQ(lines_.at(pos_++), "BEGIN");
        while (pos_ < lines_.size()) {
            const std::string line = lines_[pos_++];
            if (line == "END") return;
            MenuNode node;
            if (line == "MENUITEM SEPARATOR") {
                node.kind = MenuNode::Separator;
            } else if (line.rfind("POPUP ", 0) == 0) {
                node.kind = MenuNode::Popup;
                const std::string rest = ReadString(line, 6, node.text);
                node.help = rest == ", HELP";
                EXPECT_TRUE(rest.empty() || node.help) << line;
                ReadBlock(node);
            } else if (line.rfind("MENUITEM ", 0) == 0) {
                std::string rest = ReadString(line, 9, node.text);
                EXPECT_EQ(rest.rfind(", ", 0), 0u) << line;
                rest = rest.substr(2);
                const auto comma = rest.find(',');
                node.id = Value(rest.substr(0, comma));
                if (comma != std::string::npos) {
                    EXPECT_EQ(rest.substr(comma), ", CHECKED") << line;
                    node.checked = true;
                }
            } else {
                ADD_FAILURE() << "unexpected line: " << line;
                continue;
            }
            parent.children.push_back(std::move(node));
        }
        ADD_FAILURE() << "menu block without END";
    }

    // Reads the quoted string at line[at] into text (escapes resolved) and
    // returns what follows it.
    static std::string ReadString(const std::string& line, std::size_t at, std::string& text) {
        EXPECT_EQ(line.at(at), '"') << line;
        std::size_t i = at + 1;
        for (; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] != '\\') {
                text += line[i];
                continue;
            }
            const char next = line.at(++i);
            if (next == 't') {
                text += '\t';
            } else if (next >= '0' && next <= '7') {
                EXPECT_TRUE(line.size() > i + 2) << line;
                text += static_cast<char>(std::stoi(line.substr(i, 3), nullptr, 8));
                i += 2;
            } else {
                ADD_FAILURE() << "escape \\" << next << " in " << line;
            }
        }
        EXPECT_LT(i, line.size()) << "unterminated string: " << line;
        return line.substr(i + 1);
    }

    std::map<std::string, int> defines_;
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
};

class MenuResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const std::string script = ReadSource("resources/menus.rc");
        ASSERT_FALSE(script.empty()) << "cannot read " << SourceRoot() / "resources/menus.rc";
        ASSERT_NE(script.find("#pragma code_page(1250)"), std::string::npos);
        menus_ = std::make_unique<std::map<int, MenuNode>>(MenuScriptReader(script).Menus());
    }
    static void TearDownTestSuite() { menus_.reset(); }

    static const MenuNode& Menu(UiLanguage language) {
        return menus_->at(MenuResourceFor(language));
    }

    static void Walk(const MenuNode& node, const std::function<void(const MenuNode&)>& visit) {
        for (const MenuNode& child : node.children) {
            visit(child);
            Walk(child, visit);
        }
    }

    static std::unique_ptr<std::map<int, MenuNode>> menus_;
};

std::unique_ptr<std::map<int, MenuNode>> MenuResources::menus_;

constexpr UiLanguage kLanguages[] = {UiLanguage::English, UiLanguage::Romanian,
                                     UiLanguage::RomanianDiacritics};

TEST_F(MenuResources, ThreeMenus) {
    ASSERT_EQ(menus_->size(), 3u);
    for (const UiLanguage language : kLanguages)
        EXPECT_EQ(menus_->count(MenuResourceFor(language)), 1u);
}

// Same shape, same command numbers, item by item.
void ExpectSameStructure(const MenuNode& a, const MenuNode& b, const std::string& path) {
    ASSERT_EQ(a.children.size(), b.children.size()) << path;
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        const MenuNode& x = a.children[i];
        const MenuNode& y = b.children[i];
        const std::string here = path + "/" + x.text;
        EXPECT_EQ(x.kind, y.kind) << here;
        EXPECT_EQ(x.id, y.id) << here;
        EXPECT_EQ(x.help, y.help) << here;
        ExpectSameStructure(x, y, here);
    }
}

TEST_F(MenuResources, SameStructureAndCommandsInEveryLanguage) {
    ExpectSameStructure(Menu(UiLanguage::English), Menu(UiLanguage::Romanian), "551");
    ExpectSameStructure(Menu(UiLanguage::English), Menu(UiLanguage::RomanianDiacritics), "552");

    std::multiset<int> ids;
    Walk(Menu(UiLanguage::English), [&](const MenuNode& node) {
        if (node.kind == MenuNode::Item) ids.insert(node.id);
    });
    EXPECT_EQ(ids.size(), 70u);
    for (const int id : ids)
        EXPECT_EQ(ids.count(id), 1u) << "command twice: " << id;
    for (const auto& item : kViewPopupMenu) {
        if (item.command != 0) {
            EXPECT_EQ(ids.count(item.command), 1u) << item.command;
        }
    }
    for (const CommandText& tip : kToolbarTooltips)
        EXPECT_EQ(ids.count(tip.command), 1u);
}

TEST_F(MenuResources, HelpPopupIsRightJustified) {
    for (const UiLanguage language : kLanguages) {
        const MenuNode& bar = Menu(language);
        ASSERT_EQ(bar.children.size(), 6u);
        for (std::size_t i = 0; i < bar.children.size(); ++i) {
            EXPECT_EQ(bar.children[i].kind, MenuNode::Popup);
            EXPECT_EQ(bar.children[i].help, i == 5) << bar.children[i].text;
        }
        EXPECT_EQ(bar.children[5].children.back().id, IDM_HELP_ABOUT);
    }
}

TEST_F(MenuResources, StreamsPopupWhereTheStreamListGoesBack) {
    for (const UiLanguage language : kLanguages) {
        const MenuNode& file = Menu(language).children.at(kFilePopupPosition);
        const MenuNode& streams = file.children.at(kStreamsPopupPosition);
        EXPECT_EQ(streams.kind, MenuNode::Popup);
        EXPECT_EQ(streams.text, kStreamsPopupText);
        ASSERT_EQ(streams.children.size(), 2u);
        EXPECT_EQ(streams.children[0].id, IDM_STREAM_DEFAULT);
        EXPECT_EQ(streams.children[0].text, kDefaultStreamText);
        EXPECT_TRUE(streams.children[0].checked);
        EXPECT_EQ(streams.children[1].kind, MenuNode::Separator);
    }
}

// The resource's check marks are those of the built-in settings, so a menu
// loaded before the settings are applied shows nothing wrong.
TEST_F(MenuResources, StoredCheckMarksAreTheDefaults) {
    for (const UiLanguage language : kLanguages) {
        SCOPED_TRACE(MenuResourceFor(language));
        std::map<int, bool> inResource;
        Walk(Menu(language), [&](const MenuNode& node) {
            if (node.kind == MenuNode::Item) inResource[node.id] = node.checked;
        });
        MenuCheckState defaults;
        defaults.language = language;
        std::set<int> expectedChecked = {IDM_STREAM_DEFAULT};
        for (const MenuCheck& mark : MenuCheckMarks(defaults)) {
            EXPECT_EQ(inResource.count(mark.command), 1u) << "no item " << mark.command;
            if (mark.checked) expectedChecked.insert(mark.command);
        }
        std::set<int> checked;
        for (const auto& [id, isChecked] : inResource)
            if (isChecked) checked.insert(id);
        EXPECT_EQ(checked, expectedChecked);
    }
}

TEST_F(MenuResources, RomanianLabels) {
    // Labels with diacritics read as the plain Romanian ones letter for letter,
    // and only the letters of the Romanian alphabet use bytes above 0x7F.
    std::vector<std::string> plain, marked, english;
    Walk(Menu(UiLanguage::Romanian), [&](const MenuNode& n) { plain.push_back(n.text); });
    Walk(Menu(UiLanguage::RomanianDiacritics),
         [&](const MenuNode& n) { marked.push_back(n.text); });
    Walk(Menu(UiLanguage::English), [&](const MenuNode& n) { english.push_back(n.text); });
    ASSERT_EQ(plain.size(), marked.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(test::FoldDiacritics(marked[i]), test::FoldDiacritics(plain[i])) << plain[i];
        EXPECT_TRUE(test::OnlyKnownLetters(marked[i])) << plain[i];
        if (marked[i] != plain[i]) ++differing;
    }
    EXPECT_EQ(differing, 30u);

    // The one non-ASCII label of the other menus is the language item itself.
    const std::string romanianItem = "R&om\xE2n\xE3";
    for (const auto* labels : {&plain, &english})
        for (const std::string& label : *labels)
            EXPECT_TRUE(label == romanianItem || test::FoldDiacritics(label) == label) << label;

    const MenuNode& edit = Menu(UiLanguage::RomanianDiacritics).children.at(1);
    EXPECT_EQ(edit.children.at(6).text, "\xAA&tergere\tDel");
    EXPECT_EQ(edit.children.at(10).text, "\xCEn&locuire\tCtrl+R");
    EXPECT_EQ(Menu(UiLanguage::RomanianDiacritics).children.at(0).text, "&Fi\xBAier");
}

} // namespace
} // namespace stx
