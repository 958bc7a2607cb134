// SPDX-License-Identifier: GPL-3.0-or-later
// The exams' parts keyed as the exam window keys them, and measured from
// the keyed samples: characters a minute of each part's own text against
// its 字/分, and the dot that takes, over ten texts each.
//
//   exam_bench
#include "Check.h"
#include "engine/MorseEngine.h"
#include "drills/Exam.h"

#include <algorithm>
#include <cstdio>
#include <vector>

int main()
{
    std::printf("%-28s %-10s %6s %10s %10s %10s %8s\n", "licence", "part", "字/分", "min", "median", "max", "dot ms");
    for (const ExamLicence& l : ExamLicences()) {
        if (l.nPassTotal < 0)
            continue;
        for (const ExamPartDef& p : l.parts) {
            std::vector<double> rates, dots;
            for (uint32_t seed = 1; seed <= 10; ++seed) {
                const std::string text = ExamText(p.ePart, p.nCharsPerMin * p.nMinutes, seed, ExamLines(p.ePart));
                CMorseEngine e;
                e.SetSettings({ExamMode(p.ePart), 800, 20, 50});
                KeyingOptions k;
                k.nDotSamples = ExamDotSamples(text, p.nCharsPerMin);
                e.SetKeyingOptions(k);
                e.SetFixedText(text);
                long long samples = 0;
                int buffers = 0;
                e.KeyWholeTest([&](const unsigned char*, int n) {
                    if (++buffers > (IsWabunPart(p.ePart) ? 2 : 0)) // the start signals
                        samples += n;
                    return true;
                });
                rates.push_back(ExamCharCount(e.Sent()) / (double(samples) / 8000.0 / 60.0));
                Within("the text sent whole", e.Sent() == text ? 1 : 0, 1, 1);
                Within("字/分 against the part's, share", rates.back() / p.nCharsPerMin, 0.99, 1.01);
                dots.push_back(k.nDotSamples / 8.0);
            }
            std::sort(rates.begin(), rates.end());
            std::sort(dots.begin(), dots.end());
            std::printf("%-28s %-10s %6d %10.2f %10.2f %10.2f %8.2f\n", l.pszKey, ExamPartKey(p.ePart), p.nCharsPerMin,
                        rates.front(), rates[rates.size() / 2], rates.back(), dots[dots.size() / 2]);
        }
    }
    return BenchResult();
}
