// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Readiness for a licence's exam: from the last mock parts in the history,
// each part's level and trend, and the chance that the next sitting passes.
#include "drills/Exam.h"
#include "history/History.h"

#include <QString>

#include <vector>

// How many of a part's last whole scores count.
constexpr int kReadinessScores = 5;

struct PartReadiness {
    int nScores = 0;     // counted (at most kReadinessScores)
    double dLevel = 0;   // the score expected next time: their mean and trend
    double dSlope = 0;   // points a sitting, from their line
    double dSpread = 0;  // a next score's standard deviation
};

struct ExamReadiness {
    std::vector<PartReadiness> parts; // in the licence's order
    double dPassChance = -1;          // 0..1; -1 while a part has no score
};

// Each part's whole graded scores at the licence's speed and length,
// oldest first, from tests oldest first.
std::vector<std::vector<int>> LicenceScores(const ExamLicence& licence, const std::vector<HistoryTest>& tests);
ExamReadiness EstimateReadiness(const ExamLicence& licence, const std::vector<std::vector<int>>& scores);
// As the windows show it; empty for practice or without any score.
QString ReadinessText(const ExamLicence& licence, const ExamReadiness& readiness);
// The exams' graded parts in a history, oldest first.
std::vector<HistoryTest> ExamTests(const CHistory& history);
// One licence's readiness from such tests, or every licence's with any.
QString ReadinessOf(const ExamLicence& licence, const std::vector<HistoryTest>& examTests);
QString AllReadiness(const std::vector<HistoryTest>& examTests);
