// SPDX-License-Identifier: GPL-3.0-or-later
// The one-character drill without widgets: the schedule's introductions,
// repeats and reviews across days, and keys read as answers.
#include "TestRegistry.h"
#include "drills/CharSchedule.h"
#include "record/RecordTables.h"
#include "text/Cp932.h"

#include <QtTest>

static constexpr double kDay = 86400;

class TestCharDrill : public QObject {
    Q_OBJECT

    // Answers ch right and fast n times from dNow on, a few seconds apart.
    static double Learn(CCharSchedule& s, unsigned char ch, int n, double dNow)
    {
        for (int i = 0; i < n; ++i, dNow += 3)
            s.Answer(ch, true, 300, 0, dNow);
        return dNow;
    }

private slots:
    void newCharactersOnlyOnceThoseBeforeAreLearned()
    {
        CCharSchedule s({'K', 'M', 'U'}, LearnRule{}, 1);
        const CCharSchedule::Pick first = s.Next(0);
        QVERIFY(first.ch == 'K' && first.bNew);
        QCOMPARE(s.Next(0).ch, 'M'); // two to begin with
        double t = Learn(s, 'K', 10, 0);
        for (int i = 0; i < 50; ++i)
            QVERIFY(!s.Next(t).bNew);
        // M right but slow: not learned, so U waits.
        for (int i = 0; i < 20; ++i, t += 3)
            s.Answer('M', true, 900, 0, t);
        QVERIFY(!s.Find('M')->bLearned);
        QCOMPARE(s.Find('M')->nMedianMs, 900);
        QVERIFY(!s.Next(t).bNew);
        t = Learn(s, 'M', 20, t);
        const CCharSchedule::Pick p = s.Next(t);
        QCOMPARE(p.ch, 'U');
        QVERIFY(p.bNew);
    }

    void aMissIsAskedAgainSoon()
    {
        CCharSchedule s({'K', 'M', 'U', 'R'}, LearnRule{}, 2);
        for (unsigned char ch : {'K', 'M', 'U', 'R'})
            Learn(s, ch, 12, 0);
        s.Answer('U', false, 400, 'R', 100);
        // Others first, then U again within a few answers.
        int asked = 0;
        unsigned char ch = 0;
        for (; asked < CCharSchedule::kAgainAfter + 2 && ch != 'U'; ++asked) {
            ch = s.Next(100).ch;
            s.Answer(ch, true, 300, 0, 100);
        }
        QCOMPARE(ch, 'U');
        QVERIFY(asked > 1);
        QVERIFY(s.Find('R')->dConfused > 0); // heard as each other
    }

    void learnedCharactersComeBackAtGrowingIntervals()
    {
        CCharSchedule s({'K', 'M'}, LearnRule{}, 3);
        double t = Learn(s, 'K', 10, 0);
        Learn(s, 'M', 10, t);
        const CharProgress& k = *s.Find('K');
        QVERIFY(k.bLearned);
        QCOMPARE(k.dIntervalDays, CCharSchedule::kFirstIntervalDays);
        QCOMPARE(s.DueCount(kDay / 2), 0);
        // The next day both are due, the longer overdue first.
        QCOMPARE(s.DueCount(1.1 * kDay), 2);
        QCOMPARE(s.Next(1.1 * kDay).ch, 'K');
        s.Answer('K', true, 300, 0, 1.1 * kDay);
        QCOMPARE(k.dIntervalDays, CCharSchedule::kFirstIntervalDays * CCharSchedule::kIntervalGrowth);
        QCOMPARE(s.Next(1.1 * kDay).ch, 'M');
        // Recalled slowly when due: back to the first interval.
        s.Answer('M', true, 450, 0, 1.1 * kDay);
        s.Answer('K', true, 300, 0, 4 * kDay);
        QVERIFY(k.dIntervalDays > 6);
        s.Answer('K', true, 800, 0, 20 * kDay);
        QCOMPARE(k.dIntervalDays, CCharSchedule::kFirstIntervalDays);
    }

