#include "training/Apply.h"
#include "audio/ToneRender.h"
#include "training/Drills.h"

// The whole set of a random mode, in the order its draw indexes it.
static std::vector<unsigned char> WholeSet(bool bWabun)
{
    std::vector<unsigned char> chars;
    if (!bWabun) {
        for (int c = 'A'; c <= 'Z'; ++c)
            chars.push_back(static_cast<unsigned char>(c));
        return chars;
    }
    for (int c = 0xB1; c <= 0xDD; ++c)
        chars.push_back(static_cast<unsigned char>(c));
    chars.push_back(0xA6);
    return chars;
}

static DrawSet DrawsFor(const TrainingOptions& o, bool bWabun, const CRunRecord* pRecord)
{
    DrawSet set{KochSet(o.nKochLesson, bWabun), {}};
    if (o.bWeightWeak && pRecord) {
        if (set.chars.empty())
            set.chars = WholeSet(bWabun);
        set.weights = pRecord->WeakWeights(set.chars);
    }
    return set;
}

void ApplyTrainingOptions(const TrainingOptions& options, CMorseEngine& engine, const CRunRecord* pRecord)
{
    const TrainingOptions o = options.Clamped();
    engine.m_drawLatin = DrawsFor(o, false, pRecord);
    engine.m_drawWabun = DrawsFor(o, true, pRecord);
    const FarnsworthGaps gaps = FarnsworthExtra(engine.m_nWpm, o.EffectiveWpmAt(engine.m_nWpm), engine.m_nDotMs);
    engine.m_nExtraCharGap = gaps.nCharExtra;
    engine.m_nExtraWordGap = gaps.nWordExtra;
    SetToneShaping({o.eToneShape, o.nEdgeMs});
}
