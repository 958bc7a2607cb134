#include "copytest/Scoring.h"

#include <algorithm>
#include <cstdio>

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
