// SPDX-License-Identifier: GPL-3.0-or-later
// What ｽﾀｰﾄ of a phrase test costs the window's thread: the phrase file
// read and the test prepared, for the largest file and a small one, on
// the real engine. The window must stay live, so each start is checked
// against a threshold (run by hand: the time is the machine's).
//
//   start_bench [runs]
#include "Check.h"
#include "engine/MorseEngine.h"
#include "engine/PracticeText.h"
#include "engine/ToneBuffers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    char dir[] = "/tmp/start_bench.XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    std::printf("%-14s %9s %9s %9s\n", "phrase file", "min ms", "median", "max");
    for (const size_t bytes : {size_t(4096), size_t(64 << 20) + 1}) {
        const std::string path = std::string(dir) + "/phrase.txt";
        {
            std::string text(bytes, ' ');
            for (size_t i = 0; i < bytes; ++i)
                text[i] = i % 6 == 5 ? ' ' : char('A' + i * 7 % 26);
            FILE* f = std::fopen(path.c_str(), "wb");
            if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0)
                return 1;
        }
        g_strPhraseFile = path;
        std::vector<double> ms;
        for (int r = 0; r < runs; ++r) {
            CMorseEngine e;
            e.SetSettings({kLatinPhrase, 800, 20, 50});
            const auto t0 = std::chrono::steady_clock::now();
            e.BeginTest();
            const int prepared = e.PrepareText(800, 60);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            Within("prepared", prepared, 0, 0);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%10zu B %9.1f %9.1f %9.1f\n", bytes, ms.front(), ms[ms.size() / 2], ms.back());
        Within("ms for ｽﾀｰﾄ, median", ms[ms.size() / 2], 0, 100);
        unlink(path.c_str());
    }
    rmdir(dir);
    return BenchResult();
}
