// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the record window and its CSV files show of the history, as text
// and numbers: one place, so the window and the files agree.
#include "history/History.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

// A mode's name as the learner sees it; empty for one this build lacks.
QString ModeName(int nMode);
// A character for the tables: kana as kana, "(抜け)" for a missing one,
// "(空白)" and "(改行)" for the blanks.
QString CharText(const std::string& cp932);
// "A→B ×3  A→(抜け) ×1": the most frequent confusions first.
QString ConfusionText(unsigned char ch, const CharStats& stats);
// How the speed sent is counted, for the window's and the files' headers.
QString SpeedRule();
// "100 − 3 × (誤り + 余分) − 抜け": the exam-style score's rule.
QString ExamRule();

// The period the record window shows.
enum class RecordPeriod { ThisRun, Week, Month, All };
QDateTime PeriodStart(RecordPeriod period, const QDateTime& now);

// The mean scores of each day (local time), oldest first.
struct DayScore {
    QDate day;
    int nTests = 0;
    double dPosition = 0; // mean designed score, %
    double dAligned = 0;  // mean aligned accuracy, %
    double dMinutes = 0;  // practised: the tests' sending time
    double dWpm = 0;      // mean speed set
    int nKochLesson = 0;  // the highest lesson practised
};
// "45 分 (目標 30 分 達成)" for a day, against a goal in minutes (0: none).
QString DayPracticeText(const DayScore& day, int nGoalMin);
std::vector<DayScore> ScoresByDay(const std::vector<HistoryTest>& tests);

// The two CSV files, UTF-8 with a byte-order mark so that a spreadsheet
// reads them as such: one row a test, and one row a character.
QByteArray TestsCsv(const std::vector<HistoryTest>& tests);
QByteArray CharsCsv(const std::map<unsigned char, CharStats>& chars);

// Characters worst first: lowest accuracy, then most sent.
std::vector<unsigned char> WorstFirst(const std::map<unsigned char, CharStats>& chars);

// Each character over the last kTrendWeeks weeks (oldest first): its
// accuracy in the tests, and the median response time of its answers
// in the one-character drill. since[k]: the results from the start of
// week k on (the history's Chars), so a week is the difference of two.
constexpr int kTrendWeeks = 4;
struct CharTrend {
    unsigned char ch = 0;
    int anSent[kTrendWeeks] = {};
    int anRight[kTrendWeeks] = {};
    int anMedianMs[kTrendWeeks] = {-1, -1, -1, -1};
};
std::vector<CharTrend> CharTrends(const std::map<unsigned char, CharStats> (&since)[kTrendWeeks],
                                  const std::vector<HistoryAnswer>& answers, const QDateTime& firstWeek);
// A week's cell: "95% 420ms", "-" when nothing was practised.
QString TrendText(const CharTrend& trend, int nWeek);
