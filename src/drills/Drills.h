// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Koch lessons and effective (Farnsworth) speed, as pure logic.
#include <vector>

// The Latin letters in Koch order, and the 46 kana of the Wabun random
// draw in order of code length (shortest first, then in kana order).
extern const unsigned char kKochLatin[26];
extern const unsigned char kKochWabun[46];

// The characters of lesson N: the first N + 1 of the order (all of them
// from the last lesson on); lesson 0 is none, meaning the whole set.
std::vector<unsigned char> KochSet(int nLesson, bool bWabun);
// Characters in the order: 26 or 46. Its last lesson is this less one.
int KochLessonCount(bool bWabun);

// Extra silence, in samples at 8000 per second, that stretches the gaps
// to an effective speed s while the characters keep the speed c (ARRL,
// "A Standard for Morse Timing Using the Farnsworth Technique", QEX 1990):
// ta = (60c - 37.2s) / (s c) seconds, a character gap of 3 ta / 19 and a
// word gap of 7 ta / 19 take the place of 3 and 7 dots.
struct FarnsworthGaps {
    int nCharExtra = 0; // after every character
    int nWordExtra = 0; // after a group of five, a space or a line break
};
FarnsworthGaps FarnsworthExtra(int nWpm, int nEffectiveWpm, int nDotMs);
