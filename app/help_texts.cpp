#include "app/help_texts.h"

namespace stx {

// clang-format off

// The first key is spelled "Let arrow" in both languages.
const std::array<KeyHelpLine, 42> kEditorKeyHelp{{
    {"Let arrow",                2, {"move left",                       "pozitionare cursor stanga"}},
    {"Right arrow",              2, {"move right",                      "pozitionare cursor dreapta"}},
    {"Up arrow",                 3, {"move up",                         "pozitionare cursor sus"}},
    {"Down arrow",               2, {"move down",                       "pozitionare cursor jos"}},
    {"Ctrl+Left",                3, {"word left",                       "cuvant stanga"}},
    {"Ctrl+Right",               3, {"word right",                      "cuvant dreapta"}},
    {"End",                      3, {"move to end of line",             "sfarsit de linie"}},
    {"Home",                     3, {"move to start of line",           "inceput de linie"}},
    {"Page Up",                  3, {"move one page up",                "pagina sus"}},
    {"Page Down",                2, {"move one page down",              "pagina jos"}},
    {"Ctrl+End, Ctrl+Page Down", 1, {"move to end of text",             "sfarsit de text"}},
    {"Ctrl+Home, Ctrl+Page Up",  1, {"move to start of text",           "inceput de text"}},
    {"Shift+",                   3, {"select text",                     "selectare text"}},
    {"Shift+F10, menu key",      1, {"popup menu",                      "meniu"}},
    {"Backspace",                2, {"delete character and move left",  "sterge caracterul din stanga cursorului"}},
    {"Delete",                   3, {"delete character / clear",        "sterge caracter / selectie"}},
    {"Enter",                    3, {"new line",                        "linie noua"}},
    {"Ctrl+K",                   3, {"deselect text",                   "delectare text"}},
    {"Ctrl+C, Ctrl+Ins",         2, {"copy",                            "copiere"}},
    {"Ctrl+X, Shift+Del",        2, {"cut",                             "decupare"}},
    {"Ctrl+V, Shift+Ins",        2, {"paste",                           "inserare"}},
    {"Ctrl+T",                   3, {"copy to...",                      "copiere in..."}},
    {"Ctrl+A",                   3, {"select all",                      "selectare text"}},
    {"Ctrl+F,F7",                3, {"find",                            "cautare"}},
    {"F3",                       3, {"find next",                       "cautare din nou"}},
    {"Ctrl+R",                   3, {"replace",                         "inlocuire"}},
    {"Insert",                   3, {"toggle overwrite mode",           "activeaza / dezactiveaza mod suprascriere"}},
    {"Alt+X,Ctrl+F4,ESC",        2, {"exit program",                    "iesire din program"}},
    {"Ctrl+N",                   3, {"new document",                    "document nou"}},
    {"Ctrl+O",                   3, {"open existing document",          "incarcare document existent"}},
    {"Ctrl+S,F2",                3, {"save document",                   "salvare document"}},
    {"Ctrl+Alt+A",               2, {"save as...",                      "salvare document ca..."}},
    {"Ctrl+G,F5",                3, {"go to line",                      "pozitionare cursor la linia..."}},
    {"Alt+F5",                   3, {"convert UNIX text to DOS text",   "conversie text UNIX in text DOS"}},
    {"F9",                       3, {"compile program",                 "compilare program"}},
    {"Ctrl+F9",                  3, {"run",                             "compilare si executare"}},
    {"Alt+F9",                   3, {"run executable",                  "executare"}},
    {"Ctrl+Z, Alt+Bksp, Alt+U",  1, {"undo",                            "refacere"}},
    {"F1",                       3, {"help",                            "informatii"}},
    {"F4",                       3, {"switch between hex/text view",    "vizualizare text/hex"}},
    {"Ctrl+Shift+M",             2, {"new MASM32 template",             "template nou pentru MASM32"}},
    {"Ctrl+Shift+T",             2, {"new TASM template",               "template nou pentru TASM"}},
}};

const std::array<ScriptHelpSection, 16> kScriptHelpSections{{
    {{"Comments:", "Comentarii:"},
     {{{";", ";"}, {"//", "//"}, {"rem", "rem"}}}},
    {{"Generate an error message:", "Generare mesaj de eroare:"},
     {{{"echo", "echo"}}}},
    {{"View contents of a file:", "Vizualizarea continutului unui fisier:"},
     {{{"type [file]", "type [fisier]"}, {"view [file]", "view [fisier]"}}}},
    {{"Jump to a labelled line:", "Salt la o linie cu eticheta:"},
     {{{"goto [label]", "goto [eticheta]"}}}},
    {{"Test if a file/directory does [not] exist:", "Verificare daca un fisier/director [nu] exista:"},
     {{{"if exist [file]", "if exist [file]"}, {"if not exist [file]", "if not exist [file]"}}}},
    {{"Test errorlevel relative to a constant X:", "Verificare cod eroare relativ cu o constanta X:"},
     {{{"if errorlevel [ < | > | = | <= | >= | <> | ] X", "if errorlevel [ < | > | = | <= | >= | <> | ] X"}}}},
    {{"Test if user selected 'assemble & run':", "Verificare daca a fost selectata optiunea 'Compileaza & executa':"},
     {{{"if run", "if run"}}}},
    {{"Test alternative:", "Verificare alternative:"},
     {{{"else", "else"}, {"elseif", "elseif"}}}},
    {{"Declare a label:", "Declarare eticheta:"},
     {{{":X", ":X"}}}},
    {{"Declare a variabile:", "Declarare variabila:"},
     {{{"set %masmpath=c:\\masm32\\bin", "set %masmpath=c:\\masm32\\bin"}}}},
    {{"Change directory:", "Schimbare director:"},
     {{{"cd [dirname]", "cd [dirname]"}, {"chdir [dirname]", "chdir [dirname]"}}}},
    {{"Create directory:", "Creare director:"},
     {{{"md [dirname]", "md [dirname]"}, {"mkdir [dirname]", "mkdir [dirname]"}}}},
    {{"Remove directory tree:", "Sterge director:"},
     {{{"rd [dirname]", "rd [dirname]"}, {"rmdir [dirname]", "rmdir [dirname]"}}}},
    {{"Execute an external program with parameters:", "Executa un program cu parametrii:"},
     {{{"[path\\]filename [parameters]", "[path\\]filename [parameters]"}}}},
    {{"Execute an external program and hide its window:", "Executa un program si ascunde fereastra in care ruleaza acesta:"},
     {{{"hide [path\\]filename [parameters]", "hide [path\\]filename [parameters]"}}}},
    {{"Abort compile process on error:", "Terminare proces de compilare in cazul unei erori:"},
     {{{"error", "error"}, {"abort", "abort"}}}},
}};

const std::array<BilingualText, 16> kScriptHelpVariables{{
    {"%[varname]\t- user defined variabile",                 "%[numevar]\t- variabila definita de utilizator"},
    {"%0\t\t- input file's location (directory)",            "%0\t\t- directorul in care se afla fisierul sursa"},
    {"%1\t\t- input file's path name (directory\\name)",     "%1\t\t- calea si numele fisierului sursa"},
    {"%1.\t\t- file path name without extension",            "%1.\t\t- calea si numele fara extensie"},
    {"%.1\t\t- input file's extension",                      "%.1\t\t- extensia fisierului sursa"},
    {"%2\t\t- input file name without path",                 "%2\t\t- numele fisierului sursa fara cale inclusa"},
    {"%!0\t\t- input file's location, long name",            "%!0\t\t- calea fisierului sursa, nume lung"},
    {"%!1\t\t- input file's path name, long name",           "%!1\t\t- calea si numele fisierului sursa, nume lung"},
    {"%!1.\t\t- file path name without extension, long name", "%!1.\t\t- calea si numele fara extensie, nume lung"},
    {"%!.1\t\t- input file's extension, long name",          "%!.1\t\t- extensia fisierului sursa, nume lung"},
    {"%!2\t\t- input file's long name without path",         "%!2\t\t- numele lung al fisierului, fara cale"},
    {"%sizeof [file]\t- returns size of specified file",     "%sizeof [fisier]- intoarce marimea fisierului specificat"},
    {"%%\t\t- the '%' character",                            "%%\t\t- caracterul '%'"},
    {"%;\t\t- the ';' character",                            "%;\t\t- caracterul ';'"},
    {"%{\t\t- the '{' character",                            "%{\t\t- caracterul '{'"},
    {"%}\t\t- the '}' character",                            "%}\t\t- caracterul '}'"},
}};

// clang-format on

std::string EditorKeyHelpText(UiLanguage language) {
    std::string text;
    for (const KeyHelpLine& line : kEditorKeyHelp) {
        if (!text.empty()) text += "\r\n";
        text += '\t';
        text += line.keys;
        text.append(static_cast<std::size_t>(line.tabs), '\t');
        text += "-\t";
        text += ChooseText(language, line.description);
    }
    return text;
}

std::string ScriptHelpText(UiLanguage language) {
    std::string text = "\t\t\t";
    text += ChooseText(language, kScriptHelpTitle);
    text += "\r\n\r\n";
    for (const ScriptHelpSection& section : kScriptHelpSections) {
        text += '\t';
        text += ChooseText(language, section.heading);
        text += "\r\n";
        for (const BilingualText& form : section.forms) {
            if (form.english == nullptr) break;
            text += "\t\t\t";
            text += ChooseText(language, form);
            text += "\r\n";
        }
        text += "\r\n";
    }
    text += "\r\n\t\t\t";
    text += ChooseText(language, kScriptHelpVariablesTitle);
    text += "\r\n\r\n";
    for (const BilingualText& variable : kScriptHelpVariables) {
        text += "\t\t";
        text += ChooseText(language, variable);
        text += "\r\n";
    }
    return text;
}

namespace {

// Windows-1250: \356 i-circumflex, \272 s-comma, \343 a-breve.
constexpr TrilingualText kAboutDescription{
    "A text editor that draws its text in depth, with the tools of a small assembler workbench.",
    "Un editor de text care isi deseneaza textul in relief, cu uneltele unui mic atelier de "
    "programare in limbaj de asamblare.",
    "Un editor de text care \356\272i deseneaz\343 textul \356n relief, cu uneltele unui mic "
    "atelier de programare \356n limbaj de asamblare."};

} // namespace

std::string AboutText(UiLanguage language) {
    std::string text = "Stratext 1.0\r\n\r\n";
    text += ChooseText(language, kAboutDescription);
    return text;
}

} // namespace stx
