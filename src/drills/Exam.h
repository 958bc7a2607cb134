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

// Characters as the exams count them: every keyed sign, ﾞ and ﾟ too;
// spaces and line breaks are gaps, not characters.
int ExamCharCount(const std::string& text);
// Length of a text in dots as a phrase test keys it (PhraseDotUnits).
long long ExamDotUnits(const std::string& text);
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
// One score per part of the licence, in its order.
bool ExamLicencePassed(const ExamLicence& licence, const std::vector<int>& scores);
