// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/Readiness.h"
#include "drills/ItemRun.h"

#include <algorithm>
#include <cmath>
#include <numeric>

std::vector<std::vector<int>> LicenceScores(const ExamLicence& licence, const std::vector<HistoryTest>& tests)
{
    std::vector<std::vector<int>> scores(licence.parts.size());
    for (const HistoryTest& t : tests) {
        if (t.bStopped || OptionText(t, QLatin1String("Exam")) != QLatin1String(licence.pszKey))
            continue;
        const QString part = OptionText(t, QLatin1String("Part"));
        const int score = RunValue(t, QLatin1String("Score"));
        for (size_t i = 0; i < licence.parts.size(); ++i) {
            const ExamPartDef& p = licence.parts[i];
            if (part == QLatin1String(ExamPartKey(p.ePart)) && RunValue(t, QLatin1String("CharsPerMin")) == p.nCharsPerMin
                && RunValue(t, QLatin1String("Minutes")) == p.nMinutes && score >= 0)
                scores[i].push_back(score);
        }
    }
    return scores;
}

// Until a part has a few scores of its own, its spread leans on a
// candidate's usual one (points).
static constexpr double kPriorSpread = 8.0;
static constexpr double kPriorWeight = 2.0;
// How much candidates' scores usually move a sitting (points).
static constexpr double kTrendPrior = 1.5;

ExamReadiness EstimateReadiness(const ExamLicence& licence, const std::vector<std::vector<int>>& scores)
{
    ExamReadiness r;
    double mean = 0, variance = 0;
    bool bAll = scores.size() == licence.parts.size();
    for (size_t i = 0; i < licence.parts.size(); ++i) {
        PartReadiness p;
        std::vector<int> last = i < scores.size() ? scores[i] : std::vector<int>{};
        if (int(last.size()) > kReadinessScores)
            last.erase(last.begin(), last.end() - kReadinessScores);
        p.nScores = int(last.size());
        if (p.nScores == 0) {
            bAll = false;
            r.parts.push_back(p);
            continue;
        }
        const double n = p.nScores;
        p.dLevel = std::accumulate(last.begin(), last.end(), 0.0) / n; // their mean, first
        double sxx = 0, sxy = 0, ss = 0;
        for (int k = 0; k < p.nScores; ++k) {
            const double x = k - (n - 1) / 2.0, d = last[size_t(k)] - p.dLevel;
            sxx += x * x;
            sxy += x * d;
            ss += d * d;
        }
        p.dSlope = sxx > 0 ? sxy / sxx : 0.0;
        const double pooled = (ss + kPriorWeight * kPriorSpread * kPriorSpread) / (n - 1 + kPriorWeight);
        // The next sitting carries the trend on, shrunk by how sure it is
        // (few sittings and a wide spread tell little of a trend).
        const double sure = sxx * kTrendPrior * kTrendPrior / (sxx * kTrendPrior * kTrendPrior + pooled);
        const double ahead = (n - 1) / 2.0 + 1.0;
        p.dLevel = std::clamp(p.dLevel + sure * p.dSlope * ahead, 0.0, 100.0);
        // A next score varies by the spread and by how little is known of the level.
        p.dSpread = std::sqrt(pooled * (1.0 + 1.0 / n + (sxx > 0 ? sure * sure * ahead * ahead / sxx : 0.0)));
        mean += p.dLevel;
        variance += p.dSpread * p.dSpread;
        r.parts.push_back(p);
    }
    if (bAll && licence.nPassTotal >= 0 && variance > 0) {
        // Scores are whole points: the total passes from nPassTotal - 0.5 on.
        const double z = (licence.nPassTotal - 0.5 - mean) / std::sqrt(variance);
        r.dPassChance = 0.5 * std::erfc(z / std::sqrt(2.0));
    }
    return r;
}

QString ReadinessText(const ExamLicence& licence, const ExamReadiness& readiness)
{
    if (licence.nPassTotal < 0)
        return {};
    QStringList parts;
    for (size_t i = 0; i < readiness.parts.size() && i < licence.parts.size(); ++i) {
        const PartReadiness& p = readiness.parts[i];
        const QString name = QString::fromUtf8(ExamPartName(licence.parts[i].ePart));
        if (p.nScores == 0)
            parts << QStringLiteral("%1 未受験").arg(name);
        else if (p.nScores == 1)
            parts << QStringLiteral("%1 %2 点").arg(name).arg(p.dLevel, 0, 'f', 0);
        else
            parts << QStringLiteral("%1 %2 点 (1回ごとに %3%4)")
                         .arg(name)
                         .arg(p.dLevel, 0, 'f', 0)
                         .arg(p.dSlope >= 0 ? QStringLiteral("+") : QString())
                         .arg(p.dSlope, 0, 'f', 1);
    }
    if (std::all_of(readiness.parts.begin(), readiness.parts.end(), [](const PartReadiness& p) { return p.nScores == 0; }))
        return {};
    const QString chance = readiness.dPassChance < 0
                               ? QStringLiteral("すべての種目を最後まで受けると合格の見込みを出します")
                               : QStringLiteral("次に受けて合格する見込み 約 %1 %").arg(std::lround(readiness.dPassChance * 100));
    return QStringLiteral("%1 (最近の%2回まで): %3\n%4")
        .arg(QString::fromUtf8(licence.pszName))
        .arg(kReadinessScores)
        .arg(parts.join(QStringLiteral("、")), chance);
}

std::vector<HistoryTest> ExamTests(const CHistory& history)
{
    std::vector<HistoryTest> tests;
    // Each part is kept under a mode of its own, so each keeps its order.
    for (ExamPart part : {ExamPart::Wabun, ExamPart::LatinCode, ExamPart::LatinPlain}) {
        std::vector<HistoryTest> of = history.Tests({}, ExamMode(part));
        tests.insert(tests.end(), of.begin(), of.end());
    }
    return tests;
}

QString ReadinessOf(const ExamLicence& licence, const std::vector<HistoryTest>& examTests)
{
    return ReadinessText(licence, EstimateReadiness(licence, LicenceScores(licence, examTests)));
}

QString AllReadiness(const std::vector<HistoryTest>& examTests)
{
    QStringList all;
    for (const ExamLicence& l : ExamLicences())
        if (const QString text = ReadinessOf(l, examTests); !text.isEmpty())
            all << text;
    return all.join(QLatin1Char('\n'));
}
