// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Results of tests: the speed actually sent, and what each character was
// taken for, for a test and over the program run's tests. Pure logic.
#include "scoring/Scoring.h"

#include <map>
#include <string>
#include <vector>

// The speed a test was sent at, over the characters heard: characters a
// minute, and words a minute of five characters.
struct SentSpeed {
    double dWpm = 0;
    double dCharsPerMinute = 0;
};
// nChars sent in dSeconds.
SentSpeed SpeedOf(int nChars, double dSeconds);

// One test of the run.
struct TestResult {
    int nMode = 0;
    int nWpm = 0;
    int nPositionPercent = 0; // the designed score
    Alignment align;
    SentSpeed speed;
};

// Per character over the run: sent, right, and what else was typed.
struct CharStats {
    int nSent = 0;
    int nRight = 0;
    std::map<std::string, int> confusions; // typed (bytes) -> count; "" missing
    double Accuracy() const { return nSent ? 100.0 * nRight / nSent : 0.0; }
    // The three most frequent, most first (ties by the typed text).
    std::vector<std::pair<std::string, int>> TopConfusions(size_t n = 3) const;
    void Merge(const CharStats& other);
};

// Each sent character of one test: how often sent, right, and taken for what.
std::map<unsigned char, CharStats> CharStatsOf(const Alignment& align, const std::string& strSent,
                                               const std::string& strTyped);

// Draw weights for chars: rising with each one's error rate in stats,
// never zero; 10 for a character not yet sent.
std::vector<int> WeakWeights(const std::map<unsigned char, CharStats>& stats, const std::vector<unsigned char>& chars);

// The tests of this program run and their per-character results.
class CRunStats {
public:
    void Add(const TestResult& test, const std::string& strSent, const std::string& strTyped);
    const std::vector<TestResult>& Tests() const { return m_tests; }
    const std::map<unsigned char, CharStats>& Chars() const { return m_chars; }
    std::vector<int> WeakWeights(const std::vector<unsigned char>& chars) const
    {
        return ::WeakWeights(m_chars, chars);
    }

private:
    std::vector<TestResult> m_tests;
    std::map<unsigned char, CharStats> m_chars;
};
