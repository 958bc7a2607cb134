// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/GraphFeeder.h"

#include <cstring>

int g_nGraphWpm = 12;
int g_nStepCount = 0;
int g_anStepX[kMaxSteps];
int g_anStepLevel[kMaxSteps];

void AddStep(int nStep, int nLevel)
{
    if (g_nStepCount < kMaxSteps) {
        g_anStepX[g_nStepCount] = nStep;
        g_anStepLevel[g_nStepCount] = nLevel;
        ++g_nStepCount;
    }
}

void ResetSteps()
{
    g_nStepCount = 0;
    std::memset(g_anStepX, 0, sizeof g_anStepX);
    std::memset(g_anStepLevel, 0, sizeof g_anStepLevel);
}

int StepThreshold(int nWpm)
{
    struct Band { int nBelowWpm; int nThreshold; };
    static const Band kBands[] = {
        {6, 100}, {10, 80}, {20, 50}, {40, 40}, {60, 30},
    };
    for (const Band& b : kBands)
        if (nWpm < b.nBelowWpm)
            return b.nThreshold;
    return 20;
}

std::vector<GraphPoint> MakeGraphEntries(const unsigned char* pSamples, int nCount, int nWpm)
{
    g_nStepCount = 0;
    const int t = StepThreshold(nWpm);

    bool bKeyDown = false;
    int x = kFirstStepIndex;
    int nUp = 0;
    int nDown = 0;
    for (int i = 0; i < nCount; ++i) {
        const unsigned char s = pSamples[i];
        if (s == 0) {
            if (bKeyDown) {
                AddStep(x, kLevelKeyDown);
                AddStep(x, kLevelKeyUp);
                bKeyDown = false;
                nUp = nDown = 0;
            } else if (++nUp > t) {
                AddStep(x, kLevelKeyUp);
                ++x;
                nUp = 0;
            }
        } else if (s == 0x40 || s == 0xC0) {
            if (!bKeyDown) {
                AddStep(x, kLevelKeyUp);
                AddStep(x, kLevelKeyDown);
                bKeyDown = true;
                nUp = nDown = 0;
            } else if (++nDown > t) {
                AddStep(x, kLevelKeyDown);
                ++x;
                nDown = 0;
            }
        }
    }

    std::vector<GraphPoint> entries;
    entries.push_back({40, 0});
    int p = 0;
    int sum = 0;
    int level = kLevelKeyUp;
    for (int i = 0; i < g_nStepCount; ++i) {
        sum += g_anStepX[i] - p;
        if (g_anStepLevel[i] != level) {
            entries.push_back({sum, g_anStepLevel[i] - 40});
            sum = g_anStepX[i] - p;
            level = g_anStepLevel[i];
        }
        p = g_anStepX[i];
    }
    entries.push_back({30, 0});
    entries.push_back({30, -1});
    return entries;
}