    void keysReadAsAnswers_data()
    {
        QTest::addColumn<bool>("wabun");
        QTest::addColumn<bool>("kanaLayout");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("completedAt"); // index of the key that completes it
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("letter") << false << false << "k" << 0 << QByteArray("K");
        QTest::newRow("figure") << false << false << "5" << 0 << QByteArray("5");
        QTest::newRow("prosign") << false << false << "<ar>" << 3 << QByteArray(1, char(kProsignAR));
        QTest::newRow("kana") << true << false << "ka" << 1 << QByteArray("\xB6");
        QTest::newRow("n") << true << false << "nn" << 1 << QByteArray("\xDD");
        QTest::newRow("voiced mark") << true << false << "@" << 0 << QByteArray("\xDE");
        QTest::newRow("long mark") << true << false << "-" << 0 << QByteArray("\xB0");
        QTest::newRow("ra ta") << true << false << "<rata>" << 5 << QByteArray(1, char(kProsignRaTa));
        QTest::newRow("figure in wabun") << true << false << "3" << 0 << QByteArray("3");
        QTest::newRow("kana key") << true << true << "3" << 0 << QByteArray("\xB1");
        QTest::newRow("kana key, ro") << true << true << "\\" << 0 << QByteArray("\xDB");
        QTest::newRow("kana key, wo") << true << true << "~" << 0 << QByteArray("\xA6");
        QTest::newRow("kana key, mark") << true << true << "<" << 0 << QByteArray("\xA4");
    }
    void keysReadAsAnswers()
    {
        QFETCH(bool, wabun);
        QFETCH(bool, kanaLayout);
        QFETCH(QString, keys);
        QFETCH(int, completedAt);
        QFETCH(QByteArray, answer);
        CKeyAnswer a(wabun, kanaLayout);
        for (int i = 0; i < keys.size(); ++i) {
            const std::string got = a.Feed(keys[i]);
            QCOMPARE(got.empty(), i != completedAt);
            if (i == completedAt)
                QCOMPARE(QByteArray::fromStdString(got), answer);
        }
        if (kanaLayout) // a figure from the keypad is a figure
            QCOMPARE(a.Feed(u'3', true), std::string("3"));
    }

    void daysFromTheAnswers()
    {
        std::vector<HistoryAnswer> answers;
        const QDateTime first(QDate(2026, 3, 1), QTime(12, 0));
        for (int i = 0; i < 12; ++i) {
            HistoryAnswer a;
            a.when = first.addSecs(i * 5).toUTC();
            a.ch = 'K';
            a.bRight = true;
            a.nMs = 200 + 10 * i;
            answers.push_back(a);
        }
        answers.back().when = first.addDays(2).toUTC();
        answers.back().nMs = -50; // early: counted as 0
        CCharSchedule schedule({'K', 'M'}, LearnRule{}, 1);
        const std::vector<DrillDay> days = DrillDays(schedule, answers);
        QCOMPARE(int(days.size()), 2);
        QCOMPARE(days[0].nAnswers, 11);
        QCOMPARE(days[0].nLearned, 1);
        QCOMPARE(days[0].nMedianMs, 250);
        QCOMPARE(days[1].nMedianMs, 0);
    }

    void charactersWeekByWeek()
    {
        // The history's results from each week's start on: K sent 10
        // times in the first week (8 right), 4 in the last (4 right).
        std::map<unsigned char, CharStats> since[kTrendWeeks];
        for (int w = 0; w < kTrendWeeks; ++w)
            since[w]['K'] = w == 0 ? CharStats{14, 12, {}} : CharStats{4, 4, {}};
        const QDateTime first(QDate(2026, 3, 2), QTime(0, 0));
        std::vector<HistoryAnswer> answers;
        for (int ms : {300, 500, 400}) {
            HistoryAnswer a;
            a.when = first.addDays(22);
            a.ch = 'M';
            a.nMs = ms;
            answers.push_back(a);
        }
        answers[0].when = first.addDays(-1); // before the weeks shown
        const std::vector<CharTrend> trends = CharTrends(since, answers, first);
        QCOMPARE(int(trends.size()), 2);
        QCOMPARE(TrendText(trends[0], 0), QStringLiteral("80%"));
        QCOMPARE(TrendText(trends[0], 1), QStringLiteral("-"));
        QCOMPARE(TrendText(trends[0], 3), QStringLiteral("100%"));
        QCOMPARE(trends[1].ch, 'M');
        QCOMPARE(TrendText(trends[1], 3), QStringLiteral("450ms"));
    }
};

DRAVIK_REGISTER_TEST(TestCharDrill)
#include "training_drill.moc"
