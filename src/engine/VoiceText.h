// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What is said after the Morse when the voice is on (the code-voice
// method): which characters make a unit, and the words that say it.
#include "audio/Voice.h"

#include <string>
#include <vector>

enum class VoiceUnit {
    Off, // the designed sound
    Character, // after each character
    Group, // after a group of five, or a word of a text
    Item, // after a call sign or word sent alone, or a text's line
};

struct VoiceOptions {
    VoiceUnit eUnit = VoiceUnit::Off;
    bool bIcao = false; // Latin letters by the ICAO spelling alphabet, not their names
    int nBeforeMs = 300; // from the unit's last element to the voice
    int nAfterMs = 700; // from the voice's end to the next character
    bool operator==(const VoiceOptions&) const = default;
};

// A line said after the character of a test's plan at nAfter.
struct SpokenLine {
    size_t nAfter;
    VoiceLine line;
};

// What is said after the bytes of plan from nFirst on (the start signals
// before it are never said), in order; none when the voice is off.
// Latin random groups and call signs are spelled, a text's words read;
// kana are read in Japanese, a kana with its ﾞ or ﾟ as one. bFullSet: the
// test keys the whole set of the air, so its punctuation and prosigns
// sound.
std::vector<SpokenLine> VoiceLinesFor(
    const std::vector<unsigned char>& plan, size_t nFirst, int nMode, bool bFullSet, const VoiceOptions& options);
