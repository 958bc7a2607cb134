// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/Menus.h"
#include "res/Resource.h"

const std::vector<MenuItemDef> g_mainMenu = {
    {"ﾌｧｲﾙ(&F)",    "開く(&O)...\tCtrl+O",          ID_FILE_OPEN},
    {"ﾌｧｲﾙ(&F)",    "音声ﾌｧｲﾙに保存(&W)...",        ID_FILE_SAVE_WAVE},
    {"ﾌｧｲﾙ(&F)",    "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)",          ID_APP_EXIT},
    {"ｵﾌﾟｼｮﾝ(&O)",  "設定(&S)...",                  ID_OPTIONS_SETTINGS},
    {"ｵﾌﾟｼｮﾝ(&O)",  "成績表(&R)...\tCtrl+R",        ID_OPTIONS_RECORD},
    {"ｵﾌﾟｼｮﾝ(&O)",  "電気通信術の試験(&E)...",      ID_OPTIONS_EXAM},
    {"ｵﾌﾟｼｮﾝ(&O)",  "ｺｰﾙｻｲﾝと単語(&C)...",          ID_OPTIONS_CALLSIGNS},
    {"ｵﾌﾟｼｮﾝ(&O)",  "一文字ずつ(&I)...",            ID_OPTIONS_CHARDRILL},
    {"ｵﾌﾟｼｮﾝ(&O)",  "履歴を消去(&D)...",            ID_OPTIONS_CLEAR_HISTORY},
    {"ﾍﾙﾌﾟ(&H)",    "Pilvoのﾊﾞｰｼﾞｮﾝ情報(&A)...",    ID_APP_ABOUT},
};

const std::vector<AccelDef> g_accelerators = {
    {Qt::CTRL | Qt::Key_N,          ID_FILE_NEW},
    {Qt::CTRL | Qt::Key_O,          ID_FILE_OPEN},
    {Qt::CTRL | Qt::Key_S,          ID_FILE_SAVE},
    {Qt::CTRL | Qt::Key_Z,          ID_EDIT_UNDO},
    {Qt::CTRL | Qt::Key_X,          ID_EDIT_CUT},
    {Qt::CTRL | Qt::Key_C,          ID_EDIT_COPY},
    {Qt::CTRL | Qt::Key_V,          ID_EDIT_PASTE},
    {Qt::ALT | Qt::Key_Backspace,   ID_EDIT_UNDO},
    {Qt::SHIFT | Qt::Key_Delete,    ID_EDIT_CUT},
    {Qt::CTRL | Qt::Key_Insert,     ID_EDIT_COPY},
    {Qt::SHIFT | Qt::Key_Insert,    ID_EDIT_PASTE},
    {QKeyCombination(Qt::Key_F6),   ID_NEXT_PANE},
    {Qt::SHIFT | Qt::Key_F6,        ID_PREV_PANE},
    {Qt::CTRL | Qt::Key_R,          ID_OPTIONS_RECORD},
    {QKeyCombination(Qt::Key_F1),   ID_HELP},
    {QKeyCombination(Qt::Key_F5),   ID_TEST_START},
    {QKeyCombination(Qt::Key_F8),   ID_TEST_STOP},
    {QKeyCombination(Qt::Key_F9),   ID_TEST_EVALUATE},
};

const std::vector<SysMenuItemDef> g_sysMenuAdditions = {
    {true,  0,                  nullptr},
    {false, ID_SYSMENU_VERSION, "Ostrelのﾊﾞｰｼﾞｮﾝ情報(&A)"},
    {true,  0,                  nullptr},
    {false, ID_SYSMENU_HELP,    "Ostrelのﾍﾙﾌﾟ(&H)"},
};

const char* const g_pszAppTitle = "Dravik";
const char* const g_pszFrameTitle = "Ostrel";
