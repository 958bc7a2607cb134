// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/RecordTables.h"
#include "drills/CharSchedule.h"
#include "engine/PracticeModes.h"
#include "text/Cp932.h"

#include <QStringList>

#include <algorithm>
#include <map>

QString ModeName(int nMode)
{
    const PracticeModeDef* pMode = FindPracticeMode(nMode);
    return pMode ? QString::fromUtf8(pMode->pszName) : QString();
}

QString CharText(const std::string& cp932)
{
    if (cp932.empty())
        return QStringLiteral("(抜け)");
    if (cp932 == " ")
        return QStringLiteral("(空白)");
    if (cp932 == "\n")
        return QStringLiteral("(改行)");
    return Cp932ToQString(cp932);
}

QString ConfusionText(unsigned char ch, const CharStats& stats)
{
    QStringList parts;
    for (const auto& [typed, count] : stats.TopConfusions())
        parts << QStringLiteral("%1→%2 ×%3").arg(CharText(std::string(1, char(ch))), CharText(typed)).arg(count);
    return parts.join(QStringLiteral("  "));
}

QString SpeedRule() { return QStringLiteral("聞こえた文字の数 ÷ それを送った時間 (始めの符号を除く)"); }

QString ExamRule() { return QStringLiteral("100 − 3 × (誤り + 余分) − 抜け"); }

QDateTime PeriodStart(RecordPeriod period, const QDateTime& now)
{
    switch (period) {
    case RecordPeriod::Week: return now.addDays(-7);
    case RecordPeriod::Month: return now.addDays(-30);
    case RecordPeriod::ThisRun:
    case RecordPeriod::All: break;
    }
    return {};
}

std::vector<DayScore> ScoresByDay(const std::vector<HistoryTest>& tests)
{
    std::map<QDate, DayScore> days;
    for (const HistoryTest& t : tests) {
        DayScore& d = days[t.when.toLocalTime().date()];
        ++d.nTests;
        d.dPosition += t.nPositionPercent;
        d.dAligned += t.Accuracy();
        d.dMinutes += t.dSeconds / 60.0;
        d.dWpm += t.nWpm;
        d.nKochLesson = std::max(d.nKochLesson, t.nKochLesson);
    }
    std::vector<DayScore> out;
    for (auto& [day, d] : days) {
        d.day = day;
        d.dPosition /= d.nTests;
        d.dAligned /= d.nTests;
        d.dWpm /= d.nTests;
        out.push_back(d);
    }
    return out;
}

static QString CsvField(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n')))
        return s;
    return QLatin1Char('"') + QString(s).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
}

static QByteArray Utf8WithBom(const QStringList& lines)
{
    return QByteArray("\xEF\xBB\xBF") + lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
}

QByteArray TestsCsv(const std::vector<HistoryTest>& tests)
{
    // One field a column: the rules go into their columns' names.
    QStringList lines{QStringLiteral("日時 (UTC),ﾓｰﾄﾞ,音の高さ (Hz),速さ (WPM),ｺｯﾎ法のﾚｯｽﾝ,位置の正解率 (%),位置合わせ正解率 (%),"
                                     "正解,誤り,抜け,余分,試験式の点 (%1),送信の速さ (字/分; %2),送信の速さ (WPM),"
                                     "途中で止めた")
                          .arg(ExamRule(), SpeedRule())};
    for (const HistoryTest& t : tests) {
        const SentSpeed speed = t.Speed();
        QStringList row{t.when.toUTC().toString(Qt::ISODate), ModeName(t.nMode), QString::number(t.nFreq),
                        QString::number(t.nWpm), t.nKochLesson > 0 ? QString::number(t.nKochLesson) : QString(),
                        QString::number(t.nPositionPercent)};
        if (t.bAligned)
            row << QString::number(t.Accuracy(), 'f', 1) << QString::number(t.nRight) << QString::number(t.nWrong)
                << QString::number(t.nMissing) << QString::number(t.nExtra)
                << (t.HasExamScore() ? QString::number(ExamScore(t.Counts())) : QString());
        else
            row << QString() << QString() << QString() << QString() << QString() << QString();
        row << QString::number(speed.dCharsPerMinute, 'f', 1) << QString::number(speed.dWpm, 'f', 1)
            << (t.bStopped ? QStringLiteral("はい") : QStringLiteral("いいえ"));
        for (QString& field : row)
            field = CsvField(field);
        lines << row.join(QLatin1Char(','));
    }
    return Utf8WithBom(lines);
}

