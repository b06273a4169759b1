#include "platform/background_setting.h"

#include "app/command_ids.h"
#include "platform/main_menu.h"
#include "platform/text_view.h"

namespace stx {

void SetBackgroundColour(EditorApp& app, COLORREF colour) {
    RenderSettings& r = app.settings.render;
    r.backgroundColour = colour & 0xFFFFFF;
    r.backgroundKind = BackgroundKind::Colour;
    // A colour background starts tiled, as an image does; the placement
    // marks stay where they are until the next start.
    r.imagePlacement = ImagePlacement::Tile;
    app.WriteSetting(Setting::Color);
    app.WriteSetting(Setting::Background);
    if (app.view) SendMessageA(app.view, kBackgroundChangedMessage, 0, 0);
    if (app.main) InvalidateRect(app.main, nullptr, TRUE);
    CheckCommand(app, IDM_BACKGROUND_IMAGE, false);
    CheckCommand(app, IDM_BACKGROUND_COLOR, true);
}

} // namespace stx
