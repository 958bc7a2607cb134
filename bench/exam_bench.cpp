// SPDX-License-Identifier: GPL-3.0-or-later
// The exams' parts keyed as the exam window keys them, and measured from
// the keyed samples: characters a minute of each part's own text against
// its 字/分, and the dot that takes, over ten texts each. 和文 again as
// telegrams: their 字/分 without the marks' pauses, and every pause as
// heard (the silence after each ..--.. mark).
//
//   exam_bench
#include "Check.h"
#include "engine/MorseEngine.h"
#include "drills/Exam.h"
#include "text/Cp932.h"

#include <algorithm>
#include <cstdio>
#include <vector>

int main()
{
    std::printf("%-28s %-10s %6s %10s %10s %10s %8s\n", "licence", "part", "字/分", "min", "median", "max", "dot ms");
    for (const ExamLicence& l : ExamLicences()) {
        if (l.nPassTotal < 0)
            continue;
        for (const ExamPartDef& p : l.parts)
            for (const bool bTelegram : {false, true}) {
                if (bTelegram && !IsWabunPart(p.ePart))
                    continue;
                std::vector<double> rates, dots, pauses;
                for (uint32_t seed = 1; seed <= 10; ++seed) {
                    const int chars = p.nCharsPerMin * p.nMinutes;
                    const std::vector<std::string> lines = ExamLines(p.ePart);
                    const std::string text = bTelegram ? WabunTelegrams(chars, seed, lines) : ExamText(p.ePart, chars, seed, lines);
                    CMorseEngine e;
                    e.SetSettings({ExamMode(p.ePart), 800, 20, 50});
                    KeyingOptions k;
                    k.nDotSamples = ExamDotSamples(text, p.nCharsPerMin);
                    k.bTelegram = bTelegram;
                    e.SetKeyingOptions(k);
                    e.SetFixedText(text);
                    long long samples = 0, silence = 0, paused = 0;
                    int buffers = 0, heardPauses = 0;
                    e.KeyWholeTest([&](const unsigned char* pBuf, int n) {
                        if (++buffers <= (IsWabunPart(p.ePart) ? 2 : 0)) // the start signals
                            return true;
                        samples += n;
                        for (int i = 0; i < n; ++i) {
                            if (pBuf[i] == 0) {
                                ++silence;
                                continue;
                            }
                            if (silence > 4 * 8000) { // a mark's pause, with the gap before the next sign
                                pauses.push_back(double(silence) / 8000.0);
                                paused += silence;
                                ++heardPauses;
                            }
                            silence = 0;
                        }
                        return true;
                    });
                    const int marks = int(std::count(text.begin(), text.end(), char(kTelegramBreak)));
                    Within("a pause heard after every mark", heardPauses, marks, marks);
                    rates.push_back(ExamCharCount(e.Sent()) / (double(samples - paused) / 8000.0 / 60.0));
                    Within("the text sent whole", e.Sent() == text ? 1 : 0, 1, 1);
                    Within("字/分 against the part's, share", rates.back() / p.nCharsPerMin, 0.99, 1.01);
                    dots.push_back(k.nDotSamples / 8.0);
                }
                std::sort(rates.begin(), rates.end());
                std::sort(dots.begin(), dots.end());
                std::sort(pauses.begin(), pauses.end());
                std::printf("%-28s %-10s %6d %10.2f %10.2f %10.2f %8.2f", l.pszKey,
                            bTelegram ? "telegram" : ExamPartKey(p.ePart), p.nCharsPerMin, rates.front(),
                            rates[rates.size() / 2], rates.back(), dots[dots.size() / 2]);
                if (!pauses.empty()) {
                    std::printf("   pauses %zu: %.2f / %.2f / %.2f s", pauses.size(), pauses.front(), pauses[pauses.size() / 2],
                                pauses.back());
                    Within("a mark's pause, s", pauses.front(), 5.0, 5.5);
                    Within("a mark's pause, s", pauses.back(), 5.0, 5.5);
                }
                std::printf("\n");
            }
    }
    return BenchResult();
}
