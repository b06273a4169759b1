// Settings kept between runs in the registry, start-up and shutdown, in the
// running editor and in stratext.exe itself. The registry of the test prefix is
// read and written directly; every box is answered from a helper thread. Each
// test starts and ends without the settings key, so the other suites still see
// a first run.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/command_ids.h"
#include "app/settings.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "win32_test_support.h"

namespace stx::test {

namespace {

const char kEditorKeyPath[] = "Software\\Corvani\\Stratext\\Editor";

void DeleteSettingsKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKeyPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Corvani");
}

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
    bool operator==(const RawValue&) const = default;
};

RawValue Dword(uint32_t value) {
    RawValue raw{REG_DWORD, std::vector<BYTE>(4)};
    std::memcpy(raw.bytes.data(), &value, 4);
    return raw;
}
RawValue Byte(BYTE value) {
    return {REG_BINARY, {value}};
}
// A 2 x 2 24-bit bitmap file.
std::string TinyBitmap() {
    const BITMAPFILEHEADER file{0x4D42, 54 + 16, 0, 0, 54};
    const BITMAPINFOHEADER info{sizeof info, 2, 2, 1, 24, BI_RGB, 16, 0, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + std::string(16, '\0');
}

// Every value under the settings key, the subkey's as "Editor\name".
using RawValues = std::map<std::string, RawValue>;

void AddValues(const char* path, const std::string& prefix, RawValues& values) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        std::vector<BYTE> data(65536);
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &dataSize) !=
            ERROR_SUCCESS)
            break;
        data.resize(dataSize);
        values[prefix + name] = RawValue{type, data};
    }
    RegCloseKey(key);
}

RawValues StoredValues() {
    RawValues values;
    AddValues(kSettingsKeyPath, "", values);
    AddValues(kEditorKeyPath, "Editor\\", values);
    return values;
}

// Writes a value as another tool (or an earlier run) would.
void PutRaw(const char* path, const char* name, const RawValue& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, value.type, value.bytes.data(),
                             static_cast<DWORD>(value.bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void PutPlacement(int x, int y, int width, int height) {
    PutRaw(kSettingsKeyPath, "Window x", Dword(static_cast<uint32_t>(x)));
    PutRaw(kSettingsKeyPath, "Window y", Dword(static_cast<uint32_t>(y)));
    PutRaw(kSettingsKeyPath, "Window width", Dword(static_cast<uint32_t>(width)));
    PutRaw(kSettingsKeyPath, "Window height", Dword(static_cast<uint32_t>(height)));
}

// The number of GDI objects the process holds. Wine does not count them per
// process (GetGuiResources answers 0), so there every handle slot of its
// table is probed instead; nothing when neither measure works.
std::optional<long> GdiObjectCount() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(n);
    auto probe = [] {
        long live = 0;
        for (ULONG_PTR slot = 1; slot <= 0xFFFF; ++slot)
            live += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
        return live;
    };
    // The probe must see one new brush come and go, or it measures nothing.
    const long before = probe();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    const long with = probe();
    DeleteObject(brush);
    if (with != before + 1 || probe() != before) return std::nullopt;
    return before;
}

} // namespace

// Each test starts and stops the editor itself, as often as it needs.
class SettingsStartup : public EditorTest {
  protected:
    void SetUp() override {
        Pump();
        DeleteSettingsKey();
    }
    void TearDown() override {
        Stop();
        DeleteSettingsKey();
    }
    void Start() { EditorTest::SetUp(); }
    void Stop() {
        if (app) EditorTest::TearDown();
    }

    // A command that asks for a number: the input box is given `answer`, or
    // cancelled when there is none.
    void CommandWithInput(int command, const char* answer) {
        auto type = [answer](HWND box) { SetDlgItemTextA(box, IDC_INPUT_EDIT, answer); };
        AnswerBoxes([&] { Command(command); },
                    {answer ? BoxAnswer{IDC_DIALOG_OK, type} : BoxAnswer{IDC_DIALOG_CANCEL, {}}});
    }
};

