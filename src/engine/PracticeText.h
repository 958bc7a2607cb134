// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a test sends: the characters a random mode draws, and a phrase
// file read as the designed program reads it.
#include <cstdio>
#include <string>
#include <vector>

// The whole set a random mode draws from, in the order its draw indexes
// it: A..Z, or the 45 kana ｱ..ﾝ followed by ｦ.
const std::vector<unsigned char>& WholeSet(bool bWabun);

// The characters a random mode draws from. Empty: the whole set, drawn as
// designed (low 8 bits of rand, modulo its size). With chars alone, the
// same rule over chars; with weights too (one per char, each > 0), a
// draw proportional to them.
struct DrawSet {
    std::vector<unsigned char> chars;
    std::vector<int> weights;
    bool operator==(const DrawSet&) const = default;
};
unsigned char DrawFrom(const DrawSet& set, bool bWabun);

// Opens a phrase file for reading without blocking in open(); only a
// regular file (after symbolic links) is accepted, anything else is null.
FILE* OpenPhraseFile(const std::string& path);

// The longest phrase text read; the rest of a larger file is not sent.
// A MiB is over a day of sound even at 120 WPM, and is read at Start on
// the window's thread in milliseconds (bench/start_bench).
constexpr size_t kMaxTextBytes = size_t(1) << 20;
// Appends the phrase file's bytes (g_strPhraseFile), or *pFixed's, to out
// as a file opened in Windows text mode reads them: CR LF arrives as LF.
// False when the phrase file cannot be opened.
bool ReadPhraseText(const std::string* pFixed, std::vector<unsigned char>& out);
