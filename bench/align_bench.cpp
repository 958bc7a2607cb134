// SPDX-License-Identifier: GPL-3.0-or-later
// The aligned scoring of long copies: time and peak memory of AlignCopy,
// each size in a child process of its own so that its peak is its own.
//
//   align_bench [runs]       prints min/median/max for each size
#include "scoring/Scoring.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A copy of sent with every 10th character wrong, every 50th dropped and
// the first tenth skipped and typed again at the end.
static std::string Copy(const std::string& sent, size_t length)
{
    std::string typed;
    const size_t skip = sent.size() / 10;
    for (size_t i = skip; i < sent.size() && typed.size() < length; ++i) {
        if (i % 50 == 0)
            continue;
        typed += i % 10 == 0 ? char('A' + (sent[i] - 'A' + 1) % 26) : sent[i];
    }
    typed += sent.substr(0, skip);
    typed.resize(std::min(typed.size(), length));
    return typed;
}

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::pair<int, int> sizes[] = {{10000, 10000}, {20000, 10000}, {40000, 20000}};
    std::printf("%-14s %9s %9s %9s %10s\n", "sent x typed", "min ms", "median", "max", "peak MiB");
    for (const auto& [n, m] : sizes) {
        std::vector<double> ms;
        long peakKiB = 0;
        for (int r = 0; r < runs; ++r) {
            int fds[2];
            if (pipe(fds) != 0)
                return 1;
            const pid_t pid = fork();
            if (pid == 0) {
                std::string sent;
                unsigned seed = 7;
                for (int i = 0; i < n; ++i) {
                    seed = seed * 1103515245u + 12345u;
                    sent += char('A' + (seed >> 16) % 26);
                }
                const std::string typed = Copy(sent, size_t(m));
                rusage before{};
                getrusage(RUSAGE_SELF, &before);
                const auto t0 = std::chrono::steady_clock::now();
                const Alignment a = AlignCopy(sent, typed);
                const double took =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
                rusage after{};
                getrusage(RUSAGE_SELF, &after);
                const double grown = double(after.ru_maxrss - before.ru_maxrss);
                const double out[2] = {took, grown};
                if (write(fds[1], out, sizeof out) != sizeof out || a.nSent != n)
                    _exit(1);
                _exit(0);
            }
            close(fds[1]);
            double in[2] = {0, 0};
            const bool ok = read(fds[0], in, sizeof in) == sizeof in;
            close(fds[0]);
            waitpid(pid, nullptr, 0);
            if (!ok)
                return 1;
            ms.push_back(in[0]);
            peakKiB = std::max(peakKiB, long(in[1]));
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%6d x %-6d %9.0f %9.0f %9.0f %10.1f\n", n, m, ms.front(), ms[ms.size() / 2], ms.back(),
                    peakKiB / 1024.0);
    }
    return 0;
}
