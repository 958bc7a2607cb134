// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learner's band conditions turned into what the renderer works in:
// noise, fading, other stations (their text and keying drawn here) and
// the receiver's filter, all from one seed per test.
#include "audio/Band.h"
#include "settings/Options.h"

#include <QString>

#include <string>

// The seed of a test: the options' own, or a new one (never 0).
uint32_t TestSeed(const TrainingOptions& options);

// For a test at nWpm with its tone at dToneHz.
BandConditions ConditionsFor(const TrainingOptions& options, int nWpm, double dToneHz, uint32_t nSeed);

// What another station sends over and over: a call, as on the air.
std::string QrmText(CBandRandom& random);
// Keyed at nWpm with the standard gaps, then a pause of 1 to 4 s.
std::vector<int> KeyedSpans(const std::string& text, int nWpm, CBandRandom& random);

// The conditions in force, "key=value" lines; empty when none is on.
QString ConditionsText(const TrainingOptions& options, uint32_t nSeed);
