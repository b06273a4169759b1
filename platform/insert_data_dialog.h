#pragma once
// Insert data (5011): the dialog that turns a file into source-code data
// declarations inserted at the caret of the text view.
#include "platform/editor_app.h"

namespace stx {

// The data type, radix and language are kept in app.insertData from one
// opening to the next; the rest of the dialog starts afresh each time.
void InsertDataCommand(EditorApp& app, int command);

} // namespace stx
