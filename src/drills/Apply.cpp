// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/Apply.h"
#include "drills/Conditions.h"
#include "drills/Drills.h"
#include "drills/QsoText.h"

static DrawSet DrawsFor(const TrainingOptions& o, bool bWabun, const CharResults* pResults)
{
    const int extra = bWabun ? o.nWabunSet : o.nLatinSet;
    DrawSet set{KochSet(o.nKochLesson, bWabun, extra), {}};
    // Lesson 0 of a set beyond the designed one draws all of it.
    if (set.chars.empty() && extra > 0)
        set.chars = KochOrder(bWabun, extra);
    if (o.bWeightWeak && pResults) {
        if (set.chars.empty())
            set.chars = WholeSet(bWabun);
        set.weights = WeakWeights(*pResults, set.chars);
    }
    return set;
}

KeyingOptions KeyingFor(const TrainingOptions& options, int nWpm, int nDotMs, const CharResults* pResults)
{
    const TrainingOptions o = options.Clamped();
    KeyingOptions k;
    k.drawLatin = DrawsFor(o, false, pResults);
    k.drawWabun = DrawsFor(o, true, pResults);
    const FarnsworthGaps gaps = FarnsworthExtra(nWpm, o.EffectiveWpmAt(nWpm), nDotMs);
    k.nExtraCharGap = gaps.nCharExtra;
    k.nExtraWordGap = gaps.nWordExtra;
    k.shaping = {o.eToneShape, o.nEdgeMs, o.eToneShape == ToneShape::Shaped ? 8 * nDotMs : 0, {}};
    k.voice = {VoiceUnit(o.nVoice), o.bVoiceIcao, o.nVoiceBeforeMs, o.nVoiceAfterMs};
    return k;
}

std::string PhraseTextFor(const TrainingOptions& options, int nMode, uint32_t nSeed)
{
    const TrainingOptions o = options.Clamped();
    if (!IsPhraseMode(nMode) || o.nPhraseText == 0 || FindPracticeMode(nMode)->bOnForm == false)
        return {};
    CBandRandom random(nSeed);
    return IsWabunMode(nMode) ? WabunQsoText(random, o.nWabunSet > 0) : QsoText(random, o.nLatinSet >= kLatinProsigns);
}

void ApplyTrainingOptions(const TrainingOptions& options, CMorseEngine& engine, const CharResults* pResults)
{
    KeyingOptions k = KeyingFor(options, engine.Wpm(), engine.DotMs(), pResults);
    const TrainingOptions o = options.Clamped();
    if (o.HasBandConditions()) {
        const uint32_t seed = TestSeed(o);
        k.shaping.band = ConditionsFor(o, engine.Wpm(), KeyedPitch(engine.Settings().nFreq), seed);
        k.nFistJitterPercent = o.nFistJitterPercent;
        k.nFistSeed = seed + 1;
    }
    // Beyond the designed sets, the mode's script keys the signs of the air.
    k.bFullSet = (IsWabunMode(engine.Mode()) ? o.nWabunSet : o.nLatinSet) > 0;
    engine.SetKeyingOptions(k);
}
