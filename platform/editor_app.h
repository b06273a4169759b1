#pragma once
// One running editor: the windows it built, the document with its name, the
// settings in force and the registry behind them. The main window keeps a
// pointer to it in its user data, so every handler reaches its editor through
// the window it runs for; nothing of it is global, and a test can build an
// editor of its own (another settings store, a failing allocator).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/settings.h"
#include "app/status_texts.h"
#include "compile/compile_commands.h"
#include "files/document_path.h"
#include "platform/printing.h"
#include "platform/streams.h"
#include "search/find_replace.h"
#include "text/text_editor.h"
#include "tools/html_index.h"
#include "tools/insert_data.h"

namespace stx {

// What a test may put in place of the real thing.
struct EditorOptions {
    SettingsStore* store = nullptr;      // the registry when null
    BlockAllocator* allocator = nullptr; // the system's memory when null
};

class EditorApp {
  public:
    explicit EditorApp(const EditorOptions& options = {});
    ~EditorApp();
    EditorApp(const EditorApp&) = delete;
    EditorApp& operator=(const EditorApp&) = delete;

    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND toolbar = nullptr;
    HWND status = nullptr;
    HWND view = nullptr;
    HMENU menu = nullptr;
    HACCEL accelerators = nullptr;
    // The NTFS stream list's popup, kept across language switches.
    HMENU streamsPopup = nullptr;

    // Layout, recomputed on every resize.
    int toolbarHeight = 0;
    int viewHeight = 0;

    bool ntPlatform = true;
    // Set by the display-mode commands; F4 steps it. Nothing else reads it.
    uint8_t displayMode = 0;
    // The save question of a close was answered at SC_CLOSE.
    bool closeAnswered = false;
    AppSettings settings;
    DocumentState document;
    // The document the view shows, with its caret and selection.
    TextEditor editor;
    // What the compile commands keep between runs.
    CompileState compileState;
    // What the search and tool dialogs remember from one opening to the next.
    SearchMemory search;
    InsertDataOptions insertData;
    IndexColours indexColours;
    // The streams of the document's file, listed in the NTFS Streams submenu.
    StreamMenu streams;
    // The menu's print job.
    PrintRunner printer;

    UiLanguage Language() const { return settings.language; }
    SettingsStore& Store() { return *store_; }
    // Notices in part 0 of the status bar, line and column in parts 1 and 2.
    StatusBar& Status() { return statusBar_; }
    // Brings the texts that follow the caret up to date; what changed is
    // drawn together with the next paint.
    void UpdateCaretStatus();
    // Stores one setting's current value, if auto-save is on.
    void WriteSetting(Setting setting);

  private:
    class StatusBarWindow final : public StatusBarPort {
      public:
        explicit StatusBarWindow(const EditorApp& app) : app_(app) {}
        void SetPartText(int part, const char* text, bool now) override;
        // Texts set between these are drawn together once the batch ends.
        void BeginBatch() { batching_ = true; }
        void EndBatch();

      private:
        void Hold();
        void Release();

        const EditorApp& app_;
        bool batching_ = false;
        bool held_ = false;      // the bar's drawing is off
        HRGN waiting_ = nullptr; // what waited to be drawn when it went off
        RECT changed_{};         // the parts set since
        bool changedAll_ = false;
    };

    std::unique_ptr<SettingsStore> ownStore_;
    SettingsStore* store_;
    StatusBarWindow statusPort_{*this};
    StatusBar statusBar_{statusPort_};
};

// The editor a window belongs to: the main window or any window it owns or
// holds. Null for a window of no editor.
EditorApp* AppOf(HWND window);
// Called by the main window when it is created and destroyed.
void AttachApp(HWND main, EditorApp* app);

} // namespace stx
