// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <vector>

// One trace entry: a width in pixels and a height above the mid line
// (0 key up, 40 key down, -1 blank).
struct GraphPoint {
    int x;
    int y;
    bool operator==(const GraphPoint&) const = default;
};

constexpr int kMaxSteps = 500;
constexpr int kFirstStepIndex = 13;
constexpr int kLevelKeyUp = 80;
constexpr int kLevelKeyDown = 40;

extern int g_nGraphWpm;
extern int g_nStepCount;
extern int g_anStepX[kMaxSteps];
extern int g_anStepLevel[kMaxSteps];

void AddStep(int nStep, int nLevel);
// Empties the scratch list (Start does this before each test).
void ResetSteps();
// Run counters make a step when they exceed this.
int StepThreshold(int nWpm);
// The entries of one tone buffer, framing included; uses the scratch list.
std::vector<GraphPoint> MakeGraphEntries(const unsigned char* pSamples, int nCount, int nWpm);
