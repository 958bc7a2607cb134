// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/VoiceText.h"
#include "engine/MorseTable.h"
#include "engine/PracticeModes.h"
#include "text/Cp932.h"

#include <algorithm>
#include <cctype>
#include <span>
#include <string_view>

namespace {

struct SaidAs {
    unsigned char ch;
    const char* pszSaid; // UTF-8
};

// clang-format off
// The ICAO spelling alphabet (ICAO Annex 10, vol. II), as written.
constexpr const char* kIcao[26] = {
    "Alfa", "Bravo", "Charlie", "Delta", "Echo", "Foxtrot", "Golf", "Hotel", "India", "Juliett", "Kilo", "Lima", "Mike",
    "November", "Oscar", "Papa", "Quebec", "Romeo", "Sierra", "Tango", "Uniform", "Victor", "Whiskey", "X-ray",
    "Yankee", "Zulu",
};

// Punctuation of the air by its English name.
constexpr SaidAs kLatinSigns[] = {
    {'.', "full stop"}, {',', "comma"}, {'?', "question mark"}, {'/', "slash"}, {'=', "equals"},
    {'+', "plus"}, {'-', "hyphen"}, {'(', "open bracket"}, {')', "close bracket"}, {':', "colon"},
    {'\'', "apostrophe"}, {'"', "quote"}, {'@', "at"},
};

// 和文's signs by their Japanese names, in half-width kana.
constexpr SaidAs kWabunSigns[] = {
    {0xB0, "ﾁｮｳｵﾝ"},   {0xA4, "ｸｷﾞﾘﾃﾝ"}, {0xA3, "ﾀﾞﾝﾗｸ"}, {0xDE, "ﾀﾞｸﾃﾝ"}, {0xDF, "ﾊﾝﾀﾞｸﾃﾝ"},
    {'(', "ｶｯｺ"},      {')', "ｶｯｺﾄｼﾞ"},  {0xA5, "ﾎﾚ"},     {kProsignRaTa, "ﾗﾀ"},
};
// clang-format on

const char* Find(std::span<const SaidAs> table, unsigned char ch)
{
    for (const SaidAs& s : table)
        if (s.ch == ch)
            return s.pszSaid;
    return nullptr;
}

bool IsMark(unsigned char ch) { return ch == 0xDE || ch == 0xDF; }
bool IsKana(unsigned char ch) { return ch >= 0xA6 && ch <= 0xDD && ch != 0xB0; }
bool IsSpace(unsigned char ch) { return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t'; }

std::string Escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out += c;
    }
    return out;
}

