#pragma once
#include "training/Record.h"

#include <cstdint>
#include <string>
#include <vector>

// The comparison of a sent and a typed code page 932 byte string,
// position by position. Letters A-Z compare without case, every other
// byte exactly; a typed CR LF is one line-feed position, as the phrase
// file's line break is.
struct CopyScore {
    long long nSent = 0;
    long long nTyped = 0;
    long long nCorrect = 0;
    int nPercent = 0;
    std::vector<bool> abMatch; // one per compared position
};

CopyScore ScoreCopy(const std::string& strSent, const std::string& strTyped);

// The verdict for a percentage 0..100, formatted (UTF-8).
std::string FormatVerdict(int nPercent);

// Lengths of the display units of a compared prefix: a double-byte
// character is shown as one unit of two bytes.
std::vector<int> DisplayUnits(const std::string& strTyped, int nCompared);
