// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A benchmark's figures against their thresholds: each one outside is
// told, and the benchmark then exits non-zero (BenchResult()).
#include <cstdio>

inline int g_nBenchOutside = 0;

inline bool Within(const char* what, double value, double lo, double hi)
{
    if (value >= lo && value <= hi)
        return true;
    ++g_nBenchOutside;
    std::printf("  OUTSIDE: %s = %.4g, wanted %.4g .. %.4g\n", what, value, lo, hi);
    return false;
}

inline int BenchResult()
{
    if (g_nBenchOutside > 0)
        std::printf("%d figure(s) outside their thresholds\n", g_nBenchOutside);
    else
        std::printf("every figure within its threshold\n");
    return g_nBenchOutside > 0 ? 1 : 0;
}
