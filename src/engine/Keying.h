// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one keying model: a character becomes key spans (key down or up,
// each a length in keyed samples, 8000 a second) in KeyChar alone. The
// test's tone buffers, the sound played ahead, the other stations of the
// band conditions and the exams' timing all take their lengths from it.
#include "audio/Band.h"

#include <array>
#include <string>
#include <vector>

// The longest character: ten elements, each with its gap.
constexpr int kMaxKeySpans = 20;
// The pause after a telegram's mark (about 5 s), in samples.
constexpr int kTelegramPauseSamples = 5 * 8000;

struct KeySpan {
    bool bDown;
    int nSamples;
};

// What keys a character besides the fist's draws and the group's count.
struct KeyerParams {
    int nMode = -1;        // the practice mode, whose gaps follow each character
    int nDot = 8;          // samples
    int nExtraCharGap = 0; // effective speed, after every character
    int nExtraWordGap = 0; // after a group or a phrase's word
    int nFistPercent = 0;  // a human fist's spread, % of a dot
    bool bFullSet = false; // the signs of the air (FullSetPattern), not the designed table
    bool bTelegram = false; // the telegram bytes too (TelegramPattern)
};

struct KeyedChar {
    std::array<KeySpan, kMaxKeySpans> spans{};
    int nSpans = 0;     // the last one is the gap after the character
    int nCount = 0;     // all of them, at most a tone buffer's length
    bool bGroupEnd = false; // a group is complete
};

// The spans of one character. The fist draws from fist; nGroupPos counts
// the characters of the current group of a grouped mode. A byte without
// a sign is silence: a word space in a phrase, a dot-less gap elsewhere.
KeyedChar KeyChar(unsigned char ch, const KeyerParams& params, CBandRandom& fist, int& nGroupPos);

// Writes a keyed character as a tone buffer of nCount samples: key down
// as a square wave of nFreq (64 and 192, each element from a high half),
// key up as 0.
void ToneFromSpans(const KeyedChar& keyed, int nFreq, unsigned char* pBuf);

// A text keyed as a phrase at nDot samples a dot, without a fist: its
// spans one after another, down and up alternating from a down (runs of
// silence joined); bTelegram keys the telegram bytes too.
std::vector<int> PhraseSpans(const std::string& text, int nDot, bool bTelegram = false);
// Its length in dots.
long long PhraseDotUnits(const std::string& text);
