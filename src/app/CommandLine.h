#pragma once
#include <string>
#include <vector>

// What the command line asks for before any window: the usage or the
// version is printed and the program ends; anything else starts it.
struct CommandLineAction {
    bool bExit = false;     // print sText and exit with 0
    std::string sText;      // UTF-8
};

CommandLineAction ParseCommandLine(const std::vector<std::string>& args);
