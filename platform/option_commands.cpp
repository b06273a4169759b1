#include "platform/option_commands.h"

#include <commdlg.h>
#include <richedit.h>

#include <string>

#include "app/command_ids.h"
#include "app/ui_texts.h"
#include "files/number.h"
#include "platform/background_setting.h"
#include "platform/documents.h"
#include "platform/failure_guard.h"
#include "platform/file_dialog.h"
#include "platform/gdi_surface.h"
#include "platform/input_box.h"
#include "platform/main_menu.h"
#include "platform/report_error.h"
#include "platform/text_view.h"
#include "view/caret_animation.h"

namespace stx {

namespace {

// The number typed into the input box, or nothing when it was cancelled.
std::optional<uint32_t> AskNumber(EditorApp& app, const BilingualText& prompt, uint32_t current) {
    InputBoxRequest request;
    request.language = app.Language();
    request.prompt = ChooseText(app.Language(), prompt);
    request.number = current;
    std::optional<std::string> answer = InputBox(app.main, request);
    if (!answer) return std::nullopt;
    return ParseNumber(NumberToken(*answer)).value;
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

// After a setting changed: its check mark, its stored value, the view.
void Changed(EditorApp& app, Setting setting) {
    ApplyMenuChecks(app);
    app.WriteSetting(setting);
    ViewSettingsChanged(app);
}

void ToggleFlag(EditorApp& app, bool& flag, Setting setting) {
    flag = !flag;
    Changed(app, setting);
}

// Planes and distance: the prompt, the range, and nothing more when the
// answer is the value in force.
void ChooseNumber(EditorApp& app, const BilingualText& prompt, int& value,
                  int (*clamp)(std::int64_t), Setting setting) {
    auto answer = AskNumber(app, prompt, static_cast<uint32_t>(value));
    if (!answer) return;
    int chosen = clamp(*answer);
    if (chosen == value) return;
    value = chosen;
    Changed(app, setting);
}

void ChoosePlaneColour(EditorApp& app, bool first) {
    RenderSettings& r = app.settings.render;
    Colour& colour = first ? r.firstPlaneColour : r.lastPlaneColour;
    auto chosen = AskColour(app.main, colour);
    if (!chosen) return;
    colour = *chosen;
    Changed(app, first ? Setting::FirstPlaneColor : Setting::LastPlaneColor);
}

void ChooseDirection(EditorApp& app, int command) {
    FadeDirection direction;
    if (!FadeDirectionFromIndex(static_cast<unsigned>(command - IDM_DIRECTION_N), direction))
        return;
    app.settings.render.fadeDirection = direction;
    Changed(app, Setting::Direction);
}

void ChooseCaret(EditorApp& app, int command) {
    RenderSettings& r = app.settings.render;
    auto mode = static_cast<CaretMode>(command - IDM_CARET_BLINK + 1);
    uint32_t period = r.caretPeriodMs;
    if (mode != CaretMode::Static) {
        auto answer = AskNumber(app, kMillisecondsPrompt, period);
        if (!answer) return;
        period = *answer;
    }
    uint8_t caretFlags = app.editor.GetCaret().flags;
    ChooseCaretMode(r, mode, period, caretFlags);
    app.editor.SetCaretFlags(caretFlags);
    RestartCaretTimer(app);
    if (mode != CaretMode::Static) app.WriteSetting(Setting::CursorUpdate);
    Changed(app, Setting::CursorType);
}

// True when the file starts with a bitmap file's "BM"; a file that cannot be
// opened is reported.
bool IsBitmapFile(EditorApp& app, const std::string& name) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportLastError(app.main);
        return false;
    }
    char header[14] = {};
    DWORD got = 0;
    bool bitmap = ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header &&
                  header[0] == 'B' && header[1] == 'M';
    CloseHandle(file);
    return bitmap;
}

void ChooseBackgroundImage(EditorApp& app) {
    FileDialogRequest request;
    request.owner = app.main;
    request.filter = ChooseText(app.Language(), kBitmapFilter);
    request.title = ChooseText(app.Language(), kOpenTitle);
    request.defaultExtension = "*.bmp";
    request.initialDirectory = ".";
    const std::optional<std::string> name = AskOpenFileName(request);
    if (!name || !IsBitmapFile(app, *name)) return;
    RenderSettings& r = app.settings.render;
    const RenderSettings previous = r;
    r.imagePath = *name;
    r.backgroundKind = BackgroundKind::Image;
    r.imagePlacement = ImagePlacement::Tile;
    if (!ApplyBackground(app)) {
        // The file says it is a bitmap but cannot be made into one.
        r = previous;
        ApplyBackground(app);
        return;
    }
    app.WriteSetting(Setting::Image);
    app.WriteSetting(Setting::Background);
    InvalidateRect(app.main, nullptr, TRUE);
    CheckCommand(app, IDM_BACKGROUND_IMAGE, true);
    CheckCommand(app, IDM_BACKGROUND_COLOR, false);
    app.Status().ShowNotice(Notice::FileOpened, app.Language());
}

void ChooseBackgroundColour(EditorApp& app) {
    if (auto chosen = AskColour(app.main, app.settings.render.backgroundColour))
        SendMessageA(app.view, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(*chosen));
}

void ChoosePlacement(EditorApp& app, int command) {
    app.settings.render.imagePlacement = static_cast<ImagePlacement>(command - IDM_PLACEMENT_TILE);
    InvalidateRect(app.main, nullptr, TRUE);
    Changed(app, Setting::Background);
}

void ChooseFont(EditorApp& app) {
    RenderSettings& r = app.settings.render;
    LOGFONTA font = ToLogFont(r.font);
    HDC dc = GetDC(app.view);
    CHOOSEFONTA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = app.main;
    choose.hDC = dc;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_PRINTERFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    choose.rgbColors = r.textColour;
    if (ChooseFontA(&choose)) {
        r.font = FromLogFont(font);
        r.textColour = choose.rgbColors & 0xFFFFFF;
        app.editor.Buffer().Colours().Text() = r.textColour;
    }
    ReleaseDC(app.view, dc);
    // Cancelled or not, the widths are measured again, as the font may be new.
    ViewFontChanged(app);
    SendMessageA(app.main, WM_SIZE, 0, 0);
    InvalidateRect(app.main, nullptr, TRUE);
    app.WriteSetting(Setting::Font);
}

void ConvertUnixText(EditorApp& app) {
    ReportTextStatus(app.main, app.editor.ConvertUnixText());
    RefreshView(app);
}

void StepDisplayMode(EditorApp& app, int command) {
    if (command == IDM_DISPLAY_MODE_NEXT) {
        app.displayMode = static_cast<uint8_t>((app.displayMode + 1) % 6);
        // F4 is the hex view key: it also switches the address column.
        OptionCommand(app, IDM_SHOW_ADDRESS);
    } else {
        app.displayMode = static_cast<uint8_t>(command - IDM_DISPLAY_MODE_FIRST);
    }
    for (int mode = 0; mode <= IDM_DISPLAY_MODE_LAST - IDM_DISPLAY_MODE_FIRST; ++mode)
        CheckCommand(app, IDM_DISPLAY_MODE_FIRST + mode, mode == app.displayMode);
    InvalidateRect(app.view, nullptr, FALSE);
}

} // namespace

