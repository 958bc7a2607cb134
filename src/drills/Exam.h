// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Japanese telegraphy exams (電気通信術): the licences with their
// receiving parts, texts timed at the exams' speeds, and grading as the
// exams grade. Widget-free.
#include "scoring/Scoring.h"

#include <cstdint>
#include <string>
#include <vector>

enum class ExamPart { Wabun, LatinCode, LatinPlain };

struct ExamPartDef {
    ExamPart ePart;
    int nCharsPerMin;
    int nMinutes;
};

struct ExamLicence {
    const char* pszName; // UTF-8
    const char* pszKey;  // kept in the history
    std::vector<ExamPartDef> parts;
    int nPassTotal;      // the parts' scores together pass from this on
    bool bRuleSourced;   // false: the pass rule is Dravik's own
};

// The licences, then practice (any part, speed and length) last.
const std::vector<ExamLicence>& ExamLicences();
const ExamLicence* FindExamLicence(const std::string& key);
const char* ExamPartName(ExamPart part); // 和文, 欧文暗語, 欧文普通語 (UTF-8)
const char* ExamPartKey(ExamPart part);  // wabun, code, plain
bool IsWabunPart(ExamPart part);
// The practice mode a part is played and kept under.
int ExamMode(ExamPart part);

// Characters as the exams count them: every keyed sign, ﾞ and ﾟ and the
// short figures too; spaces, line breaks and a telegram's mark are gaps.
int ExamCharCount(const std::string& text);
// Length of a text in dots as a phrase test keys it (PhraseDotUnits),
// without the pauses after the telegrams' marks.
long long ExamDotUnits(const std::string& text);
// How many samples the text sounds at nDot, the marks and pauses too.
long long ExamKeyedSamples(const std::string& text, int nDot);
// The dot, in keyed samples (8000 a second), that sends text at
// nCharsPerMin of its own characters.
int ExamDotSamples(const std::string& text, int nCharsPerMin);

// The shipped texts of a part, one line each, code page 932 (none for
// code groups, which are drawn).
std::vector<std::string> ExamLines(ExamPart part);
// A user's text file (code page 932): its lines cut to what the part can
// send (kana, voiced marks and digits for Wabun; letters, digits and / ? ( )
// otherwise, letters as capitals), empty lines left out.
std::vector<std::string> KeyableLines(const std::string& fileBytes, ExamPart part);
// A part's text of nChars characters, drawn from seed: lines in a shuffled
// order (again from the start when all are used), or five-letter groups.
// Plain language ends at the end of a word: as many whole words as fit,
// so a few characters fewer (a word longer than all of nChars is cut).
std::string ExamText(ExamPart part, int nChars, uint32_t nSeed, const std::vector<std::string>& lines);

// 和文 as the exams send it, as telegrams (郵政省告示第721号, 一 2 (一)):
// ﾇﾅ ﾇﾅ (.... .-. twice), ､, the count of the body's characters, the
// office of origin, its number, the time handed in (hours ､ minutes, in
// short figures), ､, the addressee, ･ (-..---) and the body, the sender's
// name at its end; a body past 60 characters has the mark (..--.. and
// about 5 s of silence) after every 60th. As many telegrams as fill about
// nChars, one a line, the bodies from lines.
std::string WabunTelegrams(int nChars, uint32_t nSeed, const std::vector<std::string>& lines);

// One part graded as the exams grade it: 100 - 3 x 誤字 (wrong or extra)
// - 1 x 脱字 (missing), never below 0, from the exact alignment of the
// characters (spaces and line breaks are not graded).
struct ExamGrade {
    int nWrong = 0;   // 誤字
    int nMissing = 0; // 脱字
    int nScore = 0;
    Alignment align;  // of the characters alone
    std::string strSentChars, strTypedChars;
    // Per byte of the sent text: 0 right or a gap, 1 wrong, 2 missing.
    std::vector<unsigned char> marks;
};
ExamGrade GradeExamPart(const std::string& sent, const std::string& typed);
// The answer sheet: one character a square, as typed (line breaks are no
// squares; a space is a square left blank for a character not copied).
// Graded, each square holds the sent character of its place and is right,
// wrong, blank, or shifted (マスずれ): its character is right, but a
// dropped or added one before it put it in another square.
enum class SheetMark { Right, Wrong, Blank, Shifted };
struct SheetSquare {
    char chSent = 0, chTyped = 0; // 0: none; ' ' typed: left blank
    SheetMark eMark = SheetMark::Blank;
};
std::vector<SheetSquare> SheetSquares(const ExamGrade& grade, const std::string& typed);
// The squares of a typed answer before grading, one byte each.
std::string SheetText(const std::string& typed);

// One score per part of the licence, in its order.
bool ExamLicencePassed(const ExamLicence& licence, const std::vector<int>& scores);
