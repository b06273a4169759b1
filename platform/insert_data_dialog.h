#pragma once
// Insert data (5011): the dialog that turns a file into source-code data
// declarations inserted at the caret of the text view.
#include <windows.h>

#include "app/ui_language.h"
#include "tools/insert_data.h"

namespace stx {

// remembered keeps the data type, radix and language from one opening to
// the next; the rest of the dialog starts afresh each time.
void InsertDataCommand(HWND owner, HWND view, UiLanguage language, InsertDataOptions& remembered);

} // namespace stx
