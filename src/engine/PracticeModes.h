// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every practice mode as one row: the form's six radio modes in their
// order, then the modes kept in the history without a radio of their own
// (the exams' parts, the call signs). A new mode is a new row here and
// what it draws.
#include <span>
#include <string_view>

// Indexes of the rows; the first six are the form's radio group.
enum PracticeMode {
    kLatinRandom1 = 0,
    kLatinRandom5 = 1,
    kLatinPhrase = 2,
    kWabunRandom1 = 3,
    kWabunRandom5 = 4,
    kWabunPhrase = 5,
    kExamWabun = 6,
    kExamLatinCode = 7,
    kExamLatinPlain = 8,
    kLatinCallSigns = 9, // one call sign at a time, at an adaptive speed
    kLatinWords = 10,    // one word or abbreviation at a time, the same way
    kLatinChars = 11,    // one character at a time, answered and timed
    kWabunChars = 12,
};

enum class TextSource {
    Random, // drawn from the mode's set, kRandomTestLength characters
    Phrase, // a text: the phrase file, or one given to the engine
};

struct PracticeModeDef {
    PracticeMode eMode;
    const char* pszKey;  // the history's stable name; never changes
    const char* pszName; // shown to the learner (UTF-8)
    bool bWabun;         // kana, opened by the start signal
    TextSource eSource;
    int nGroupSize;      // characters between word gaps when drawn: 1 or 5
    bool bOnForm;        // one of the form's radio group, in this order
};

// Every mode, in the order of the indexes above.
inline constexpr PracticeModeDef kPracticeModes[] = {
    // mode           key               name                 wabun  source              group form
    {kLatinRandom1,   "latin-random1",  "欧文ﾗﾝﾀﾞﾑ1",         false, TextSource::Random, 1,    true},
    {kLatinRandom5,   "latin-random5",  "欧文ﾗﾝﾀﾞﾑ5",         false, TextSource::Random, 5,    true},
    {kLatinPhrase,    "latin-phrase",   "欧文定型文",         false, TextSource::Phrase, 1,    true},
    {kWabunRandom1,   "wabun-random1",  "和文ﾗﾝﾀﾞﾑ1",         true,  TextSource::Random, 1,    true},
    {kWabunRandom5,   "wabun-random5",  "和文ﾗﾝﾀﾞﾑ5",         true,  TextSource::Random, 5,    true},
    {kWabunPhrase,    "wabun-phrase",   "和文定型文",         true,  TextSource::Phrase, 1,    true},
    {kExamWabun,      "exam-wabun",     "試験 和文",          true,  TextSource::Phrase, 1,    false},
    {kExamLatinCode,  "exam-code",      "試験 欧文暗語",      false, TextSource::Phrase, 1,    false},
    {kExamLatinPlain, "exam-plain",     "試験 欧文普通語",    false, TextSource::Phrase, 1,    false},
    {kLatinCallSigns, "latin-calls",    "ｺｰﾙｻｲﾝ",             false, TextSource::Phrase, 1,    false},
    {kLatinWords,     "latin-words",    "欧文単語",           false, TextSource::Phrase, 1,    false},
    {kLatinChars,     "latin-chars",    "欧文一文字ずつ",     false, TextSource::Phrase, 1,    false},
    {kWabunChars,     "wabun-chars",    "和文一文字ずつ",     true,  TextSource::Phrase, 1,    false},
};

// All rows, in the order of their indexes.
std::span<const PracticeModeDef> PracticeModes();
// A row by index or by key; null where none has it.
const PracticeModeDef* FindPracticeMode(int nMode);
const PracticeModeDef* FindPracticeMode(std::string_view key);

// Shorthands over the table; an unknown mode is Latin, random, single.
bool IsWabunMode(int nMode);
bool IsPhraseMode(int nMode);
int GroupSize(int nMode);
