#include "platform/option_commands.h"

#include <commdlg.h>
#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/number.h"
#include "platform/editor_app.h"
#include "platform/gdi_surface.h"
#include "platform/input_box.h"
#include "platform/main_window.h"
#include "platform/report_error.h"
#include "platform/text_view.h"
#include "text/text_editor.h"
#include "view/caret_animation.h"

namespace stx {

namespace {

RenderSettings& Render() {
    return App().settings.render;
}

void Check(int command, bool on) {
    if (App().menu)
        CheckMenuItem(App().menu, static_cast<UINT>(command),
                      MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void CheckRadio(int first, int last, int chosen) {
    for (int command = first; command <= last; ++command)
        Check(command, command == chosen);
}

// The number typed into the input box, or nothing when it was cancelled.
std::optional<uint32_t> AskNumber(const BilingualText& prompt, uint32_t current) {
    InputBoxRequest request;
    request.english = App().Language() == UiLanguage::English;
    request.prompt = ChooseText(App().Language(), prompt);
    request.number = current;
    std::optional<std::string> answer = InputBox(App().main, request);
    if (!answer) return std::nullopt;
    return ParseNumber(NumberToken(*answer)).value;
}

// The colour dialog; its 16 custom colours are shared by every colour choice of the run.
std::optional<COLORREF> AskColour(COLORREF current) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = App().main;
    choose.rgbResult = current;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&choose)) return std::nullopt;
    return choose.rgbResult & 0xFFFFFF;
}

EditorFont FromLogFont(const LOGFONTA& f) {
    EditorFont font;
    font.height = f.lfHeight;
    font.width = f.lfWidth;
    font.escapement = f.lfEscapement;
    font.orientation = f.lfOrientation;
    font.weight = f.lfWeight;
    font.italic = f.lfItalic;
    font.underline = f.lfUnderline;
    font.strikeOut = f.lfStrikeOut;
    font.charSet = f.lfCharSet;
    font.outPrecision = f.lfOutPrecision;
    font.clipPrecision = f.lfClipPrecision;
    font.quality = f.lfQuality;
    font.pitchAndFamily = f.lfPitchAndFamily;
    lstrcpynA(font.faceName, f.lfFaceName, sizeof font.faceName);
    return font;
}

void ToggleFlag(bool& flag, int command, Setting setting) {
    flag = !flag;
    Check(command, flag);
    WriteSetting(setting);
    ViewSettingsChanged();
}

// Planes and distance: the prompt, the range, and nothing more when the
// answer is the value in force.
void ChooseNumber(const BilingualText& prompt, int& value, int (*clamp)(std::int64_t),
                  Setting setting) {
    auto answer = AskNumber(prompt, static_cast<uint32_t>(value));
    if (!answer) return;
    int chosen = clamp(*answer);
    if (chosen == value) return;
    value = chosen;
    ViewSettingsChanged();
    WriteSetting(setting);
}

void ChoosePlaneColour(bool first) {
    Colour& colour = first ? Render().firstPlaneColour : Render().lastPlaneColour;
    auto chosen = AskColour(colour);
    if (!chosen) return;
    colour = *chosen;
    WriteSetting(first ? Setting::FirstPlaneColor : Setting::LastPlaneColor);
    ViewSettingsChanged();
}

void ChooseDirection(int command) {
    FadeDirection direction;
    if (!FadeDirectionFromIndex(static_cast<unsigned>(command - IDM_DIRECTION_N), direction))
        return;
    Render().fadeDirection = direction;
    CheckRadio(IDM_DIRECTION_N, IDM_DIRECTION_E, command);
    ViewSettingsChanged();
    WriteSetting(Setting::Direction);
}

void ChooseCaret(int command) {
    auto mode = static_cast<CaretMode>(command - IDM_CARET_BLINK + 1);
    uint32_t period = Render().caretPeriodMs;
    if (mode != CaretMode::Static) {
        auto answer = AskNumber(kMillisecondsPrompt, period);
        if (!answer) return;
        period = *answer;
    }
    uint8_t caretFlags = ViewEditor().GetCaret().flags;
    ChooseCaretMode(Render(), mode, period, caretFlags);
    ViewEditor().SetCaretFlags(caretFlags);
    RestartCaretTimer();
    CheckRadio(IDM_CARET_BLINK, IDM_CARET_STATIC, command);
    WriteSetting(Setting::CursorType);
    if (mode != CaretMode::Static) WriteSetting(Setting::CursorUpdate);
    ViewSettingsChanged();
}

void ChooseBackgroundImage() {
    char name[8192] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = App().main;
    ofn.lpstrFilter = ChooseText(App().Language(), kBitmapFilter);
    ofn.lpstrFile = name;
    ofn.nMaxFile = sizeof name;
    ofn.lpstrInitialDir = ".";
    ofn.lpstrTitle = ChooseText(App().Language(), kOpenTitle);
    ofn.lpstrDefExt = "*.bmp";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_LONGNAMES;
    if (!GetOpenFileNameA(&ofn)) return;
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError();
        return;
    }
    char header[14] = {};
    DWORD got = 0;
    bool bitmap = ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header &&
                  header[0] == 'B' && header[1] == 'M';
    CloseHandle(file);
    if (!bitmap) return;
    RenderSettings previous = Render();
    Render().imagePath = name;
    Render().backgroundKind = BackgroundKind::Image;
    Render().imagePlacement = ImagePlacement::Tile;
    if (!ApplyBackground()) {
        // The file says it is a bitmap but cannot be made into one.
        Render() = previous;
        ApplyBackground();
        return;
    }
    WriteSetting(Setting::Image);
    WriteSetting(Setting::Background);
    InvalidateRect(App().main, nullptr, TRUE);
    Check(IDM_BACKGROUND_IMAGE, true);
    Check(IDM_BACKGROUND_COLOR, false);
    Status().ShowNotice(Notice::FileOpened, App().Language());
}

