#include "app/CommandLine.h"

#ifndef DRAVIK_VERSION
#define DRAVIK_VERSION "1.0.0.1"
#endif

static const char kUsage[] =
    "使い方: dravik [オプション] [ファイル]\n"
    "モールス符号(欧文・和文)の受信練習ソフトです。\n"
    "\n"
    "  -h, --help     この説明を表示して終了します\n"
    "      --version  バージョンを表示して終了します\n"
    "\n"
    "ファイルを指定すると文書として開きますが、中身は読みません。\n"
    "定型文ファイルはメニューの「ﾌｧｲﾙ > 開く」で選びます。\n";

CommandLineAction ParseCommandLine(const std::vector<std::string>& args)
{
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--")
            break; // what follows is a file name
        if (a == "--help" || a == "-h")
            return {true, kUsage};
        if (a == "--version")
            return {true, "Dravik " DRAVIK_VERSION "\n"};
    }
    return {};
}
