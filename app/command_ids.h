// Command numbers and resource identifiers, shared by the C++ code and the
// resource scripts. Plain #defines only: the resource compiler reads this file
// too and understands nothing else.
//
// Commands are numbered by menu: 1000s File, 1200s Edit, 2000s Compile, 3400s
// settings, 3600s options, 3700s language, 3800s UNIX text, 5000s tools, 6000s
// help, stream items from 10000. Menus, toolbar, accelerators and the view's
// popup menu all send these numbers.
#ifndef STX_APP_COMMAND_IDS_H
#define STX_APP_COMMAND_IDS_H

// File
#define IDM_FILE_NEW 1000
#define IDM_FILE_OPEN 1001
#define IDM_FILE_SAVE 1002
#define IDM_FILE_SAVE_AS 1003
#define IDM_STREAM_NEW 1004
#define IDM_HARD_LINK_CREATE 1005
#define IDM_STREAM_DEFAULT 1006
#define IDM_STREAM_DELETE 1008
#define IDM_FILE_EXIT 1010
#define IDM_FILE_PRINT_TEXT 1011
#define IDM_FILE_PRINT_3D 1012
#define IDM_TEMPLATE_MASM32 1050
#define IDM_TEMPLATE_TASM 1051
#define IDM_ESCAPE 1510
// Stream items of the NTFS Streams submenu take consecutive ids from here.
#define IDM_STREAM_FIRST 10000

// Edit
#define IDM_EDIT_COPY 1200
#define IDM_EDIT_COPY_TO 1201
#define IDM_EDIT_FIND 1202
#define IDM_EDIT_FIND_NEXT 1203
#define IDM_EDIT_GOTO_LINE 1204
#define IDM_EDIT_SELECT_ALL 1205
#define IDM_EDIT_CUT 1206
#define IDM_EDIT_PASTE 1207
#define IDM_EDIT_CLEAR 1209
#define IDM_EDIT_UNDO 1210
#define IDM_EDIT_REPLACE 1211
#define IDM_EDIT_CONTEXT_MENU 1220
#define IDM_EDIT_OVERWRITE 1221

// Compile
#define IDM_COMPILE 2000
#define IDM_COMPILE_CONFIGURE 2003
#define IDM_COMPILE_RUN 2010
#define IDM_RUN_EXECUTABLE 2011

// Settings
#define IDM_REGISTER_SHELL 3408
#define IDM_SAVE_SETTINGS 3409
#define IDM_AUTO_SAVE_SETTINGS 3410

// Options
#define IDM_SELECT_FONT 3600
#define IDM_SYNTAX_HIGHLIGHT 3601
#define IDM_BACKGROUND_IMAGE 3602
#define IDM_BACKGROUND_COLOR 3603
#define IDM_PLANES_NUMBER 3604
#define IDM_PLANES_FIRST_COLOR 3605
#define IDM_PLANES_LAST_COLOR 3606
#define IDM_PLANES_DISTANCE 3607
// Fade directions: the stored direction index is the command minus 3608.
#define IDM_DIRECTION_N 3608
#define IDM_DIRECTION_NW 3609
#define IDM_DIRECTION_NE 3610
#define IDM_DIRECTION_S 3611
#define IDM_DIRECTION_SW 3612
#define IDM_DIRECTION_SE 3613
#define IDM_DIRECTION_W 3614
#define IDM_DIRECTION_E 3615
// Caret modes 1..4 are the commands 3615 + mode.
#define IDM_CARET_BLINK 3616
#define IDM_CARET_FADE_IN 3617
#define IDM_CARET_FADE_OUT 3618
#define IDM_CARET_STATIC 3619
#define IDM_DOUBLE_BUFFERING 3620
#define IDM_AUTO_INDENT 3621
#define IDM_CARET_OVER_LETTER 3630
// Background placements 0..3 are the commands 3650 + placement.
#define IDM_PLACEMENT_TILE 3650
#define IDM_PLACEMENT_CENTER 3651
#define IDM_PLACEMENT_STRETCH 3652
#define IDM_PLACEMENT_ISOTROPIC 3653

// Language: the language value is the command minus 3700.
#define IDM_LANGUAGE_ENGLISH 3700
#define IDM_LANGUAGE_ROMANIAN 3701
#define IDM_LANGUAGE_ROMANIAN_DIACRITICS 3702

// UNIX text
#define IDM_AUTO_CONVERT_UNIX 3800
#define IDM_CONVERT_UNIX 3801

// Tools
#define IDM_DIR_TO_HTML 5010
#define IDM_INSERT_DATA 5011
#define IDM_SHOW_ADDRESS 5500
// Display modes 0..5 are the commands 5501 + mode; F4 steps through them.
#define IDM_DISPLAY_MODE_FIRST 5501
#define IDM_DISPLAY_MODE_LAST 5506
#define IDM_DISPLAY_MODE_NEXT 5510

