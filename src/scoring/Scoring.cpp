// SPDX-License-Identifier: GPL-3.0-or-later
#include "scoring/Scoring.h"
#include "text/Cp932.h"

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

// Prosigns that sound as a punctuation mark are that mark: <AR> is +,
// <BT> is =, <KN> is (.
static unsigned char SoundAlike(unsigned char c)
{
    switch (c) {
    case kProsignAR: return '+';
    case kProsignBT: return '=';
    case kProsignKN: return '(';
    default: return c;
    }
}

bool SameCharacter(unsigned char a, unsigned char b)
{
    return a == b || (IsAsciiLetter(a) && IsAsciiLetter(b) && (a | 0x20) == (b | 0x20)) || SoundAlike(a) == SoundAlike(b);
}

unsigned char Canonical(unsigned char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 0x20) : SoundAlike(c);
}

// The alignment's cost: K per wrong, missing or extra character (the edit
// distance d), less one per missing one. With K above any count of missing
// characters, the least cost is the least d and, among those, the most
// missing ones: for a given d that is the most right characters and the
// highest exam score (one missing and one extra where two would be
// wrong), the reading best for the learner.
namespace {
// Costs stay below K times (sent + typed + 1): 32 bits while that fits
// (half the memory traffic of 64), else 64.
template <class Cost> struct Aligner {
    const unsigned char* s; // sent, letters folded
    const unsigned char* t; // typed, letters folded
    const unsigned char* tr; // the same backwards, for the backward passes
    int m;                   // its length
    Cost K;
    std::vector<AlignStep>& steps;
    std::vector<Cost> fwd, bwd, row;

    Cost Mismatch(int i, int j) const { return s[i] == t[j] ? 0 : K; }

    // One row of the table: cur from prev for sent byte si against the
    // typed bytes tj[0, len). First what the diagonal and the step down
    // give (independent per cell, so the compiler vectorises it), then the
    // steps to the right in one running pass.
    void Row(const std::vector<Cost>& prev, std::vector<Cost>& cur, unsigned char si, const unsigned char* tj,
             int len) const
    {
        Cost* out = cur.data();
        const Cost* in = prev.data();
        out[0] = in[0] + K - 1;
        for (int k = 1; k <= len; ++k) {
            const Cost diag = in[k - 1] + (si == tj[k - 1] ? 0 : K);
            const Cost down = in[k] + K - 1;
            out[k] = diag < down ? diag : down;
        }
        for (int k = 1; k <= len; ++k) {
            const Cost right = out[k - 1] + K;
            out[k] = right < out[k] ? right : out[k];
        }
    }

    // Costs of aligning s[a, b) with each prefix t[c, c + k): out[k].
    void Forward(int a, int b, int c, int d, std::vector<Cost>& out)
    {
        out.resize(size_t(d - c + 1));
        row.resize(out.size());
        for (int j = 0; j <= d - c; ++j)
            out[size_t(j)] = Cost(j) * K;
        for (int i = a; i < b; ++i) {
            Row(out, row, s[i], t + c, d - c);
            out.swap(row);
        }
    }
    // Costs of aligning s[a, b) with each suffix t[d - k, d): out[k].
    void Backward(int a, int b, int c, int d, std::vector<Cost>& out)
    {
        out.resize(size_t(d - c + 1));
        row.resize(out.size());
        for (int j = 0; j <= d - c; ++j)
            out[size_t(j)] = Cost(j) * K;
        for (int i = b - 1; i >= a; --i) {
            Row(out, row, s[i], tr + (m - d), d - c);
            out.swap(row);
        }
    }

    // Small blocks: the whole table and a trace back through it.
    void Table(int a, int b, int c, int d)
    {
        const int rows = b - a, cols = d - c;
        std::vector<Cost> cost(size_t(rows + 1) * size_t(cols + 1));
        auto at = [&](int i, int j) -> Cost& { return cost[size_t(i) * size_t(cols + 1) + size_t(j)]; };
        for (int i = 0; i <= rows; ++i)
            for (int j = 0; j <= cols; ++j) {
                if (i == 0 && j == 0) {
                    at(i, j) = 0;
                    continue;
                }
                Cost best = std::numeric_limits<Cost>::max();
                if (i > 0 && j > 0)
                    best = std::min(best, at(i - 1, j - 1) + Mismatch(a + i - 1, c + j - 1));
                if (i > 0)
                    best = std::min(best, at(i - 1, j) + K - 1);
                if (j > 0)
                    best = std::min(best, at(i, j - 1) + K);
                at(i, j) = best;
            }
        std::vector<AlignStep> back;
        for (int i = rows, j = cols; i > 0 || j > 0;) {
            if (i > 0 && j > 0 && at(i, j) == at(i - 1, j - 1) + Mismatch(a + i - 1, c + j - 1)) {
                const bool right = s[a + i - 1] == t[c + j - 1];
                back.push_back({right ? AlignStep::Right : AlignStep::Wrong, a + i - 1, c + j - 1});
                --i;
                --j;
            } else if (i > 0 && at(i, j) == at(i - 1, j) + K - 1) {
                back.push_back({AlignStep::Missing, a + i - 1, -1});
                --i;
            } else {
                back.push_back({AlignStep::Extra, -1, c + j - 1});
                --j;
            }
        }
        steps.insert(steps.end(), back.rbegin(), back.rend());
    }

    // Hirschberg: split the sent text in half, find where the typed text
    // splits on an optimal path, and solve the halves; linear memory.
    void Solve(int a, int b, int c, int d)
    {
        if (Cost(b - a + 1) * Cost(d - c + 1) <= 65536 || b - a < 2) {
            Table(a, b, c, d);
            return;
        }
        const int mid = a + (b - a) / 2;
        Forward(a, mid, c, d, fwd);
        Backward(mid, b, c, d, bwd);
        int split = c;
        Cost best = std::numeric_limits<Cost>::max();
        for (int j = c; j <= d; ++j) {
            const Cost total = fwd[size_t(j - c)] + bwd[size_t(d - j)];
            if (total < best) {
                best = total;
                split = j;
            }
        }
        Solve(a, mid, c, split);
        Solve(mid, b, split, d);
    }
};
} // namespace

