#include "platform/main_menu.h"

#include "app/menu_state.h"
#include "app/ui_texts.h"

namespace stx {

void ApplyLanguage(EditorApp& app) {
    HMENU menu = LoadMenuA(app.instance, MAKEINTRESOURCEA(MenuResourceFor(app.settings.language)));
    if (!menu) return;
    HMENU old = app.menu;
    SetMenu(app.main, menu);
    app.menu = menu;
    if (app.streamsPopup) {
        // The stream list lives in its own popup, which survives the switch.
        HMENU file = GetSubMenu(menu, kFilePopupPosition);
        ModifyMenuA(file, kStreamsPopupPosition, MF_BYPOSITION | MF_POPUP,
                    reinterpret_cast<UINT_PTR>(app.streamsPopup), kStreamsPopupText);
    } else {
        app.streamsPopup = GetSubMenu(GetSubMenu(menu, kFilePopupPosition), kStreamsPopupPosition);
    }
    if (old) {
        // Detach the kept stream popup from the old menu before destroying it.
        HMENU oldFile = GetSubMenu(old, kFilePopupPosition);
        if (oldFile && GetSubMenu(oldFile, kStreamsPopupPosition) == app.streamsPopup)
            RemoveMenu(oldFile, kStreamsPopupPosition, MF_BYPOSITION);
        DestroyMenu(old);
    }
    ApplyMenuChecks(app);
}

void CheckCommand(EditorApp& app, int command, bool checked) {
    if (app.menu)
        CheckMenuItem(app.menu, static_cast<UINT>(command),
                      MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void ApplyMenuChecks(EditorApp& app) {
    if (!app.menu) return;
    for (const MenuCheck& mark : EditorMenuChecks(app.settings))
        CheckCommand(app, mark.command, mark.checked);
    DrawMenuBar(app.main);
}

} // namespace stx