// Help
#define IDM_HELP_ABOUT 6010
#define IDM_HELP_COMPILER 6011
#define IDM_HELP_EDITOR 6012
#define IDM_HELP_WINDOWS_ERRORS 6013
#define IDM_HELP_DEFINE 6014
#define IDM_HELP_CUSTOM_FILE 6015
#define IDM_HELP_TOPIC_SEARCH 6016

// Menus, one per UI language.
#define IDR_MENU_ENGLISH 550
#define IDR_MENU_ROMANIAN 551
#define IDR_MENU_ROMANIAN_DIACRITICS 552

// Icon and bitmaps.
#define IDI_MAIN 500
#define IDB_BACKGROUND 504

// Child windows of the main window.
#define IDC_STATUS_BAR 200
#define IDC_TEXT_VIEW 700
#define IDC_TOOLBAR 702

// Dialog templates: English N, Romanian N + 1 (both Romanian settings).
#define IDD_FIND 750
#define IDD_REPLACE 752
#define IDD_GOTO_LINE 760
#define IDD_INPUT_BOX 763
#define IDD_COMPILER_CONFIG 800
#define IDD_CUSTOM_HELP 810
#define IDD_INSERT_DATA 812
#define IDD_HTML_INDEX 900
// One template for every language.
#define IDD_HELP_TEXT 765
#define IDD_ERROR_CODES 910

// Buttons shared by the dialogs.
#define IDC_DIALOG_OK 5001
#define IDC_DIALOG_CANCEL 2

// Find (750/751)
#define IDC_FIND_WHAT 5000
#define IDC_FIND_MATCH_CASE 5003
#define IDC_FIND_WHOLE_WORDS 5004

// Replace (752/753)
#define IDC_REPLACE_FIND_FIRST 5002
#define IDC_REPLACE_WHAT 5007
#define IDC_REPLACE_MATCH_CASE 5008
#define IDC_REPLACE_WHOLE_WORDS 5009
#define IDC_REPLACE_WITH 5011
#define IDC_REPLACE_FIND_NEXT 5012
#define IDC_REPLACE_ALL_NEXT 5013

// Input box and go to line (763/764, 760/761)
#define IDC_INPUT_EDIT 5000
#define IDC_INPUT_PROMPT 5003

// Help text window and script view window (765)
#define IDC_HELP_TEXT 5003

// Compiler configuration (800/801)
#define IDC_CONFIG_SCRIPT 5000
#define IDC_CONFIG_LOAD 3003
#define IDC_CONFIG_SAVE 3004
#define IDC_CONFIG_EXECUTE 3005
#define IDC_CONFIG_EXEC_COMMAND 3006

// Custom help file (810/811)
#define IDC_HELPFILE_NAME 200
#define IDC_HELPFILE_BROWSE 300
#define IDC_HELPFILE_CLOSE_ON_EXIT 400
#define IDC_HELPFILE_F1_INDEX 401

// Insert data (812/813)
#define IDC_INSERT_GROUP_TYPE 10
#define IDC_INSERT_GROUP_RADIX 20
#define IDC_INSERT_FILE_NAME 40
#define IDC_INSERT_PER_LINE 41
#define IDC_INSERT_BROWSE 50
#define IDC_INSERT_BYTE 100
#define IDC_INSERT_WORD 101
#define IDC_INSERT_DWORD 102
#define IDC_INSERT_BINARY 200
#define IDC_INSERT_OCTAL 201
#define IDC_INSERT_DECIMAL 202
#define IDC_INSERT_HEXADECIMAL 203
#define IDC_INSERT_ALIGN_ZEROES 300
#define IDC_INSERT_LANGUAGE 301

// HTML index (900/901)
#define IDC_HTML_TEXT_COLOR 100
#define IDC_HTML_BACKGROUND_COLOR 101
#define IDC_HTML_LINK_COLOR 102
#define IDC_HTML_DIRECTORY 200
#define IDC_HTML_ROOT_PATH 201
#define IDC_HTML_DESCRIPTION_FILE 204
#define IDC_HTML_BROWSE 300
#define IDC_HTML_RECURSE 400
#define IDC_HTML_INCLUDE_HIDDEN 402
#define IDC_HTML_ROBOTS 403
#define IDC_HTML_PROMPT 404

// Windows error codes (910)
#define IDC_ERRORS_CODE_LABEL 100
#define IDC_ERRORS_HEX_LABEL 101
#define IDC_ERRORS_MODULE_LABEL 102
#define IDC_ERRORS_DETAILS_LABEL 103
#define IDC_ERRORS_LIST 200
#define IDC_ERRORS_DETAILS 300
#define IDC_ERRORS_CODE 3000
#define IDC_ERRORS_HEX 3001
#define IDC_ERRORS_MODULE 3002

#endif // STX_APP_COMMAND_IDS_H
