// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Keying.h"
#include "engine/MorseTable.h"
#include "engine/PracticeModes.h"
#include "engine/ToneBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

// A human fist's error on one element or gap, in samples.
static int FistJitter(CBandRandom& fist, int nPercent, int nDot)
{
    if (nPercent <= 0)
        return 0;
    // Cut off symmetrically at three deviations, so the mean stays and no
    // element or gap is lost (30 % at most: 0.1 dot remains).
    const double z = std::clamp(fist.Normal(), -3.0, 3.0);
    return int(std::lround(z * nDot * nPercent / 100.0));
}

KeyedChar KeyChar(unsigned char ch, const KeyerParams& k, CBandRandom& fist, int& nGroupPos)
{
    KeyedChar out;
    const int dot = k.nDot;
    const int pct = k.nFistPercent;
    const char* telegram = k.bTelegram ? TelegramPattern(ch) : nullptr;
    const char* pattern = telegram ? telegram : KeyedPattern(ch, k.bFullSet, IsWabunMode(k.nMode));
    if (*pattern == '\0') {
        // A word space of a phrase makes the effective speed's word gap; the
        // character before it has already added its character gap.
        const bool bWordSpace = (ch == ' ' || ch == '\n') && IsPhraseMode(k.nMode);
        const int extra = bWordSpace ? std::max(0, k.nExtraWordGap - k.nExtraCharGap) : 0;
        out.spans[0] = {false, 4 * dot + extra};
        out.nSpans = 1;
        out.nCount = std::min(4 * dot + extra, kToneBufSamples);
        return out;
    }

    long long count = 0;
    for (int e = 0; e < 10 && pattern[e] != '\0'; ++e) {
        const int len = (pattern[e] == '-' ? 3 * dot : dot) + FistJitter(fist, pct, dot);
        // The gap after the last element is part of the character's gap,
        // which varies once below.
        const int gap = e + 1 < 10 && pattern[e + 1] != '\0' ? dot + FistJitter(fist, pct, dot) : dot;
        out.spans[size_t(out.nSpans++)] = {true, len};
        out.spans[size_t(out.nSpans++)] = {false, gap};
        count += len + gap;
    }
    int tail = FistJitter(fist, pct, dot);
    if (const PracticeModeDef* m = FindPracticeMode(k.nMode)) {
        if (m->eSource == TextSource::Phrase) {
            tail += 2 * dot + k.nExtraCharGap;
        } else if (m->nGroupSize <= 1) {
            tail += 5 * dot + k.nExtraCharGap;
        } else if (++nGroupPos < m->nGroupSize) {
            tail += 2 * dot + k.nExtraCharGap;
        } else {
            nGroupPos = 0;
            out.bGroupEnd = true;
            tail += 10 * dot + k.nExtraWordGap;
        }
    }
    if (telegram && ch == kTelegramBreak)
        tail += kTelegramPauseSamples;
    out.spans[size_t(out.nSpans - 1)].nSamples += tail;
    count += tail;
    // Never more than a tone buffer holds, whatever the dot.
    out.nCount = int(std::min<long long>(count, kToneBufSamples));
    return out;
}

void ToneFromSpans(const KeyedChar& keyed, int nFreq, unsigned char* pBuf)
{
    std::memset(pBuf, 0, kToneBufSamples);
    // Start clamps the frequency; a guard keeps other callers safe.
    const int period = nFreq > 0 && nFreq <= 8000 ? 8000 / nFreq : 1;
    const int half = period / 2;
    int pos = 0;
    for (int s = 0; s < keyed.nSpans && pos < kToneBufSamples; ++s) {
        const KeySpan& span = keyed.spans[size_t(s)];
        if (span.bDown)
            for (int i = 0; i < span.nSamples && pos + i < kToneBufSamples; ++i)
                pBuf[pos + i] = (i % period) < half ? kToneHigh : kToneLow;
        pos += span.nSamples;
    }
}

std::vector<int> PhraseSpans(const std::string& text, int nDot, bool bTelegram)
{
    std::vector<int> spans;
    CBandRandom noFist(1);
    int group = 0;
    for (unsigned char ch : text) {
        const KeyedChar keyed = KeyChar(ch, {kLatinPhrase, nDot, 0, 0, 0, false, bTelegram}, noFist, group);
        for (int s = 0; s < keyed.nSpans; ++s) {
            const KeySpan& span = keyed.spans[size_t(s)];
            if (!spans.empty() && (spans.size() % 2 == 1) == span.bDown)
                spans.back() += span.nSamples; // key up after key up
            else
                spans.push_back(span.nSamples);
        }
    }
    return spans;
}

long long PhraseDotUnits(const std::string& text)
{
    const std::vector<int> spans = PhraseSpans(text, 1);
    return std::accumulate(spans.begin(), spans.end(), 0LL);
}
