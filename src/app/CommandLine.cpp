// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"


static const char kUsage[] =
    "使い方: dravik [オプション] [ファイル]\n"
    "モールス符号(欧文・和文)の受信練習ソフトです。\n"
    "\n"
    "  -h, --help     この説明を表示して終了します\n"
    "      --version  バージョンを表示して終了します\n"
    "\n"
    "ファイルを指定すると文書として開きますが、中身は読みません。\n"
    "定型文ファイルはメニューの「ﾌｧｲﾙ > 開く」で選びます。\n";

// Qt's own options, taken by QApplication, and whether the next argument
// is their value.
struct QtOption {
    const char* pszName;
    bool bTakesValue;
};
static const QtOption kQtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowtitle", true}, {"qwindowicon", true}, {"session", true},
    {"style", true}, {"stylesheet", true}, {"display", true}, {"geometry", true}, {"name", true},
    {"title", true}, {"visual", true}, {"reverse", false}, {"widgetcount", false}, {"nograb", false},
    {"dograb", false}, {"sync", false},
};

// The Qt option an argument names (one dash or two, "=value" allowed).
static const QtOption* FindQtOption(const std::string& a)
{
    std::string name = a.substr(a.compare(0, 2, "--") == 0 ? 2 : 1);
    name = name.substr(0, name.find('='));
    for (const QtOption& q : kQtOptions)
        if (name == q.pszName)
            return &q;
    return nullptr;
}

CommandLineAction ParseCommandLine(const std::vector<std::string>& args)
{
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--")
            break; // what follows is a file name
        if (a == "--help" || a == "-h")
            return {true, 0, kUsage};
        if (a == "--version")
            return {true, 0, "Dravik " DRAVIK_VERSION "\n"};
        if (a.size() < 2 || a[0] != '-')
            continue; // a file name
        const QtOption* qt = FindQtOption(a);
        if (!qt)
            return {true, 2, "dravik: 不明なオプションです: " + a + "\n\n" + kUsage};
        if (qt->bTakesValue && a.find('=') == std::string::npos)
            ++i;
    }
    return {};
}
