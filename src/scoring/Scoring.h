// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a copy is scored, widget-free: position by position as the form's
// verdict does, and aligned (a dropped character costs one, not every
// later one) as the record and the exam do.
#include <string>
#include <vector>

// The typed text as it is scored and shown: each CR LF becomes one LF.
std::string FoldTypedLineBreaks(const std::string& strTyped);
// Letters A-Z compare without case; every other byte exactly.
bool SameCharacter(unsigned char a, unsigned char b);
// The form a character is counted under: letters as capitals.
unsigned char Canonical(unsigned char c);

// One step of an alignment: sent byte s against typed byte t.
struct AlignStep {
    enum Kind { Right, Wrong, Missing, Extra } eKind;
    int nSent;  // index into the sent text, -1 for Extra
    int nTyped; // index into the typed text, -1 for Missing
};

struct Alignment {
    int nRight = 0;
    int nWrong = 0;
    int nMissing = 0;
    int nExtra = 0;
    int nSent = 0;
    std::vector<AlignStep> steps;
    // right / sent, in percent (0 when nothing was sent).
    double Accuracy() const { return nSent > 0 ? 100.0 * nRight / nSent : 0.0; }
};

// The alignment of typed against sent bytes with the fewest wrong,
// missing and extra characters (letters compare without case, a typed
// CR LF is one line feed), exact at any length in memory linear in it.
// Among those it is the best for the learner: most right, then the
// highest exam score.
Alignment AlignCopy(const std::string& strSent, const std::string& strTyped);

// 100 - 3 x (wrong + extra) - 1 x missing, never below 0.
int ExamScore(const Alignment& a);

// The comparison of a sent and a typed code page 932 byte string,
// position by position. Letters A-Z compare without case, every other
// byte exactly; a typed CR LF is one line-feed position, as the phrase
// file's line break is.
struct CopyScore {
    long long nSent = 0;
    long long nTyped = 0;
    long long nCorrect = 0;
    int nPercent = 0;
    std::vector<bool> abMatch; // one per compared position
};

CopyScore ScoreCopy(const std::string& strSent, const std::string& strTyped);

// The verdict for a percentage 0..100, formatted (UTF-8).
std::string FormatVerdict(int nPercent);

// Lengths of the display units of a compared prefix: a double-byte
// character is shown as one unit of two bytes.
std::vector<int> DisplayUnits(const std::string& strTyped, int nCompared);