class CSayer {
public:
    CSayer(int nMode, bool bFullSet, const VoiceOptions& o) : m_bWabun(IsWabunMode(nMode)), m_bFullSet(bFullSet), m_o(o)
    {
        // A drawn group and a call sign are spelled; a text is read.
        m_bSpell = !IsPhraseMode(nMode) || nMode == kLatinCallSigns || nMode == kLatinChars;
    }
    bool Sounds(unsigned char ch) const { return *KeyedPattern(ch, m_bFullSet, m_bWabun) != '\0'; }
    VoiceLine Say(const std::string& unit, bool bSpell) const { return m_bWabun ? Kana(unit) : Latin(unit, bSpell); }
    bool Spelled() const { return m_bSpell; }
    bool Wabun() const { return m_bWabun; }

private:
    VoiceLine Kana(const std::string& unit) const
    {
        std::string said;
        for (size_t i = 0; i < unit.size(); ++i) {
            const unsigned char ch = static_cast<unsigned char>(unit[i]);
            const bool bAlone = unit.size() == 1;
            if (const char* name = Find(kWabunSigns, ch); name && (bAlone || !(IsMark(ch) || ch == 0xB0))) {
                // A sign on its own by its name; in a word only the marks
                // and the long vowel belong to the kana.
                if (!bAlone && (ch == 0xA4 || ch == 0xA3 || ch == '(' || ch == ')'))
                    said += ' ';
                else
                    said += name;
            } else if (IsKana(ch) || IsMark(ch) || ch == 0xB0 || std::isalnum(ch)) {
                said += Cp932ToQString(std::string(1, char(ch))).toStdString();
            } else {
                said += ' ';
            }
        }
        return {said, true, false};
    }
    VoiceLine Latin(const std::string& unit, bool bSpell) const
    {
        std::string ssml = "<speak>";
        std::string run; // letters and figures spelled in one go, a little slower than speech
        auto flush = [&] {
            if (!run.empty())
                ssml += "<prosody rate=\"85%\"><say-as interpret-as=\"characters\">" + run + "</say-as></prosody> ";
            run.clear();
        };
        for (unsigned char ch : unit) {
            const char* prosign = ch >= kProsignAR && ch < kProsignRaTa ? ProsignName(ch) : nullptr;
            if (prosign) { // "<AR>" said as its letters
                flush();
                run = std::string(prosign + 1, prosign + 3);
                flush();
            } else if (std::isalnum(ch) && bSpell) {
                if (m_o.bIcao && std::isalpha(ch)) {
                    flush();
                    ssml += std::string(kIcao[std::toupper(ch) - 'A']) + ' ';
                } else {
                    run += char(std::toupper(ch));
                }
            } else if (std::isalnum(ch)) {
                ssml += char(ch); // a word read as a word
            } else if (const char* name = Find(kLatinSigns, ch); name && bSpell) {
                flush();
                ssml += std::string(name) + ' ';
            } else {
                flush();
                ssml += IsSpace(ch) ? std::string(" ") : Escaped(std::string(1, char(ch)));
            }
        }
        flush();
        return {ssml + "</speak>", false, true};
    }

    bool m_bWabun;
    bool m_bFullSet;
    VoiceOptions m_o;
    bool m_bSpell = true;
};

} // namespace

std::vector<SpokenLine> VoiceLinesFor(
    const std::vector<unsigned char>& plan, size_t nFirst, int nMode, bool bFullSet, const VoiceOptions& o)
{
    std::vector<SpokenLine> lines;
    if (o.eUnit == VoiceUnit::Off)
        return lines;
    const CSayer sayer(nMode, bFullSet, o);
    const bool bText = IsPhraseMode(nMode);
    const int group = std::max(1, GroupSize(nMode));
    std::string unit; // the unit's characters so far
    size_t nLast = 0; // its last sounding character
    auto close = [&](bool bSpell) {
        if (!unit.empty())
            lines.push_back({nLast, sayer.Say(unit, bSpell)});
        unit.clear();
    };
    int nInGroup = 0;
    for (size_t i = nFirst; i < plan.size(); ++i) {
        const unsigned char ch = plan[i];
        const bool bSounds = sayer.Sounds(ch);
        if (o.eUnit == VoiceUnit::Character) {
            if (!bSounds)
                continue;
            // A kana and its mark are one sound, said after the mark.
            if (sayer.Wabun() && IsKana(ch) && i + 1 < plan.size() && IsMark(plan[i + 1]))
                continue;
            std::string said(1, char(ch));
            if (sayer.Wabun() && IsMark(ch) && i > nFirst && IsKana(plan[i - 1]))
                said.insert(said.begin(), char(plan[i - 1]));
            lines.push_back({i, sayer.Say(said, true)});
            continue;
        }
        if (!bText) { // drawn: groups of the mode's size
            unit += char(ch);
            nLast = i;
            if (++nInGroup == group || (o.eUnit == VoiceUnit::Item && group == 1)) {
                close(true);
                nInGroup = 0;
            }
            continue;
        }
        const bool bBreak = o.eUnit == VoiceUnit::Group ? IsSpace(ch) : ch == '\n';
        if (bBreak) {
            close(sayer.Spelled());
            continue;
        }
        unit += char(ch);
        if (bSounds)
            nLast = i;
    }
    close(bText ? sayer.Spelled() : true);
    return lines;
}
