// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/Exam.h"
#include "engine/MorseEngine.h"
#include "engine/Keying.h"
#include "engine/MorseTable.h"
#include "text/Cp932.h"

#include <QString>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numeric>
#include <random>

// Speeds and lengths of the receiving parts as the licensing rules give
// them; the sources are named in the README.
static const std::vector<ExamLicence> kLicences = {
    // name                          key        parts: part, 字/分, minutes                                             pass  sourced
    {"第一級総合無線通信士",         "1sou",    {{ExamPart::Wabun, 75, 5}, {ExamPart::LatinCode, 80, 5}, {ExamPart::LatinPlain, 100, 5}}, 210, true},
    {"第二級総合無線通信士",         "2sou",    {{ExamPart::Wabun, 75, 5}, {ExamPart::LatinCode, 80, 5}, {ExamPart::LatinPlain, 100, 5}}, 210, true},
    {"第三級総合無線通信士",         "3sou",    {{ExamPart::Wabun, 70, 3}, {ExamPart::LatinCode, 80, 3}, {ExamPart::LatinPlain, 100, 3}}, 210, false},
    {"国内電信級陸上特殊無線技士",   "kokunai", {{ExamPart::Wabun, 75, 3}},                                                                 70,  false},
    {"練習 (速さと長さを選ぶ)",      "practice", {{ExamPart::Wabun, 75, 3}, {ExamPart::LatinCode, 80, 3}, {ExamPart::LatinPlain, 100, 3}}, -1, false},
};

const std::vector<ExamLicence>& ExamLicences() { return kLicences; }

const ExamLicence* FindExamLicence(const std::string& key)
{
    for (const ExamLicence& l : kLicences)
        if (key == l.pszKey)
            return &l;
    return nullptr;
}

const char* ExamPartName(ExamPart part)
{
    switch (part) {
    case ExamPart::Wabun: return "和文";
    case ExamPart::LatinCode: return "欧文暗語";
    case ExamPart::LatinPlain: return "欧文普通語";
    }
    return "";
}

const char* ExamPartKey(ExamPart part)
{
    switch (part) {
    case ExamPart::Wabun: return "wabun";
    case ExamPart::LatinCode: return "code";
    case ExamPart::LatinPlain: return "plain";
    }
    return "";
}

bool IsWabunPart(ExamPart part) { return part == ExamPart::Wabun; }

int ExamMode(ExamPart part) { return kExamWabun + int(part); }

static bool IsGap(unsigned char c) { return c == ' ' || c == '\n' || c == '\r'; }

// The characters as they are written: small kana are keyed with their
// full-size sign, so either is right; a short figure is its figure; a
// telegram's mark is not written.
static std::string AsWritten(const std::string& text)
{
    static const unsigned char kFull[] = {0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xD4, 0xD5, 0xD6, 0xC2}; // ｧ..ｯ
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsCp932LeadByte(c))
            ++i; // a double-byte character's second byte is no kana
        else if (c >= 0xA7 && c <= 0xAF)
            out[i] = static_cast<char>(kFull[c - 0xA7]);
        else if (IsShortFigure(c))
            out[i] = static_cast<char>('0' + (c - kShortFigure0));
        else if (c == kTelegramBreak)
            out[i] = ' ';
    }
    return out;
}

int ExamCharCount(const std::string& text)
{
    return int(std::count_if(text.begin(), text.end(), [](char c) {
        const auto ch = static_cast<unsigned char>(c);
        return IsShortFigure(ch) || *MorsePattern(ch) != '\0';
    }));
}

long long ExamDotUnits(const std::string& text)
{
    // The marks are keyed at the part's speed; their pauses are not.
    const long long marks = std::count(text.begin(), text.end(), char(kTelegramBreak));
    return ExamKeyedSamples(text, 1) - marks * kTelegramPauseSamples;
}

long long ExamKeyedSamples(const std::string& text, int nDot)
{
    const std::vector<int> spans = PhraseSpans(text, nDot, true);
    return std::accumulate(spans.begin(), spans.end(), 0LL);
}

