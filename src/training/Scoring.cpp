// SPDX-License-Identifier: GPL-3.0-or-later
#include "training/Scoring.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

std::string FoldTypedLineBreaks(const std::string& strTyped)
{
    std::string out;
    out.reserve(strTyped.size());
    for (size_t i = 0; i < strTyped.size(); ++i)
        if (!(strTyped[i] == '\r' && i + 1 < strTyped.size() && strTyped[i + 1] == '\n'))
            out += strTyped[i];
    return out;
}

static bool IsAsciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool SameCharacter(unsigned char a, unsigned char b)
{
    return a == b || (IsAsciiLetter(a) && IsAsciiLetter(b) && (a | 0x20) == (b | 0x20));
}

unsigned char Canonical(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }

Alignment AlignCopy(const std::string& strSent, const std::string& strTypedRaw)
{
    const std::string typed = FoldTypedLineBreaks(strTypedRaw);
    const int n = int(strSent.size());
    const int m = int(typed.size());
    // A band around the diagonal keeps long phrase files cheap; short
    // texts get the whole table.
    const long long cells = (long long)(n + 1) * (m + 1);
    const int band = cells <= 4'000'000 ? std::max(n, m) + 1 : std::abs(n - m) + 512;
    auto lo = [&](int i) { return std::max(0, (n ? int((long long)i * m / n) : 0) - band); };
    auto hi = [&](int i) { return std::min(m, (n ? int((long long)i * m / n) : m) + band); };

    enum : uint8_t { kDiag, kUp, kLeft }; // up: sent byte missing; left: typed byte extra
    const int inf = std::numeric_limits<int>::max() / 2;
    std::vector<int> prev(size_t(m + 1), inf), cur(size_t(m + 1), inf);
    std::vector<std::vector<uint8_t>> dir(size_t(n + 1));
    for (int i = 0; i <= n; ++i) {
        const int a = lo(i), b = hi(i);
        dir[size_t(i)].assign(size_t(b - a + 1), kDiag);
        std::fill(cur.begin(), cur.end(), inf);
        for (int j = a; j <= b; ++j) {
            int best = inf;
            uint8_t how = kDiag;
            if (i == 0 && j == 0) {
                best = 0;
            } else {
                if (i > 0 && j > 0 && prev[size_t(j - 1)] < inf) {
                    best = prev[size_t(j - 1)]
                        + (SameCharacter(static_cast<unsigned char>(strSent[size_t(i - 1)]),
                                         static_cast<unsigned char>(typed[size_t(j - 1)])) ? 0 : 1);
                    how = kDiag;
                }
                if (i > 0 && prev[size_t(j)] < inf && prev[size_t(j)] + 1 < best) {
                    best = prev[size_t(j)] + 1;
                    how = kUp;
                }
                if (j > 0 && cur[size_t(j - 1)] < inf && cur[size_t(j - 1)] + 1 < best) {
                    best = cur[size_t(j - 1)] + 1;
                    how = kLeft;
                }
            }
            cur[size_t(j)] = best;
            dir[size_t(i)][size_t(j - a)] = how;
        }
        std::swap(prev, cur);
    }

    Alignment al;
    al.nSent = n;
    for (int i = n, j = m; i > 0 || j > 0;) {
        const uint8_t how = i == 0 ? uint8_t(kLeft) : (j == 0 ? uint8_t(kUp) : dir[size_t(i)][size_t(j - lo(i))]);
        if (how == kDiag) {
            const bool right = SameCharacter(static_cast<unsigned char>(strSent[size_t(i - 1)]),
                                             static_cast<unsigned char>(typed[size_t(j - 1)]));
            al.steps.push_back({right ? AlignStep::Right : AlignStep::Wrong, i - 1, j - 1});
            (right ? al.nRight : al.nWrong)++;
            --i;
            --j;
        } else if (how == kUp) {
            al.steps.push_back({AlignStep::Missing, i - 1, -1});
            ++al.nMissing;
            --i;
        } else {
            al.steps.push_back({AlignStep::Extra, -1, j - 1});
            ++al.nExtra;
            --j;
        }
    }
    std::reverse(al.steps.begin(), al.steps.end());
    return al;
}

int ExamScore(const Alignment& a) { return std::max(0, 100 - 3 * (a.nWrong + a.nExtra) - a.nMissing); }

bool ExamPassed(int nScore) { return nScore >= 90; }


CopyScore ScoreCopy(const std::string& strSent, const std::string& strTypedRaw)
{
    const std::string strTyped = FoldTypedLineBreaks(strTypedRaw);
    CopyScore s;
    s.nSent = static_cast<long long>(strSent.size());
    s.nTyped = static_cast<long long>(strTyped.size());
    s.abMatch.reserve(size_t(std::min(s.nSent, s.nTyped)));
    for (long long i = 0; i < s.nSent && i < s.nTyped; ++i) {
        const bool match = SameCharacter(static_cast<unsigned char>(strSent[size_t(i)]),
                                         static_cast<unsigned char>(strTyped[size_t(i)]));
        s.abMatch.push_back(match);
        s.nCorrect += match ? 1 : 0;
    }
    // 64-bit: correct x 100 must not overflow at any length.
    s.nPercent = s.nSent > 0 ? static_cast<int>(s.nCorrect * 100 / s.nSent) : 0;
    return s;
}

std::string FormatVerdict(int nPercent)
{
    struct Verdict { int nFrom; const char* pszFormat; };
    static const Verdict kVerdicts[] = {
        {80, "合格まちがいなし！(正解率 %d%%)"},
        {60, "合格可能かも！(正解率 %d%%)"},
        {40, "もう少しがんばって！(正解率 %d%%)"},
        {20, "毎日10分は聞き取り練習が必要！(正解率 %d%%)"},
        {0,  "符号を覚えていないな！(正解率 %d%%)"},
    };
    const char* format = kVerdicts[4].pszFormat;
    for (const Verdict& v : kVerdicts) {
        if (nPercent >= v.nFrom) {
            format = v.pszFormat;
            break;
        }
    }
    char buf[256];
    std::snprintf(buf, sizeof buf, format, nPercent);
    return buf;
}

static bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::vector<int> DisplayUnits(const std::string& strTyped, int nCompared)
{
    std::vector<int> units;
    for (int i = 0; i < nCompared;) {
        const auto c = static_cast<unsigned char>(strTyped[size_t(i)]);
        const bool pair = i + 1 < nCompared && IsLeadByte(c);
        units.push_back(pair ? 2 : 1);
        i += pair ? 2 : 1;
    }
    return units;
}
