// SPDX-License-Identifier: GPL-3.0-or-later
// Readiness against simulated candidates of known ability: each part's
// true level drawn at random, five mock sittings scored around it, then
// the estimate of each level, and the pass chance against the true one
// and against a sixth sitting's outcome (calibration), over 4000
// candidates of each licence. A candidate who improves by 2 points a
// sitting shows how far the level lags behind.
//
//   readiness_bench
#include "Check.h"
#include "drills/Readiness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

static double Quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[size_t(q * double(v.size() - 1))];
}

int main()
{
    constexpr double kSpread = 6.0; // a candidate's sitting-to-sitting spread, points
    std::printf("%-8s %-9s %8s %8s %8s %10s %10s\n", "licence", "ability", "err p50", "err p90", "err max", "|Δchance|",
                "worst bin");
    for (const char* key : {"3sou", "1sou", "kokunai"}) {
        const ExamLicence& l = *FindExamLicence(key);
        for (const double gain : {0.0, 2.0}) {
            std::mt19937 random(7);
            std::vector<double> errors, chanceGaps;
            // Calibration in tenths of the estimated chance: sittings, passes.
            std::vector<std::pair<int, int>> bins(10);
            for (int c = 0; c < 4000; ++c) {
                std::vector<double> ability;
                std::vector<std::vector<int>> scores(l.parts.size());
                double trueSum = 0;
                for (size_t i = 0; i < l.parts.size(); ++i) {
                    ability.push_back(std::uniform_real_distribution<double>(55, 95)(random));
                    trueSum += ability.back() + 5 * gain; // at the sixth sitting
                }
                std::normal_distribution<double> noise(0, kSpread);
                for (int s = 0; s < 6; ++s)
                    for (size_t i = 0; i < l.parts.size(); ++i)
                        scores[i].push_back(int(std::clamp(std::lround(ability[i] + s * gain + noise(random)), 0L, 100L)));
                std::vector<std::vector<int>> five = scores;
                for (auto& s : five)
                    s.pop_back();
                const ExamReadiness r = EstimateReadiness(l, five);
                for (size_t i = 0; i < l.parts.size(); ++i)
                    errors.push_back(std::fabs(r.parts[i].dLevel - (ability[i] + 5 * gain))); // next time
                const double trueChance =
                    0.5 * std::erfc((l.nPassTotal - 0.5 - trueSum) / (kSpread * std::sqrt(double(l.parts.size()))) / std::sqrt(2.0));
                chanceGaps.push_back(std::fabs(r.dPassChance - trueChance));
                int sixth = 0;
                for (const auto& s : scores)
                    sixth += s.back();
                auto& bin = bins[size_t(std::min(9, int(r.dPassChance * 10)))];
                ++bin.first;
                bin.second += sixth >= l.nPassTotal ? 1 : 0;
            }
            double worst = 0;
            for (size_t b = 0; b < bins.size(); ++b)
                if (bins[b].first >= 100) // enough sittings to tell
                    worst = std::max(worst, std::fabs(double(bins[b].second) / bins[b].first - (double(b) + 0.5) / 10.0));
            std::printf("%-8s %-9s %8.2f %8.2f %8.2f %10.3f %10.3f\n", key, gain > 0 ? "+2/sit" : "steady",
                        Quantile(errors, 0.5), Quantile(errors, 0.9), Quantile(errors, 1.0), Quantile(chanceGaps, 0.5), worst);
            if (gain == 0) {
                Within("level error after five sittings, median points", Quantile(errors, 0.5), 0, 3);
                Within("level error after five sittings, 90th percentile points", Quantile(errors, 0.9), 0, 6);
                Within("pass chance against the true one, median", Quantile(chanceGaps, 0.5), 0, 0.1);
                Within("pass chance against the sixth sitting, worst tenth", worst, 0, 0.15);
            }
        }
    }
    return BenchResult();
}
