// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the learner's options into how a test is keyed: what the random
// modes draw, the effective speed's extra gaps, and the tone shaping.
#include "engine/MorseEngine.h"
#include "settings/Options.h"
#include "scoring/CharStats.h"

// At a character speed and dot length; the learner's results per
// character (the history's last 30 days) weight the draws when the
// options ask for it.
using CharResults = std::map<unsigned char, CharStats>;
KeyingOptions KeyingFor(const TrainingOptions& options, int nWpm, int nDotMs, const CharResults* pResults = nullptr);

// The same for an engine whose settings are set, put into it, with the
// band conditions of a new test (its seed drawn now unless fixed).
// The text a phrase mode of the form sends instead of the phrase file: a
// QSO drawn from nSeed (Latin or 和文) when the options ask for one;
// empty: the file.
std::string PhraseTextFor(const TrainingOptions& options, int nMode, uint32_t nSeed);

void ApplyTrainingOptions(const TrainingOptions& options, CMorseEngine& engine, const CharResults* pResults = nullptr);
