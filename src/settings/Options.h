// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The learner's options beyond the copy test. Each default gives exactly
// the test as designed; they are kept in the framework's profile.
#include "audio/ToneRender.h"

#include <QString>

// No noise: the stored setting is absent.
constexpr int kNoiseOff = -1000;

// What Latin random tests draw from; each takes in the ones before it.
// Beyond letters, tests key the whole set of the air (FullSetPattern).
enum LatinSet { kLatinLetters, kLatinFigures, kLatinPunctuation, kLatinProsigns };

struct TrainingOptions {
    ToneShape eToneShape = ToneShape::Square;
    int nEdgeMs = 5;          // rise and fall of the shaped tone, 1..10
    int nEffectiveWpm = 0;    // 0: off; else 2 .. the form's speed - 1
    int nKochLesson = 0;      // 0: all characters; N: the first N + 1
    int nLatinSet = 0;        // Latin draws: letters, + figures, + punctuation, + prosigns (LatinSet)
    int nPhraseText = 0;      // the phrase modes send: 0 the phrase file, 1 a generated QSO
    int nWabunSet = 0;        // Wabun draws: 0 the kana, 1 also ﾞ ﾟ ｰ ､ ｣ ( ) figures ﾎﾚ ﾗﾀ
    bool bWeightWeak = false; // draw characters often missed more often
    bool bKochAdvance = true; // a passed lesson moves on by itself
    bool bKeepHistory = true; // evaluated tests go into the history
    // Band conditions (受信状態), each off by default.
    int nNoiseSnrDb = kNoiseOff; // -10..30 dB
    int nQsbDepthDb = 0;         // 0..30 dB, 0: off
    int nQsbPeriodS = 10;        // 2..60 s
    int nQrmStations = 0;        // 0..3
    int nQrmLevelDb = -10;       // -20..6 dB against the main signal
    int nFistJitterPercent = 0;  // 0..30 % of a dot
    int nFilterHz = 0;           // 0: off, 150..3000
    int nRoomRt60Ms = 0;         // 0: off, 100..3000: the room's reverberation time
    int nBandSeed = 0;           // 0: new conditions every test
    // The one-character drill: when a character counts as learned, when
    // an answer is too slow, and the learner's own key latency (0: not
    // measured), taken off every response time.
    int nLearnPercent = 90;
    int nLearnMs = 500;
    int nSlowMs = 2000;
    int nKeyLatencyMs = 0;
    int nDailyGoalMin = 0;       // minutes a day; 0: no goal
    bool bKanaLayout = false;    // the drill's kana by a JIS kana keyboard, not romaji
    // The answer said after the Morse (VoiceUnit: off, character, group,
    // item), by the ICAO alphabet or the letters' names, with its pauses.
    int nVoice = 0;
    bool bVoiceIcao = false;
    int nVoiceBeforeMs = 300;
    int nVoiceAfterMs = 700;

    bool HasNoise() const { return nNoiseSnrDb != kNoiseOff; }
    // Any band condition on, the fist among them.
    bool HasBandConditions() const
    {
        return HasNoise() || nQsbDepthDb > 0 || nQrmStations > 0 || nFistJitterPercent > 0 || nFilterHz > 0
            || nRoomRt60Ms > 0;
    }

    bool operator==(const TrainingOptions&) const = default;

    // Each setting off or within its range (Settings.h).
    TrainingOptions Clamped() const;
    // The effective speed in force at a character speed: 0 (off) unless it
    // is at least 2 and below the character speed.
    int EffectiveWpmAt(int nWpm) const;

    // The profile, through the settings registry (Settings.h). Save is
    // false when the profile could not be written (read-only, full).
    static TrainingOptions Load();
    bool Save() const;
};

// What a learner is told when a Koch lesson is passed.
QString KochAdvanceText(int nFrom, int nTo);
