// SPDX-License-Identifier: GPL-3.0-or-later
// The call-sign run's adaptive speed against simulated listeners of fixed
// ability: each copies a call right with a chance that falls from near
// 1 to near 0 around its ability (a logistic curve, 1.5 WPM wide). The
// speed should settle: the last 10 reversals of a 50-call run lie within
// a spread (standard deviation) under 2 WPM, near the ability.
#include "Check.h"
#include "drills/ItemRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

int main()
{
    const int abilities[] = {12, 25, 40};
    const int starts[] = {15, 20, 30};
    constexpr int kSeeds = 20;
    std::printf("ability start  runs  reversals(min)  spread of last 10: min/median/max WPM  mean-ability median\n");
    for (int ability : abilities) {
        for (int start : starts) {
            std::vector<double> spreads, offsets;
            size_t fewest = 1000;
            for (int seed = 1; seed <= kSeeds; ++seed) {
                std::mt19937 gen(uint32_t(seed * 7919 + ability));
                std::uniform_real_distribution<double> u(0, 1);
                CAdaptiveSpeed speed(start);
                for (int i = 0; i < CItemRun::kItems; ++i) {
                    const double p = 1.0 / (1.0 + std::exp((speed.Wpm() - ability) / 1.5));
                    speed.Answer(u(gen) < p);
                }
                const std::vector<int>& r = speed.Reversals();
                fewest = std::min(fewest, r.size());
                if (r.size() < 10)
                    continue;
                double mean = 0, var = 0;
                for (size_t i = r.size() - 10; i < r.size(); ++i)
                    mean += r[i] / 10.0;
                for (size_t i = r.size() - 10; i < r.size(); ++i)
                    var += (r[i] - mean) * (r[i] - mean) / 9.0;
                spreads.push_back(std::sqrt(var));
                offsets.push_back(mean - ability);
            }
            std::sort(spreads.begin(), spreads.end());
            std::sort(offsets.begin(), offsets.end());
            std::printf("%7d %5d %5zu %15zu  %8.2f %8.2f %8.2f  %+24.2f\n", ability, start, spreads.size(), fewest,
                        spreads.front(), spreads[spreads.size() / 2], spreads.back(), offsets[offsets.size() / 2]);
            Within("runs with 10 reversals", double(spreads.size()), kSeeds, kSeeds);
            Within("median spread of the last 10 reversals (WPM)", spreads[spreads.size() / 2], 0, 2);
            Within("widest spread of the last 10 reversals (WPM)", spreads.back(), 0, 2.5);
            Within("median distance of the reversals from the ability (WPM)", offsets[offsets.size() / 2], -2, 2);
        }
    }
    return BenchResult();
}