void ChooseBackgroundColour() {
    auto chosen = AskColour(Render().backgroundColour);
    if (!chosen) return;
    SendMessageA(App().view, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(*chosen));
}

void ChoosePlacement(int command) {
    Render().imagePlacement = static_cast<ImagePlacement>(command - IDM_PLACEMENT_TILE);
    CheckRadio(IDM_PLACEMENT_TILE, IDM_PLACEMENT_ISOTROPIC, command);
    WriteSetting(Setting::Background);
    InvalidateRect(App().main, nullptr, TRUE);
    ViewSettingsChanged();
}

void ChooseFont() {
    LOGFONTA font = ToLogFont(Render().font);
    HDC dc = GetDC(App().view);
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = App().main;
    choose.hDC = dc;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_PRINTERFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    choose.rgbColors = Render().textColour;
    if (ChooseFontA(&choose)) {
        Render().font = FromLogFont(font);
        Render().textColour = choose.rgbColors & 0xFFFFFF;
        ViewEditor().Buffer().Colours().Text() = Render().textColour;
    }
    ReleaseDC(App().view, dc);
    // Cancelled or not, the widths are measured again, as the font may be new.
    ViewFontChanged();
    SendMessageA(App().main, WM_SIZE, 0, 0);
    InvalidateRect(App().main, nullptr, TRUE);
    WriteSetting(Setting::Font);
}

void ConvertUnixText() {
    TextEditor& editor = ViewEditor();
    editor.ConvertUnixText();
    RefreshView();
}

void StepDisplayMode(int command) {
    EditorApp& app = App();
    if (command == IDM_DISPLAY_MODE_NEXT) {
        app.displayMode = static_cast<uint8_t>((app.displayMode + 1) % 6);
        // F4 is the hex view key: it also switches the address column.
        HandleOptionCommand(IDM_SHOW_ADDRESS);
    } else {
        app.displayMode = static_cast<uint8_t>(command - IDM_DISPLAY_MODE_FIRST);
    }
    CheckRadio(IDM_DISPLAY_MODE_FIRST, IDM_DISPLAY_MODE_LAST,
               IDM_DISPLAY_MODE_FIRST + app.displayMode);
    InvalidateRect(app.view, nullptr, FALSE);
}

} // namespace