TEST_F(SettingsStartup, FirstRunThenAutoSaveWritesEachOptionAsItChanges) {
    Start();
    // A first run has the defaults and creates no key; the built-in pattern
    // counts as an image.
    ASSERT_TRUE(app->ntPlatform) << "Wine reports the NT platform";
    EXPECT_EQ(app->settings.render.planeCount, 1);
    for (int on : {IDM_DIRECTION_SE, IDM_CARET_FADE_OUT, IDM_BACKGROUND_IMAGE})
        EXPECT_TRUE(Checked(on)) << on;
    EXPECT_FALSE(Checked(IDM_AUTO_SAVE_SETTINGS));
    EXPECT_FALSE(SettingsKeyExists());

    app->settings.configuredScript = "configured script";
    Command(IDM_AUTO_SAVE_SETTINGS);
    EXPECT_TRUE(Checked(IDM_AUTO_SAVE_SETTINGS));
    RawValues all = StoredValues();
    EXPECT_EQ(all["Auto-save options"], Byte(1));
    EXPECT_EQ(all.size(), 22u) << "turning auto-save on stores every setting but the placement";
    EXPECT_EQ(all.count("Window x"), 0u);

    struct Case {
        const char* what;
        std::function<void()> change;
        RawValues written;
    };
    const Case cases[] = {
        {"planes, at most 255",
         [&] { CommandWithInput(IDM_PLANES_NUMBER, "300"); },
         {{"Editor\\Planes", Dword(255)}}},
        {"the same planes again", [&] { CommandWithInput(IDM_PLANES_NUMBER, "255"); }, {}},
        {"planes cancelled", [&] { CommandWithInput(IDM_PLANES_NUMBER, nullptr); }, {}},
        {"blinking caret",
         [&] { CommandWithInput(IDM_CARET_BLINK, "500"); },
         {{"Editor\\Cursor type", Byte(1)}, {"Editor\\Cursor update", Dword(500)}}},
        // A colour background is placed as a tile, whatever the image had.
        {"background colour",
         [&] { View(EM_SETBKGNDCOLOR, 0, RGB(0x12, 0x34, 0x56)); },
         {{"Editor\\Color", Dword(RGB(0x12, 0x34, 0x56))}, {"Editor\\Background", Byte(0x02)}}},
        {"window moved",
         [&] { MoveWindow(app->main, 40, 50, 600, 420, TRUE); },
         {{"Window x", Dword(40)},
          {"Window y", Dword(50)},
          {"Window width", Dword(600)},
          {"Window height", Dword(420)},
          {"Maximized", Byte(0)}}},
        {"maximized",
         [&] { SendMessageA(app->main, WM_SYSCOMMAND, SC_MAXIMIZE, 0); },
         {{"Maximized", Byte(1)}}},
        // The colour and font dialogs confirmed as they open: the value in
        // force is stored again.
        {"first plane colour",
         [&] {
             AnswerBoxes([&] { Command(IDM_PLANES_FIRST_COLOR); }, {{IDOK, {}}});
         },
         {{"Editor\\First plane color", Dword(0x606060)}}},
        {"plane colour cancelled",
         [&] {
             AnswerBoxes([&] { Command(IDM_PLANES_FIRST_COLOR); }, {{IDCANCEL, {}}});
         },
         {}},
        {"language", [&] { Command(IDM_LANGUAGE_ROMANIAN); }, {{"Language", Byte(1)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteSettingsKey();
        c.change();
        EXPECT_EQ(StoredValues(), c.written);
    }

    // The font as the dialog confirmed it, read back after the command.
    DeleteSettingsKey();
    AnswerBoxes([&] { Command(IDM_SELECT_FONT); }, {{IDOK, {}}});
    const auto font = FontBytes(app->settings.render.font, app->settings.render.textColour);
    EXPECT_EQ(StoredValues()["Editor\\Font"], (RawValue{REG_BINARY, {font.begin(), font.end()}}));
    DeleteSettingsKey();

    // A background image: a bitmap file is taken and stored, any other file
    // changes nothing.
    const TempFile bitmap("stx background.bmp", TinyBitmap());
    const TempFile notBitmap("stx not a bitmap.bmp", "PK this is no bitmap at all");
    auto chooseImage = [&](const TempFile& file) {
        const std::string& path = file.Path();
        AnswerBoxes([&] { Command(IDM_BACKGROUND_IMAGE); },
                    {{IDOK, [&](HWND box) { SetWindowTextA(FileNameField(box), path.c_str()); }}});
    };
    chooseImage(notBitmap);
    EXPECT_TRUE(StoredValues().empty());
    EXPECT_NE(app->settings.render.backgroundKind, BackgroundKind::Image);
    chooseImage(bitmap);
    const char* path = bitmap.Path().c_str();
    const RawValue image{REG_SZ, std::vector<BYTE>(path, path + bitmap.Path().size() + 1)};
    EXPECT_EQ(StoredValues(),
              (RawValues{{"Editor\\Image", image}, {"Editor\\Background", Byte(0x01)}}));
    EXPECT_TRUE(Checked(IDM_BACKGROUND_IMAGE));
    DeleteSettingsKey();

    // Turning auto-save off writes nothing: the stored option stays on.
    PutRaw(kSettingsKeyPath, "Auto-save options", Byte(1));
    Command(IDM_AUTO_SAVE_SETTINGS);
    EXPECT_FALSE(Checked(IDM_AUTO_SAVE_SETTINGS));
    EXPECT_EQ(StoredValues(), (RawValues{{"Auto-save options", Byte(1)}}));
    // So the next start has it on again.
    Stop();
    Start();
    EXPECT_TRUE(app->settings.autoSave);
    EXPECT_TRUE(Checked(IDM_AUTO_SAVE_SETTINGS));
}

TEST_F(SettingsStartup, SaveSettingsWritesEverythingForTheNextStart) {
    Start();
    CommandWithInput(IDM_PLANES_NUMBER, "8");
    for (int command : {IDM_DIRECTION_NE, IDM_SYNTAX_HIGHLIGHT, IDM_DOUBLE_BUFFERING,
                        IDM_AUTO_INDENT, IDM_CARET_OVER_LETTER, IDM_AUTO_CONVERT_UNIX,
                        IDM_SHOW_ADDRESS, IDM_CARET_STATIC, IDM_LANGUAGE_ROMANIAN_DIACRITICS})
        Command(command);
    View(EM_SETBKGNDCOLOR, 0, RGB(0x33, 0x66, 0x99));
    // Colours and font come from dialogs; they are set as those would.
    RenderSettings& r = app->settings.render;
    r.firstPlaneColour = RGB(0xC0, 0, 0);
    r.textColour = RGB(0, 0, 0x80);
    r.font.height = -40;
    r.font.weight = 400;
    std::strcpy(r.font.faceName, "Courier New");
    ASSERT_FALSE(SettingsKeyExists()) << "auto-save is off";

    app->settings.configuredScript = "configured script";
    Command(IDM_SAVE_SETTINGS);
    const RenderSettings saved = r;
    RawValues stored = StoredValues();
    // Every value, in the sizes other installations read: the texts in their
    // fixed buffers, the font as its 64-byte record.
    EXPECT_EQ(stored.size(), 22u);
    EXPECT_EQ(stored["External assembler commands"].bytes.size(), 32767u);
    EXPECT_EQ(stored["Custom help file"].bytes.size(), 8192u);
    EXPECT_EQ(stored["Editor\\Font"].bytes.size(), 64u);
    // Auto-save stays off: the next change is not stored.
    Command(IDM_DIRECTION_S);
    EXPECT_EQ(StoredValues()["Editor\\Direction"], Byte(2));

    Stop();
    Start();
    const RenderSettings& now = app->settings.render;
    EXPECT_FALSE(Checked(IDM_AUTO_SAVE_SETTINGS));
    EXPECT_EQ(now.planeCount, 8);
    EXPECT_TRUE(Checked(IDM_DIRECTION_NE));
    EXPECT_EQ(now.firstPlaneColour, saved.firstPlaneColour);
    EXPECT_EQ(now.textColour, saved.textColour);
    EXPECT_TRUE(Checked(IDM_BACKGROUND_COLOR));
    EXPECT_EQ(now.font, saved.font);
    EXPECT_GE(app->editor.View().lineHeight, 40u) << "the view measures the stored font";
    EXPECT_TRUE(Checked(IDM_CARET_STATIC));
    EXPECT_FALSE(Checked(IDM_SYNTAX_HIGHLIGHT));
    EXPECT_TRUE(Checked(IDM_AUTO_CONVERT_UNIX));
    EXPECT_EQ(app->editor.autoIndent, 0);
    EXPECT_TRUE(Checked(IDM_LANGUAGE_ROMANIAN_DIACRITICS));
}

TEST_F(SettingsStartup, StoredWindowStateIsShownInSight) {
    // A placement on no monitor (where a minimized window was stored): the
    // window comes back where the system puts it.
    PutPlacement(-32000, -32000, 500, 400);
    Start();
    EXPECT_TRUE(IsWindowVisible(app->main));
    EXPECT_NE(MonitorFromWindow(app->main, MONITOR_DEFAULTTONULL), nullptr);
    RECT r{}, screen{}, visible{};
    GetWindowRect(app->main, &r);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    EXPECT_TRUE(IntersectRect(&visible, &r, &screen));
    Stop();

    PutPlacement(30, 40, 500, 400);
    PutRaw(kSettingsKeyPath, "Maximized", Byte(1));
    Start();
    EXPECT_TRUE(IsZoomed(app->main));
    EXPECT_TRUE(IsWindowVisible(app->main));
}

// Values another tool could have left: of the wrong size or type, too long for
// their buffer, or naming what is not there. (The numbers out of range are the
// settings' own business.)
TEST_F(SettingsStartup, DamagedStoredValuesStartSafely) {
    PutRaw(kEditorKeyPath, "Font", RawValue{REG_BINARY, std::vector<BYTE>(10, 0x41)});
    PutRaw(kEditorKeyPath, "Cursor update", RawValue{REG_QWORD, std::vector<BYTE>(8, 1)});
    const std::string script(kScriptCapacity + 1, 'y');
    PutRaw(kSettingsKeyPath, "External assembler commands",
           RawValue{REG_SZ, std::vector<BYTE>(script.begin(), script.end())});
    PutRaw(kSettingsKeyPath, "Auto-save options", RawValue{REG_BINARY, {1, 1}});
    // An image background whose path (with a Windows-1250 letter) has no
    // terminating zero and names no file.
    const std::string image = "C:\\no such folder\\sky\xBA.bmp";
    PutRaw(kEditorKeyPath, "Image",
           RawValue{REG_SZ, std::vector<BYTE>(image.begin(), image.end())});
    PutRaw(kEditorKeyPath, "Background", Byte(0x31));

    Start();
    const RenderSettings& r = app->settings.render;
    EXPECT_EQ(r.font, EditorFont{});
    EXPECT_NE(r.caretPeriodMs, 0x01010101u);
    EXPECT_EQ(app->settings.configuredScript.find("yyy"), std::string::npos);
    EXPECT_FALSE(app->settings.autoSave);
    // The built-in pattern shows meanwhile, in the stored placement, but the
    // user's choice of an image stays: saving the settings keeps it.
    EXPECT_EQ(r.backgroundKind, BackgroundKind::Image);
    EXPECT_TRUE(Checked(IDM_BACKGROUND_IMAGE));
    EXPECT_TRUE(Checked(IDM_PLACEMENT_ISOTROPIC));
    Command(IDM_SAVE_SETTINGS);
    RawValues stored = StoredValues();
    EXPECT_EQ(stored["Editor\\Background"], Byte(0x31));
    EXPECT_EQ(stored["Editor\\Image"].bytes,
              std::vector<BYTE>(image.c_str(), image.c_str() + image.size() + 1));
}

TEST_F(SettingsStartup, RealProgramStartsWithTheStoredPlacementAndLanguage) {
    PutPlacement(80, 90, 520, 380);
    PutRaw(kSettingsKeyPath, "Language", Byte(1));
    TempFile doc("stratext settings start.txt", "stored settings\r\n");
    ProgramProcess program("\"" + doc.Path() + "\"");
    HWND main = program.WaitForWindow("Stratext");
    ASSERT_NE(main, nullptr);
    // The window exists before the file is opened; the title says when it is.
    EXPECT_TRUE(
        WaitFor([&] { return WindowText(main).find("settings start") != std::string::npos; }));
    RECT r{};
    GetWindowRect(main, &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top}),
              (std::vector<LONG>{80, 90, 520, 380}));
    // The status bar answers WM_GETTEXT (which, unlike GetWindowText, asks
    // another process's window) with its first part: the open notice, in the
    // stored language.
    HWND status = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
    char notice[256] = {};
    SendMessageA(status, WM_GETTEXT, sizeof notice, reinterpret_cast<LPARAM>(notice));
    EXPECT_STREQ(notice, "Fisierul a fost deschis cu succes");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(SettingsStartup, RepeatedStartAndShutdownKeepGdiObjects) {
    // A first run fills the system's own caches (menus, bars, window DCs).
    Start();
    Stop();
    const std::optional<long> before = GdiObjectCount();
    if (!before)
        GTEST_SKIP() << "GetGuiResources answers 0 and the handle probe sees nothing: "
                        "this process's GDI objects cannot be counted here";
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Start();
        // A run that changed the planes and painted: the shutdown releases
        // what it made (font, pens, background, back buffer), so every
        // round ends where the first one did.
        app->settings.render.planeCount = 255;
        ViewSettingsChanged(*app);
        SetText("planes\r\nand pens");
        RedrawWindow(app->view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        int width = 0, height = 0;
        CaptureClient(app->view, width, height);
        Stop();
        EXPECT_EQ(GdiObjectCount(), before);
    }
}

} // namespace stx::test
