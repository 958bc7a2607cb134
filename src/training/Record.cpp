#include "training/Record.h"
#include "engine/MorseTable.h"

#include <QStringDecoder>

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

static unsigned char Canonical(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : c; }

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

static std::string Utf8(const std::string& cp932)
{
    QStringDecoder decode("windows-31j");
    return QString(decode(QByteArrayView(cp932.data(), qsizetype(cp932.size())))).toStdString();
}

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