Alignment AlignCopy(const std::string& strSent, const std::string& strTypedRaw)
{
    const std::string typed = FoldTypedLineBreaks(strTypedRaw);
    std::string sent = strSent;
    std::string folded = typed;
    for (char& c : sent)
        c = char(Canonical(static_cast<unsigned char>(c)));
    for (char& c : folded)
        c = char(Canonical(static_cast<unsigned char>(c)));
    Alignment al;
    al.nSent = int(sent.size());
    al.steps.reserve(sent.size() + typed.size());
    const auto* s = reinterpret_cast<const unsigned char*>(sent.data());
    const auto* t = reinterpret_cast<const unsigned char*>(folded.data());
    const std::string backwards(folded.rbegin(), folded.rend());
    const auto* tr = reinterpret_cast<const unsigned char*>(backwards.data());
    const int m = int(typed.size());
    const unsigned long long K = sent.size() + 1;
    if (K * (sent.size() + typed.size() + 1) < std::numeric_limits<uint32_t>::max()) {
        Aligner<uint32_t> aligner{s, t, tr, m, uint32_t(K), al.steps, {}, {}, {}};
        aligner.Solve(0, int(sent.size()), 0, m);
    } else {
        Aligner<long long> aligner{s, t, tr, m, static_cast<long long>(K), al.steps, {}, {}, {}};
        aligner.Solve(0, int(sent.size()), 0, m);
    }
    for (const AlignStep& st : al.steps) {
        switch (st.eKind) {
        case AlignStep::Right: ++al.nRight; break;
        case AlignStep::Wrong: ++al.nWrong; break;
        case AlignStep::Missing: ++al.nMissing; break;
        case AlignStep::Extra: ++al.nExtra; break;
        }
    }
    return al;
}

int ExamScore(const Alignment& a) { return std::max(0, 100 - 3 * (a.nWrong + a.nExtra) - a.nMissing); }


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

std::vector<int> DisplayUnits(const std::string& strTyped, int nCompared)
{
    std::vector<int> units;
    for (int i = 0; i < nCompared;) {
        const auto c = static_cast<unsigned char>(strTyped[size_t(i)]);
        const bool pair = i + 1 < nCompared && IsCp932LeadByte(c);
        units.push_back(pair ? 2 : 1);
        i += pair ? 2 : 1;
    }
    return units;
}
