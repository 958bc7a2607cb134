// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/Drills.h"

#include <algorithm>
#include <cmath>

const unsigned char kKochLatin[26] = {
    'K', 'M', 'U', 'R', 'E', 'S', 'N', 'A', 'P', 'T', 'L', 'W', 'I',
    'J', 'Z', 'F', 'O', 'Y', 'V', 'G', 'Q', 'H', 'B', 'C', 'D', 'X',
};

// Code length first: one element, then two, ... ; kana order within.
const unsigned char kKochWabun[46] = {
    0xCD, 0xD1,                                                 // ﾍ ﾑ          (1)
    0xB2, 0xC0, 0xD6,                                           // ｲ ﾀ ﾖ        (2)
    0xB3, 0xC5, 0xCE, 0xD4, 0xD7, 0xD8, 0xDA, 0xDC,             // ｳ ﾅ ﾎ ﾔ ﾗ ﾘ ﾚ ﾜ (3)
    0xB6, 0xB8, 0xB9, 0xBA, 0xBF, 0xC1, 0xC2, 0xC6, 0xC7, 0xC8, // ｶ ｸ ｹ ｺ ｿ ﾁ ﾂ ﾆ ﾇ ﾈ (4)
    0xC9, 0xCA, 0xCC, 0xCF, 0xDB, 0xA6,                         // ﾉ ﾊ ﾌ ﾏ ﾛ ｦ
    0xB1, 0xB4, 0xB5, 0xB7, 0xBB, 0xBC, 0xBD, 0xBE, 0xC3, 0xC4, // ｱ ｴ ｵ ｷ ｻ ｼ ｽ ｾ ﾃ ﾄ (5)
    0xCB, 0xD0, 0xD2, 0xD3, 0xD5, 0xD9, 0xDD,                   // ﾋ ﾐ ﾒ ﾓ ﾕ ﾙ ﾝ
};

int KochLessonCount(bool bWabun) { return bWabun ? 46 : 26; }

std::vector<unsigned char> KochSet(int nLesson, bool bWabun)
{
    if (nLesson <= 0)
        return {};
    const unsigned char* order = bWabun ? kKochWabun : kKochLatin;
    const int size = bWabun ? 46 : 26;
    return std::vector<unsigned char>(order, order + std::min(nLesson + 1, size));
}

FarnsworthGaps FarnsworthExtra(int nWpm, int nEffectiveWpm, int nDotMs)
{
    if (nEffectiveWpm <= 0 || nEffectiveWpm >= nWpm || nDotMs <= 0)
        return {};
    const double c = nWpm;
    const double s = nEffectiveWpm;
    const double ta = (60.0 * c - 37.2 * s) / (s * c); // seconds
    const double samples = 8000.0 * ta;
    const int dot = 8 * nDotMs;
    FarnsworthGaps g;
    g.nCharExtra = std::max(0, int(std::lround(3.0 * samples / 19.0)) - 3 * dot);
    g.nWordExtra = std::max(0, int(std::lround(7.0 * samples / 19.0)) - 7 * dot);
    return g;
}
