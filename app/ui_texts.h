// Every text the program builds in code in more than one language, grouped by
// where it is shown. Menus are in resources/menus.rc and dialog labels in their
// dialog templates; the help window texts are in app/help_texts.h.
//
// Romanian letters with diacritics are Windows-1250 bytes written as octal
// escapes (octal, because a hex escape would swallow a following a-f):
// \272 s-comma, \252 S-comma, \376 t-comma, \343 a-breve, \356 i-circumflex,
// \342 a-circumflex, \316 I-circumflex. The HTML index pages declare
// ISO-8859-2, which has the same bytes for the letters they use.
//
// File dialog filters are lists of (description, pattern) pairs, each text
// ending in NUL and the list in a second NUL, as the file dialogs expect.
#pragma once

#include "app/command_ids.h"
#include "app/ui_language.h"
#include "files/document_path.h"

#include <array>

namespace stx {

// A command number and its text; command 0 is a separator.
struct CommandText {
    int command;
    BilingualText text;
};

struct CommandTrilingualText {
    int command;
    TrilingualText text;
};

// clang-format off

// ---- File dialogs -----------------------------------------------------------

inline constexpr BilingualText kDocumentFilter{
    "Text Document (*.TXT)\0*.txt\0All Files (*.*)\0*.*\0",
    "Document text (*.TXT)\0*.txt\0Toate fisierele (*.*)\0*.*\0"};
inline constexpr BilingualText kScriptFilter{
    "Script file (*.script)\0*.script\0Text Document (*.TXT)\0*.txt\0All Files (*.*)\0*.*\0",
    "Fisier script (*.script)\0*.script\0Document text (*.TXT)\0*.txt\0Toate fisierele (*.*)\0*.*\0"};
inline constexpr BilingualText kBitmapFilter{
    "Bitmap files (*.BMP)\0*.bmp\0All Files (*.*)\0*.*\0",
    "Fisiere bitmap (*.BMP)\0*.bmp\0Toate fisierele (*.*)\0*.*\0"};
inline constexpr BilingualText kHelpFileFilter{
    "Help files (*.HLP)\0*.hlp\0All Files (*.*)\0*.*\0",
    "Fisiere help (*.HLP)\0*.hlp\0Toate fisierele (*.*)\0*.*\0"};

//                                      English          Romanian              Romanian with diacritics
inline constexpr TrilingualText kOpenTitle  {"Open",        "Deschidere fisier", "Deschidere fi\272ier"};
inline constexpr TrilingualText kCopyToTitle{"Copy to ...", "Copiere in fisier", "Copiere \356n fi\272ier"};
inline constexpr BilingualText  kSaveAsTitle{"Save as ...", "Salvare ca ..."};

// ---- Failures of the text's operations ----------------------------------------

inline constexpr BilingualText kNotEnoughMemory{"Not enough memory for this operation",
                                                "Memorie insuficienta pentru aceasta operatie"};
inline constexpr BilingualText kTextTooLarge   {"The text is too large for this operation",
                                                "Textul este prea mare pentru aceasta operatie"};

inline constexpr BilingualText kDroppedNameTooLong{"The name of the dropped file is too long",
                                                   "Numele fisierului este prea lung"};

// ---- Status bar -------------------------------------------------------------

inline constexpr BilingualText kLineLabel  {"Line: ",   "Linia: "};
inline constexpr BilingualText kColumnLabel{"Column: ", "Coloana: "};

inline constexpr BilingualText kNoticeAborted    {"Operation aborted",
                                                  "Operatia a fost anulata"};
inline constexpr BilingualText kNoticeCompleted  {"Operation completed successfully",
                                                  "Operatia a fost terminata cu succes"};
inline constexpr BilingualText kNoticePrinting   {"Sending text to printer - press ESC to abort",
                                                  "Se trimite textul la imprimanta - apasa ESC pentru a anula"};
inline constexpr BilingualText kNoticeFileWritten{"File written successfully",
                                                  "Fisierul a fost salvat cu succes"};
inline constexpr BilingualText kNoticeFileOpened {"File opened successfully",
                                                  "Fisierul a fost deschis cu succes"};
inline constexpr BilingualText kErrorOpeningFile {"Error opening file",
                                                  "Eroare deschidere fisier"};
inline constexpr BilingualText kErrorWritingFile {"Error writing file",
                                                  "Eroare salvare fisier"};
inline constexpr BilingualText kCompilerTerminated{"Compiler process terminated",
                                                   "Procesul de compilare s-a terminat"};

// Why an open failed, beyond "Error opening file".
inline constexpr BilingualText kDocumentTooLargeNotice{"File too large to open",
                                                       "Fisierul este prea mare pentru a fi deschis"};
inline constexpr BilingualText kDocumentShortReadNotice{"Error reading file",
                                                        "Eroare citire fisier"};
inline constexpr BilingualText kDocumentNoMemoryNotice{"Not enough memory to open the file",
                                                       "Memorie insuficienta pentru deschiderea fisierului"};

// ---- Toolbar tooltips, by the button's command ------------------------------

inline constexpr std::array<CommandText, 13> kToolbarTooltips{{
    {IDM_FILE_NEW,          {"New",              "Document nou"}},
    {IDM_FILE_OPEN,         {"Open ...",         "Deschidere ..."}},
    {IDM_FILE_SAVE,         {"Save",             "Salvare"}},
    {IDM_FILE_PRINT_3D,     {"Print 3D Text ...", "Tiparire text 3D ..."}},
    {IDM_EDIT_UNDO,         {"Undo",             "Refacere"}},
    {IDM_EDIT_CUT,          {"Cut",              "Decupare"}},
    {IDM_EDIT_COPY,         {"Copy",             "Copiere"}},
    {IDM_EDIT_PASTE,        {"Paste",            "Inserare"}},
    {IDM_EDIT_CLEAR,        {"Clear",            "Stergere"}},
    {IDM_EDIT_FIND,         {"Find",             "Cautare"}},
    {IDM_EDIT_REPLACE,      {"Replace",          "Inlocuire"}},
    {IDM_COMPILE,           {"Compile",          "Compilare program"}},
    {IDM_HELP_TOPIC_SEARCH, {"Help ...",         "Informatii ..."}},
}};

// ---- Number prompts of the Options menu -------------------------------------

inline constexpr BilingualText kPlanesPrompt      {"Enter number of planes:",       "Introduceti numarul de plane:"};
inline constexpr BilingualText kDistancePrompt    {"Enter distance:",               "Introduceti distanta:"};
inline constexpr BilingualText kMillisecondsPrompt{"Enter number of milliseconds:", "Introduceti numarul de milisecunde:"};

// ---- Text view popup menu, in order (command 0 is a separator) ------------------

inline constexpr std::array<CommandTrilingualText, 9> kViewPopupMenu{{
    {IDM_EDIT_UNDO,       {"&Undo",       "&Refacere",       "&Refacere"}},
    {0,                   {nullptr,       nullptr,           nullptr}},
    {IDM_EDIT_CUT,        {"Cu&t",        "&Decupare",       "&Decupare"}},
    {IDM_EDIT_COPY,       {"&Copy",       "&Copiere",        "&Copiere"}},
    {IDM_EDIT_COPY_TO,    {"Copy t&o",    "Copiere i&n",     "Copiere \356&n"}},
    {IDM_EDIT_PASTE,      {"&Paste",      "&Inserare",       "&Inserare"}},
    {IDM_EDIT_CLEAR,      {"Cl&ear",      "S&tergere",       "\252&tergere"}},
    {0,                   {nullptr,       nullptr,           nullptr}},
    {IDM_EDIT_SELECT_ALL, {"Select &All", "&Selecteaza tot", "&Selecteaz\343 tot"}},
}};

// ---- Help window titles -----------------------------------------------------

inline constexpr BilingualText kEditorHelpTitle  {"Editor", "Editor"};
inline constexpr BilingualText kCompilerHelpTitle{"Compiler configuration commands",
                                                  "Comenzi pentru configurarea compilatorului"};

// ---- Build scripts ----------------------------------------------------------

inline constexpr BilingualText kSaveBeforeCompiling{"You must save your program before compiling",
                                                    "Programul trebuie salvat inainte de compilare"};
inline constexpr BilingualText kExecCommandPrompt  {"Enter command to execute:",
                                                    "Introduceti comanda ce va fi executata:"};
// Why a run stopped where the language sets no rule of its own.
inline constexpr BilingualText kScriptStatementTooLong{
    "The script stopped: a statement is longer than 8,191 characters once its variables are expanded",
    "Scriptul s-a oprit: o comanda depaseste 8191 de caractere dupa expandarea variabilelor"};
inline constexpr BilingualText kScriptVariablesFull{
    "The script stopped: its variables need more than 65,536 bytes",
    "Scriptul s-a oprit: variabilele depasesc 65536 de octeti"};
// The label follows.
inline constexpr BilingualText kScriptLabelMissing{"The script stopped: no line carries the label ",
                                                   "Scriptul s-a oprit: nu exista eticheta "};
// The file name follows.
inline constexpr BilingualText kSectionNotPe{
    "Section flags not changed, not a valid PE file: ",
    "Atributele sectiunilor nu au fost modificate, fisierul nu este un executabil PE valid: "};

// ---- Find and replace -------------------------------------------------------

inline constexpr BilingualText kTextNotFound  {"Text not found\r\nSearch is restarted",
                                               "Textul nu a fost gasit\r\nCautarea se va face de la inceputul textului"};
inline constexpr BilingualText kFindTextCaption{"Find text",        "Cautare text"};
inline constexpr BilingualText kReplaceButton  {"&Replace",         "&Inlocuieste"};
inline constexpr BilingualText kTotalReplaces  {"Total replaces: ", "Cuvinte inlocuite: "};

// ---- Insert data ------------------------------------------------------------

// The language list of the dialog's combo box, the same in every language.
inline constexpr std::array<const char*, 5> kDataLanguageNames{
    "Assembler", "C / C++", "Pascal / Delphi", "Basic", "Undefined"};
inline constexpr BilingualText kInsertTooLarge  {"File too large to insert",
                                                 "Fisierul este prea mare pentru a fi inserat"};
inline constexpr BilingualText kInsertNoMemory  {"Not enough memory to insert the file",
                                                 "Memorie insuficienta pentru inserarea fisierului"};

// ---- HTML index -------------------------------------------------------------

inline constexpr BilingualText kHtmlNoSuchDirectory{"Directory not found",
                                                    "Directorul nu a fost gasit"};

// The description prompt's caption; the URL path follows it directly.
inline constexpr BilingualText kHtmlDescriptionPrompt{"Enter description for ", "Introduceti descrierea pentru"};

//                                                English              Romanian                   Romanian with diacritics
inline constexpr TrilingualText kHtmlTitle       {"Index of ",          "Directorul ",             "Directorul "};
inline constexpr TrilingualText kHtmlHeading     {"Index of ",          "Structura directorului ", "Structura directorului "};
inline constexpr TrilingualText kHtmlLastUpdated {"<P>Last Updated: ",  "<P>Actualizat: ",         "<P>Actualizat: "};
inline constexpr TrilingualText kHtmlFileNameHead{"File name",          "Nume fisier",             "Nume fi\272ier"};
inline constexpr TrilingualText kHtmlSizeHead    {"Size",               "Marime",                  "M\343rime"};
inline constexpr TrilingualText kHtmlUpdateHead  {"Last update",        "Actualizat",              "Actualizat"};
// The fourth column head is "Descri" followed by this ending.
inline constexpr TrilingualText kHtmlDescriptionHeadEnd{"ption",        "ere",                     "ere"};
inline constexpr TrilingualText kHtmlParentDirectory{"Parent directory", "Director parinte",       "Director p\343rinte"};
// Groups of three digits in file sizes.
inline constexpr TrilingualText kHtmlThousandsSeparator{",",            ".",                       "."};

// The totals sentence: [There are] F files and D directories<BR ALIGN=RIGHT>for a total of N bytes.
inline constexpr TrilingualText kHtmlThereAre    {"There are ",         "",                        ""};
inline constexpr TrilingualText kHtmlFilesAnd    {" files and ",        " fisiere si ",            " fi\272iere \272i "};
// Exactly one file or directory takes the singular.
inline constexpr TrilingualText kHtmlOneFileAnd  {" file and ",         " fisier si ",             " fi\272ier \272i "};
inline constexpr TrilingualText kHtmlDirectories {" directories",       " directoare",             " directoare"};
inline constexpr TrilingualText kHtmlOneDirectory{" directory",         " director",               " director"};
inline constexpr TrilingualText kHtmlForATotalOf {"for a total of ",    "totalizand ",             "totaliz\342nd "};

inline constexpr std::array<TrilingualText, 7> kHtmlWeekdays{{  // Sunday first
    {"Sunday",    "Duminica", "Duminic\343"},
    {"Monday",    "Luni",     "Luni"},
    {"Tuesday",   "Marti",    "Mar\376i"},
    {"Wednesday", "Miercuri", "Miercuri"},
    {"Thirsday",  "Joi",      "Joi"},
    {"Friday",    "Vineri",   "Vineri"},
    {"Saturday",  "Sambata",  "S\342mb\343t\343"},
}};

inline constexpr std::array<TrilingualText, 12> kHtmlMonths{{
    {"January",   "Ianuarie",   "Ianuarie"},
    {"February",  "Februarie",  "Februarie"},
    {"March",     "Martie",     "Martie"},
    {"April",     "Aprilie",    "Aprilie"},
    {"May",       "Mai",        "Mai"},
    {"June",      "Iunie",      "Iunie"},
    {"July",      "Iulie",      "Iulie"},
    {"August",    "August",     "August"},
    {"September", "Septembrie", "Septembrie"},
    {"October",   "Octombrie",  "Octombrie"},
    {"November",  "Noiembrie",  "Noiembrie"},
    {"December",  "Decembrie",  "Decembrie"},
}};

// ---- NTFS streams -----------------------------------------------------------

inline constexpr BilingualText kDefaultStreamNotDeleted{
    "The default stream is the file itself: only a named stream can be deleted.",
    "Fluxul implicit este chiar fisierul: numai un flux cu nume poate fi sters."};

// ---- Texts that exist in English only ----------------------------------------

inline constexpr const char* kSaveQuestion      = "Do you want to save your current document?";
inline constexpr const char* kStreamsPopupText  = "NT&FS Streams";
inline constexpr const char* kDefaultStreamText = "&Default stream";
inline constexpr const char* kStreamNamePrompt  = "Enter Stream name:";
inline constexpr const char* kHardLinkTitle     = "Create Hard Link";
inline constexpr const char* kSelectFolderTitle = "Select Folder";

// clang-format on

// The tooltip of a toolbar button, or nullptr for a command without a button.
const BilingualText* ToolbarTooltipFor(int command);

// The status notice of a failed open; CannotOpen is "Error opening file", the
// others say what stopped the open.
const BilingualText& OpenFailureNotice(OpenFailure failure);

} // namespace stx
