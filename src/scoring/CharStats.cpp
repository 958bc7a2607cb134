// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/CharStats.h"
#include "engine/MorseTable.h"

#include <algorithm>
#include <cstdio>

SentSpeed SpeedOf(int nChars, double dSeconds)
{
    SentSpeed s;
    if (dSeconds <= 0)
        return s;
    s.dCharsPerMinute = nChars / (dSeconds / 60.0);
    s.dWpm = s.dCharsPerMinute / 5.0; // five characters a word
    return s;
}

std::vector<std::pair<std::string, int>> CharStats::TopConfusions(size_t n) const
{
    std::vector<std::pair<std::string, int>> all(confusions.begin(), confusions.end());
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    if (all.size() > n)
        all.resize(n);
    return all;
}

std::map<unsigned char, CharStats> CharStatsOf(const Alignment& align, const std::string& strSent,
                                               const std::string& strTyped)
{
    std::map<unsigned char, CharStats> chars;
    const std::string typed = FoldTypedLineBreaks(strTyped);
    for (const AlignStep& step : align.steps) {
        if (step.nSent < 0)
            continue;
        const unsigned char c = Canonical(static_cast<unsigned char>(strSent[size_t(step.nSent)]));
        if (*MorsePattern(c) == '\0')
            continue; // spaces and line breaks are not characters to learn
        CharStats& st = chars[c];
        ++st.nSent;
        if (step.eKind == AlignStep::Right)
            ++st.nRight;
        else if (step.eKind == AlignStep::Wrong)
            ++st.confusions[std::string(1, char(Canonical(static_cast<unsigned char>(typed[size_t(step.nTyped)]))))];
        else
            ++st.confusions[std::string()];
    }
    return chars;
}

void CharStats::Merge(const CharStats& other)
{
    nSent += other.nSent;
    nRight += other.nRight;
    for (const auto& [typed, count] : other.confusions)
        confusions[typed] += count;
}

void CRunStats::Add(const TestResult& test, const std::string& strSent, const std::string& strTyped)
{
    m_tests.push_back(test);
    for (const auto& [c, st] : CharStatsOf(test.align, strSent, strTyped))
        m_chars[c].Merge(st);
}

std::vector<int> WeakWeights(const std::map<unsigned char, CharStats>& stats, const std::vector<unsigned char>& chars)
{
    std::vector<int> weights;
    for (unsigned char c : chars) {
        auto it = stats.find(c);
        if (it == stats.end() || it->second.nSent == 0) {
            weights.push_back(10);
            continue;
        }
        const double errorRate = 1.0 - double(it->second.nRight) / it->second.nSent;
        weights.push_back(10 + int(90.0 * errorRate + 0.5));
    }
    return weights;
}