void RestartCaretTimer() {
    HWND main = App().main;
    if (!main) return;
    KillTimer(main, kCaretTimer);
    CaretTimer timer = CaretTimerFor(Render());
    if (timer.running) SetTimer(main, kCaretTimer, timer.periodMs, nullptr);
}

bool HandleOptionCommand(int command) {
    AppSettings& s = App().settings;
    switch (command) {
    case IDM_PLANES_NUMBER:
        ChooseNumber(kPlanesPrompt, Render().planeCount, ClampPlaneCount, Setting::Planes);
        return true;
    case IDM_PLANES_DISTANCE:
        ChooseNumber(kDistancePrompt, Render().distance, ClampDistance, Setting::Distance);
        return true;
    case IDM_PLANES_FIRST_COLOR:
        ChoosePlaneColour(true);
        return true;
    case IDM_PLANES_LAST_COLOR:
        ChoosePlaneColour(false);
        return true;
    case IDM_SYNTAX_HIGHLIGHT:
        ToggleFlag(s.render.syntaxHighlight, command, Setting::SyntaxHighlight);
        return true;
    case IDM_DOUBLE_BUFFERING:
        if (!ViewEditor().Buffer().IsBusy())
            ToggleFlag(s.render.doubleBuffering, command, Setting::DoubleBuffering);
        return true;
    case IDM_AUTO_INDENT:
        s.autoIndent = !s.autoIndent;
        ViewEditor().autoIndent = s.autoIndent ? 8 : 0;
        Check(command, s.autoIndent);
        WriteSetting(Setting::AutoIndent);
        return true;
    case IDM_CARET_OVER_LETTER:
        ToggleFlag(s.render.overLetter, command, Setting::CursorOverLetter);
        return true;
    case IDM_SHOW_ADDRESS:
        ToggleFlag(s.render.showAddress, command, Setting::ShowAddress);
        RefreshView();
        return true;
    case IDM_BACKGROUND_IMAGE:
        ChooseBackgroundImage();
        return true;
    case IDM_BACKGROUND_COLOR:
        ChooseBackgroundColour();
        return true;
    case IDM_SELECT_FONT:
        ChooseFont();
        return true;
    case IDM_AUTO_CONVERT_UNIX:
        s.autoConvertUnixText = !s.autoConvertUnixText;
        ViewEditor().Buffer().convertLineBreaks = s.autoConvertUnixText ? 8 : 0;
        Check(command, s.autoConvertUnixText);
        WriteSetting(Setting::AutoConvertUnixText);
        ConvertUnixText();
        return true;
    case IDM_CONVERT_UNIX:
        ConvertUnixText();
        return true;
    case IDM_SAVE_SETTINGS:
        SaveAllSettings(Settings(), s);
        return true;
    case IDM_AUTO_SAVE_SETTINGS:
        Check(command, ToggleAutoSave(Settings(), s));
        return true;
    }
    if (command >= IDM_DIRECTION_N && command <= IDM_DIRECTION_E) {
        ChooseDirection(command);
        return true;
    }
    if (command >= IDM_CARET_BLINK && command <= IDM_CARET_STATIC) {
        ChooseCaret(command);
        return true;
    }
    if (command >= IDM_PLACEMENT_TILE && command <= IDM_PLACEMENT_ISOTROPIC) {
        ChoosePlacement(command);
        return true;
    }
    if ((command >= IDM_DISPLAY_MODE_FIRST && command <= IDM_DISPLAY_MODE_LAST) ||
        command == IDM_DISPLAY_MODE_NEXT) {
        StepDisplayMode(command);
        return true;
    }
    return false;
}

} // namespace stx
