// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Koch lessons, effective (Farnsworth) speed and call signs, as pure logic.
#include "audio/Band.h"

#include <string>
#include <vector>

// The Latin letters in Koch order, and the 46 kana of the Wabun random
// draw in order of code length (shortest first, then in kana order).
extern const unsigned char kKochLatin[26];
extern const unsigned char kKochWabun[46];

// A set beyond the designed one (nSet: a LatinSet, or 1 for Wabun's
// signs). Latin: the order of Learn CW Online's Koch course (lcwo.net,
// "KMURESNAPTLWI.JZ=FOY,VG5/Q92H38B?47C1D60X"), then the rest of the
// punctuation and the prosigns, keeping only the set's characters. Wabun:
// the kana, then ﾞ ﾟ ｰ ､ ｣ ( ), the figures, ﾎﾚ and ﾗﾀ.
std::vector<unsigned char> KochOrder(bool bWabun, int nSet = 0);

// The characters of lesson N: the first N + 1 of the order (all of them
// from the last lesson on); lesson 0 is none, meaning the whole set.
std::vector<unsigned char> KochSet(int nLesson, bool bWabun, int nSet = 0);
// Characters in the order: 26 or 46 for the designed sets, up to 55 for
// the whole Latin set and 65 for Wabun's. Its last lesson is this less one.
int KochLessonCount(bool bWabun, int nSet = 0);

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

// A call sign as heard on the air, generated (never a list of real
// people's calls). Japan's in the amateur formats of its rules: J[A,E-S]
// or 7[K-N] (areas 1 to 4) with the area digit and a three-letter suffix
// (A-X first; Y and Z are clubs), the old JA two-letter calls, 7J, JD1
// and the special stations 8J and 8N; now and then portable ("/3").
// The world's by the ITU's allocation of prefix series: one or two
// characters, the area digit and one to three letters. Weighted towards
// what a Japanese listener hears: about six calls in ten are Japanese.
std::string CallSign(CBandRandom& random);

// A common English word or an abbreviation of the air (Q codes, 73, TU,
// RST, ...), from our own list; the abbreviations come as often as all
// the words together.
std::string PracticeWord(CBandRandom& random);