std::vector<unsigned char> WorstFirst(const std::map<unsigned char, CharStats>& chars)
{
    std::vector<unsigned char> order;
    for (const auto& [c, st] : chars)
        order.push_back(c);
    std::stable_sort(order.begin(), order.end(), [&](unsigned char a, unsigned char b) {
        const CharStats& x = chars.at(a);
        const CharStats& y = chars.at(b);
        if (x.Accuracy() != y.Accuracy())
            return x.Accuracy() < y.Accuracy();
        return x.nSent > y.nSent;
    });
    return order;
}

QByteArray CharsCsv(const std::map<unsigned char, CharStats>& chars)
{
    QStringList lines{QStringLiteral("文字,送信,正解,正解率 (%),よくある間違い")};
    for (unsigned char c : WorstFirst(chars)) {
        const CharStats& st = chars.at(c);
        lines << QStringList{CsvField(CharText(std::string(1, char(c)))), QString::number(st.nSent),
                             QString::number(st.nRight), QString::number(st.Accuracy(), 'f', 1),
                             CsvField(ConfusionText(c, st))}
                     .join(QLatin1Char(','));
    }
    return Utf8WithBom(lines);
}

QString DayPracticeText(const DayScore& day, int nGoalMin)
{
    const QString minutes = QStringLiteral("%1 分").arg(day.dMinutes, 0, 'f', 1);
    if (nGoalMin <= 0)
        return minutes;
    return QStringLiteral("%1 (目標 %2 分 %3)")
        .arg(minutes)
        .arg(nGoalMin)
        .arg(day.dMinutes + 1e-9 >= nGoalMin ? QStringLiteral("達成") : QStringLiteral("未達"));
}

std::vector<CharTrend> CharTrends(const std::map<unsigned char, CharStats> (&since)[kTrendWeeks],
                                  const std::vector<HistoryAnswer>& answers, const QDateTime& firstWeek)
{
    std::map<unsigned char, CharTrend> trends;
    for (int w = 0; w < kTrendWeeks; ++w)
        for (const auto& [ch, st] : since[w]) {
            CharTrend& t = trends[ch];
            const CharStats* later = nullptr;
            if (w + 1 < kTrendWeeks) {
                const auto it = since[w + 1].find(ch);
                later = it == since[w + 1].end() ? nullptr : &it->second;
            }
            t.anSent[w] = st.nSent - (later ? later->nSent : 0);
            t.anRight[w] = st.nRight - (later ? later->nRight : 0);
        }
    std::map<unsigned char, std::vector<int>> times[kTrendWeeks];
    for (const HistoryAnswer& a : answers) {
        const qint64 days = firstWeek.daysTo(a.when);
        if (days >= 0 && days < 7 * kTrendWeeks) {
            times[days / 7][a.ch].push_back(std::max(0, a.nMs));
            trends[a.ch];
        }
    }
    std::vector<CharTrend> out;
    for (auto& [ch, t] : trends) {
        t.ch = ch;
        for (int w = 0; w < kTrendWeeks; ++w)
            t.anMedianMs[w] = MedianMs(times[w][ch]);
        out.push_back(t);
    }
    return out;
}

QString TrendText(const CharTrend& trend, int nWeek)
{
    QStringList parts;
    if (trend.anSent[nWeek] > 0)
        parts << QStringLiteral("%1%").arg(qRound(100.0 * trend.anRight[nWeek] / trend.anSent[nWeek]));
    if (trend.anMedianMs[nWeek] >= 0)
        parts << QStringLiteral("%1ms").arg(trend.anMedianMs[nWeek]);
    return parts.isEmpty() ? QStringLiteral("-") : parts.join(QLatin1Char(' '));
}
