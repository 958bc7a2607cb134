// SPDX-License-Identifier: GPL-3.0-or-later
#include "training/Record.h"
#include "engine/MorseTable.h"
#include "text/Cp932.h"

#include <algorithm>
#include <cstdio>

SentSpeed SpeedOfTest(long long nSamples, int, int nChars)
{
    SentSpeed s;
    if (nSamples <= 0)
        return s;
    const double minutes = double(nSamples) / 8000.0 / 60.0;
    s.dCharsPerMinute = nChars / minutes;
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

void CRunRecord::Add(const TestRecord& test, const std::string& strSent, const std::string& strTyped)
{
    m_tests.push_back(test);
    const std::string typed = FoldTypedLineBreaks(strTyped);
    for (const AlignStep& step : test.align.steps) {
        if (step.nSent < 0)
            continue;
        const unsigned char c = Canonical(static_cast<unsigned char>(strSent[size_t(step.nSent)]));
        if (*MorsePattern(c) == '\0')
            continue; // spaces and line breaks are not characters to learn
        CharStats& st = m_chars[c];
        ++st.nSent;
        if (step.eKind == AlignStep::Right)
            ++st.nRight;
        else if (step.eKind == AlignStep::Wrong)
            ++st.confusions[std::string(1, char(Canonical(static_cast<unsigned char>(typed[size_t(step.nTyped)]))))];
        else
            ++st.confusions[std::string()];
    }
}

std::vector<unsigned char> CRunRecord::WorstFirst() const
{
    std::vector<unsigned char> chars;
    for (const auto& [c, st] : m_chars)
        chars.push_back(c);
    std::stable_sort(chars.begin(), chars.end(), [&](unsigned char a, unsigned char b) {
        const CharStats& x = m_chars.at(a);
        const CharStats& y = m_chars.at(b);
        if (x.Accuracy() != y.Accuracy())
            return x.Accuracy() < y.Accuracy();
        return x.nSent > y.nSent;
    });
    return chars;
}

std::vector<int> CRunRecord::WeakWeights(const std::vector<unsigned char>& chars) const
{
    std::vector<int> weights;
    for (unsigned char c : chars) {
        auto it = m_chars.find(c);
        if (it == m_chars.end() || it->second.nSent == 0) {
            weights.push_back(10);
            continue;
        }
        const double errorRate = 1.0 - double(it->second.nRight) / it->second.nSent;
        weights.push_back(10 + int(90.0 * errorRate + 0.5));
    }
    return weights;
}

static std::string Utf8(const std::string& cp932) { return Cp932ToQString(cp932).toStdString(); }

static std::string CsvField(const std::string& s)
{
    if (s.find_first_of(",\"\n\r") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string CRunRecord::ToCsv() const
{
    std::string csv = "test,mode,wpm,position_percent,aligned_percent,right,wrong,missing,extra,exam_score,"
                      "sent_wpm,chars_per_minute\n";
    char line[256];
    for (size_t i = 0; i < m_tests.size(); ++i) {
        const TestRecord& t = m_tests[i];
        std::snprintf(line, sizeof line, "%zu,%d,%d,%d,%.1f,%d,%d,%d,%d,%d,%.1f,%.1f\n", i + 1, t.nMode, t.nWpm,
                      t.nPositionPercent, t.align.Accuracy(), t.align.nRight, t.align.nWrong, t.align.nMissing,
                      t.align.nExtra, ExamScore(t.align), t.speed.dWpm, t.speed.dCharsPerMinute);
        csv += line;
    }
    csv += "\ncharacter,sent,right,accuracy_percent,confusions\n";
    for (unsigned char c : WorstFirst()) {
        const CharStats& st = m_chars.at(c);
        std::string conf;
        for (const auto& [typed, count] : st.TopConfusions()) {
            if (!conf.empty())
                conf += ' ';
            conf += Utf8(std::string(1, char(c))) + "->" + (typed.empty() ? std::string("(missing)") : Utf8(typed))
                + " x" + std::to_string(count);
        }
        std::snprintf(line, sizeof line, ",%d,%d,%.1f,", st.nSent, st.nRight, st.Accuracy());
        csv += CsvField(Utf8(std::string(1, char(c)))) + line + CsvField(conf) + "\n";
    }
    return csv;
}