int ExamDotSamples(const std::string& text, int nCharsPerMin)
{
    const long long units = ExamDotUnits(text);
    if (units == 0 || nCharsPerMin <= 0)
        return 8;
    // chars / (units x dot) a sample, 8000 x 60 samples a minute.
    return std::max(1, int(std::lround(480000.0 * ExamCharCount(text) / (double(nCharsPerMin) * double(units)))));
}

extern const char* const kExamWabunText;
extern const char* const kExamPlainText;

static std::vector<std::string> SplitLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : bytes) {
        if (c == '\n') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> ExamLines(ExamPart part)
{
    switch (part) {
    case ExamPart::Wabun: return SplitLines(QStringToCp932(QString::fromUtf8(kExamWabunText)));
    case ExamPart::LatinPlain: return SplitLines(kExamPlainText);
    case ExamPart::LatinCode: break;
    }
    return {};
}

std::vector<std::string> KeyableLines(const std::string& fileBytes, ExamPart part)
{
    std::vector<std::string> out;
    for (const std::string& line : SplitLines(fileBytes)) {
        std::string kept;
        for (unsigned char c : line) {
            const bool bKana = c >= 0xA6 && c <= 0xDF;
            const bool bDigit = c >= '0' && c <= '9';
            const bool bLetter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            const bool bSign = c == '/' || c == '?' || c == '(' || c == ')';
            if (c == ' ' || c == '\t') {
                if (!kept.empty() && kept.back() != ' ')
                    kept += ' ';
            } else if (IsWabunPart(part) ? (bKana || bDigit) && *MorsePattern(c) : bLetter || bDigit || bSign) {
                kept += char(bLetter ? std::toupper(c) : c);
            }
        }
        while (!kept.empty() && kept.back() == ' ')
            kept.pop_back();
        if (ExamCharCount(kept) > 0)
            out.push_back(kept);
    }
    return out;
}

// The words of line after text while they fit in nChars characters (a
// word longer than all of nChars is cut); false once one did not fit.
static bool AppendWords(const std::string& line, int nChars, std::string& text, int& count)
{
    for (size_t at = 0; at < line.size();) {
        const size_t end = std::min(line.find(' ', at), line.size());
        const std::string word = line.substr(at, end - at);
        const int signs = ExamCharCount(word);
        if (count + signs > nChars && count > 0)
            return false;
        if (!word.empty()) {
            text += (text.empty() ? "" : " ") + word.substr(0, size_t(std::min(signs, nChars - count)));
            count += std::min(signs, nChars - count);
        }
        at = end + 1;
    }
    return true;
}

std::string ExamText(ExamPart part, int nChars, uint32_t nSeed, const std::vector<std::string>& lines)
{
    std::mt19937 random(nSeed);
    std::string text;
    int count = 0;
    if (part == ExamPart::LatinCode || lines.empty()) {
        const std::vector<unsigned char>& set = WholeSet(IsWabunPart(part));
        while (count < nChars) {
            if (!text.empty())
                text += ' ';
            for (int i = 0; i < 5 && count < nChars; ++i, ++count)
                text += char(set[random() % set.size()]);
        }
        return text;
    }
    std::vector<size_t> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    size_t next = order.size();
    while (count < nChars) {
        if (next == order.size()) {
            std::shuffle(order.begin(), order.end(), random);
            next = 0;
        }
        const std::string& line = lines[order[next++]];
        if (part == ExamPart::LatinPlain) {
            if (!AppendWords(line, nChars, text, count))
                break;
            continue;
        }
        if (!text.empty())
            text += ' ';
        for (char c : line) {
            if (count == nChars)
                break;
            text += c;
            count += *MorsePattern(static_cast<unsigned char>(c)) ? 1 : 0;
        }
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

// Offices of origin, addressees and senders of our telegrams.
static const char* const kOffices[] = {
    "ﾄｳｷﾖｳ", "ｵｵｻｶ", "ﾅｺﾞﾔ", "ｻﾂﾎﾟﾛ", "ｾﾝﾀﾞｲ", "ﾋﾛｼﾏ", "ﾌｸｵｶ", "ｶﾅｻﾞﾜ", "ﾅｶﾞﾉ", "ﾏﾂﾔﾏ", "ｸﾏﾓﾄ", "ﾅﾊ",
    "ﾆｲｶﾞﾀ", "ｼｽﾞｵｶ", "ｺｳﾁ", "ｱｵﾓﾘ", "ｱｷﾀ", "ﾓﾘｵｶ", "ｺｳﾍﾞ", "ｷﾖｳﾄ", "ﾖｺﾊﾏ", "ﾁﾊﾞ", "ﾐﾄ", "ｷﾞﾌ",
    "ﾄﾔﾏ", "ﾌｸｲ", "ﾏﾂｴ", "ｵｶﾔﾏ", "ﾀｶﾏﾂ", "ﾄｸｼﾏ", "ｻｶﾞ", "ﾅｶﾞｻｷ", "ｵｵｲﾀ", "ﾐﾔｻﾞｷ", "ｶｺﾞｼﾏ", "ｸｼﾛ",
};
static const char* const kFamilies[] = {
    "ｻﾄｳ", "ｽｽﾞｷ", "ﾀｶﾊｼ", "ﾀﾅｶ", "ﾜﾀﾅﾍﾞ", "ｲﾄｳ", "ﾔﾏﾓﾄ", "ﾅｶﾑﾗ", "ｺﾊﾞﾔｼ", "ｶﾄｳ",
    "ﾖｼﾀﾞ", "ﾔﾏﾀﾞ", "ｻｻｷ", "ﾔﾏｸﾞﾁ", "ﾏﾂﾓﾄ", "ｲﾉｳｴ", "ｷﾑﾗ", "ﾊﾔｼ", "ｼﾐｽﾞ", "ﾓﾘ",
};
static const char* const kGivens[] = {
    "ﾀﾛｳ", "ﾊﾅｺ", "ｲﾁﾛｳ", "ｹｲｺ", "ﾋﾛｼ", "ﾖｳｺ", "ﾏｺﾄ", "ﾕｷ", "ｱｷﾗ", "ｶｽﾞｺ", "ｼﾞﾛｳ", "ﾐﾁｺ",
};

template <size_t N> static std::string Pick(const char* const (&list)[N], std::mt19937& random)
{
    return QStringToCp932(QString::fromUtf8(list[random() % N]));
}

static std::string ShortFigures(int n, int nDigits)
{
    std::string out;
    for (const char c : QString::number(n).rightJustified(nDigits, QLatin1Char('0')).toStdString())
        out += char(kShortFigure0 + (c - '0'));
    return out;
}

std::string WabunTelegrams(int nChars, uint32_t nSeed, const std::vector<std::string>& lines)
{
    if (lines.empty())
        return ExamText(ExamPart::Wabun, nChars, nSeed, lines);
    std::mt19937 random(nSeed);
    std::vector<size_t> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    size_t next = order.size();
    const std::string comma = "\xA4", start = "\xA5"; // ､ and ･
    std::string text;
    int count = 0;
    for (;;) {
        // The preamble but its count, which comes from the body.
        const bool bNumbered = random() % 5 == 0;
        const std::string origin = bNumbered ? QStringToCp932(QStringLiteral("ﾊﾂ")) + std::to_string(100 + random() % 900)
                                             : Pick(kOffices, random);
        const std::string number = (bNumbered ? QStringToCp932(QStringLiteral("ﾀﾅ")) : std::string())
                                   + std::to_string(1 + random() % 999);
        const std::string handed = ShortFigures(int(random() % 24), 1) + comma + ShortFigures(int(random() % 60), 2);
        const std::string addressee = Pick(kOffices, random) + "\xBC " + Pick(kFamilies, random) + " " + Pick(kGivens, random);
        const std::string after = " " + origin + " " + number + " " + handed + " " + comma + " " + addressee + " " + start + " ";
        const std::string head = QStringToCp932(QStringLiteral("ﾇﾅ ﾇﾅ ")) + comma + " ";
        // Whole lines (each ends with its sender) up to a body of 40..100
        // characters; the last telegram fills what is left of the part,
        // its last line cut at a word's end.
        const int room = nChars - count - ExamCharCount(head + after) - 3;
        if (room < 10)
            break;
        int target = std::min(room, 40 + int(random() % 61));
        const bool bLast = room - target < 50; // no room for another after it
        if (bLast)
            target = room;
        std::string body;
        int bodyChars = 0;
        for (bool bFull = false; !bFull && bodyChars < target;) {
            if (next == order.size()) {
                std::shuffle(order.begin(), order.end(), random);
                next = 0;
            }
            const std::string& line = lines[order[next]];
            if (bodyChars + ExamCharCount(line) > target && bodyChars > 0 && !bLast)
                break;
            ++next;
            bFull = !AppendWords(line, target, body, bodyChars);
        }
        if (bodyChars == 0)
            break; // not a word fits
        // The mark after every 60th character that is not the body's last.
        std::string marked;
        int signs = 0;
        for (char c : body) {
            marked += c;
            if (ExamCharCount(std::string(1, c)) && ++signs % 60 == 0 && signs < bodyChars)
                marked += char(kTelegramBreak);
        }
        const std::string telegram = head + std::to_string(bodyChars) + after + marked;
        text += (text.empty() ? "" : "\n") + telegram;
        count += ExamCharCount(telegram);
    }
    return text;
}

ExamGrade GradeExamPart(const std::string& sentAsIs, const std::string& typedAsIs)
{
    const std::string sent = AsWritten(sentAsIs), typed = AsWritten(typedAsIs);
    // Characters only: where the words break is not graded.
    std::string s, t;
    std::vector<size_t> at; // index in sent of each kept byte
    for (size_t i = 0; i < sent.size(); ++i)
        if (!IsGap(static_cast<unsigned char>(sent[i]))) {
            s += sent[i];
            at.push_back(i);
        }
    for (char c : typed)
        if (!IsGap(static_cast<unsigned char>(c)))
            t += c;
    ExamGrade g;
    g.align = AlignCopy(s, t);
    const Alignment& a = g.align;
    g.nWrong = a.nWrong + a.nExtra;
    g.nMissing = a.nMissing;
    g.nScore = ExamScore(a);
    g.marks.assign(sent.size(), 0);
    for (const AlignStep& step : a.steps) {
        if (step.nSent < 0)
            continue;
        if (step.eKind == AlignStep::Wrong)
            g.marks[at[size_t(step.nSent)]] = 1;
        else if (step.eKind == AlignStep::Missing)
            g.marks[at[size_t(step.nSent)]] = 2;
    }
    g.strSentChars = std::move(s);
    g.strTypedChars = std::move(t);
    return g;
}

std::string SheetText(const std::string& typed)
{
    std::string squares;
    for (char c : AsWritten(typed))
        if (c != '\r' && c != '\n')
            squares += c;
    return squares;
}

std::vector<SheetSquare> SheetSquares(const ExamGrade& grade, const std::string& typed)
{
    const std::string squares = SheetText(typed);
    // Whether each typed character (blanks left out, as graded) is right.
    std::vector<bool> right(grade.strTypedChars.size(), false);
    for (const AlignStep& step : grade.align.steps)
        if (step.eKind == AlignStep::Right)
            right[size_t(step.nTyped)] = true;
    const std::string& sent = grade.strSentChars;
    std::vector<SheetSquare> out(std::max(sent.size(), squares.size()));
    size_t typedAt = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        SheetSquare& q = out[i];
        q.chSent = i < sent.size() ? sent[i] : 0;
        q.chTyped = i < squares.size() ? squares[i] : 0;
        if (q.chTyped == 0 || q.chTyped == ' ')
            q.eMark = SheetMark::Blank;
        else if (q.chTyped == q.chSent)
            q.eMark = SheetMark::Right;
        else
            q.eMark = typedAt < right.size() && right[typedAt] ? SheetMark::Shifted : SheetMark::Wrong;
        if (q.chTyped != 0 && q.chTyped != ' ')
            ++typedAt;
    }
    return out;
}

bool ExamLicencePassed(const ExamLicence& licence, const std::vector<int>& scores)
{
    if (licence.nPassTotal < 0 || scores.size() != licence.parts.size())
        return false;
    return std::accumulate(scores.begin(), scores.end(), 0) >= licence.nPassTotal;
}
