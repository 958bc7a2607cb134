// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

// What the command line asks for before any window: the usage or the
// version is printed and the program ends; an option it does not know
// ends it with the usage on standard error; anything else starts it.
// Qt's own options (-platform, -style, ...) pass to Qt.
struct CommandLineAction {
    bool bExit = false; // print sText and exit with nExitCode
    int nExitCode = 0;  // 2: an unknown option, sText for standard error
    std::string sText;  // UTF-8
};

CommandLineAction ParseCommandLine(const std::vector<std::string>& args);