std::optional<COLORREF> AskColour(HWND owner, COLORREF current) {
    static COLORREF custom[16] = {};
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = current;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&choose)) return std::nullopt;
    return choose.rgbResult & 0xFFFFFF;
}

void RestartCaretTimer(EditorApp& app) {
    if (!app.main) return;
    KillTimer(app.main, kCaretTimer);
    CaretTimer timer = CaretTimerFor(app.settings.render);
    if (timer.running) SetTimer(app.main, kCaretTimer, timer.periodMs, nullptr);
}

void LanguageCommand(EditorApp& app, int command) {
    std::optional<UiLanguage> language = LanguageSwitchFor(app.settings.language, command);
    if (!language) return;
    app.settings.language = *language;
    ApplyLanguage(app);
    app.WriteSetting(Setting::Language);
    // What the window shows in words follows at once.
    ShowDocumentTitle(app);
    app.UpdateCaretStatus();
}

void OptionCommand(EditorApp& app, int command) {
    AppSettings& s = app.settings;
    RenderSettings& r = s.render;
    switch (command) {
    case IDM_PLANES_NUMBER:
        ChooseNumber(app, kPlanesPrompt, r.planeCount, ClampPlaneCount, Setting::Planes);
        return;
    case IDM_PLANES_DISTANCE:
        ChooseNumber(app, kDistancePrompt, r.distance, ClampDistance, Setting::Distance);
        return;
    case IDM_PLANES_FIRST_COLOR:
        ChoosePlaneColour(app, true);
        return;
    case IDM_PLANES_LAST_COLOR:
        ChoosePlaneColour(app, false);
        return;
    case IDM_SYNTAX_HIGHLIGHT:
        ToggleFlag(app, r.syntaxHighlight, Setting::SyntaxHighlight);
        return;
    case IDM_DOUBLE_BUFFERING:
        if (!app.editor.Buffer().IsBusy())
            ToggleFlag(app, r.doubleBuffering, Setting::DoubleBuffering);
        return;
    case IDM_AUTO_INDENT:
        s.autoIndent = !s.autoIndent;
        app.editor.autoIndent = s.autoIndent;
        ApplyMenuChecks(app);
        app.WriteSetting(Setting::AutoIndent);
        return;
    case IDM_CARET_OVER_LETTER:
        ToggleFlag(app, r.overLetter, Setting::CursorOverLetter);
        return;
    case IDM_SHOW_ADDRESS:
        ToggleFlag(app, r.showAddress, Setting::ShowAddress);
        CheckCommand(app, IDM_SHOW_ADDRESS, r.showAddress);
        RefreshView(app);
        return;
    case IDM_BACKGROUND_IMAGE:
        ChooseBackgroundImage(app);
        return;
    case IDM_BACKGROUND_COLOR:
        ChooseBackgroundColour(app);
        return;
    case IDM_SELECT_FONT:
        ChooseFont(app);
        return;
    case IDM_AUTO_CONVERT_UNIX:
        s.autoConvertUnixText = !s.autoConvertUnixText;
        app.editor.Buffer().convertLineBreaks = s.autoConvertUnixText;
        ApplyMenuChecks(app);
        app.WriteSetting(Setting::AutoConvertUnixText);
        ConvertUnixText(app);
        return;
    case IDM_CONVERT_UNIX:
        ConvertUnixText(app);
        return;
    case IDM_SAVE_SETTINGS:
        SaveAllSettings(app.Store(), s);
        return;
    case IDM_AUTO_SAVE_SETTINGS:
        ToggleAutoSave(app.Store(), s);
        ApplyMenuChecks(app);
        return;
    }
    if (command >= IDM_DIRECTION_N && command <= IDM_DIRECTION_E)
        ChooseDirection(app, command);
    else if (command >= IDM_CARET_BLINK && command <= IDM_CARET_STATIC)
        ChooseCaret(app, command);
    else if (command >= IDM_PLACEMENT_TILE && command <= IDM_PLACEMENT_ISOTROPIC)
        ChoosePlacement(app, command);
    else if ((command >= IDM_DISPLAY_MODE_FIRST && command <= IDM_DISPLAY_MODE_LAST) ||
             command == IDM_DISPLAY_MODE_NEXT)
        StepDisplayMode(app, command);
}

} // namespace stx
