// SPDX-License-Identifier: GPL-3.0-or-later
// Scoring two byte strings, position by position and aligned.
#include "TestRegistry.h"
#include "training/Scoring.h"

#include <QtTest>

class TestScoring : public QObject {
    Q_OBJECT
private slots:
    void score_data()
    {
        // One copy, scored both ways: position by position (typed positions
        // scored, correct, percent) and aligned (right, wrong, missing, extra).
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QList<int>>("position");
        QTest::addColumn<QList<int>>("aligned");
        const QByteArray groups = "ABCDE FGHIJ KLMNO PQRST UVWXY ZABCD EFGHI JKLMN OPQRS TUVWX";
        const QByteArray fifty = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWX";
        auto row = [](const char* name, const QByteArray& sent, const QByteArray& typed, QList<int> position,
                      QList<int> aligned) { QTest::newRow(name) << sent << typed << position << aligned; };
        row("case blind", "ABCDE", "abcde", {5, 5, 100}, {5, 0, 0, 0});
        row("case blind z", "z", "Z", {1, 1, 100}, {1, 0, 0, 0});
        row("dropped letter", "ABCDE", "ACDE", {4, 1, 20}, {4, 0, 1, 0});
        row("dropped first of fifty", fifty, fifty.mid(1), {49, 0, 0}, {49, 0, 1, 0});
        row("inserted", "ABCDE", "ABXCDE", {6, 2, 40}, {5, 0, 0, 1});
        // Ties go to the learner: one missing and one extra, not two wrong.
        row("swapped", "ABCDE", "ACBDE", {5, 3, 60}, {4, 0, 1, 1});
        row("dropped and inserted", "ABCDE", "ACXDE", {5, 3, 60}, {4, 0, 1, 1});
        row("truncated", "ABC", "AB", {2, 2, 66}, {2, 0, 1, 0});
        row("typed longer", "ABC", "ABCXYZ", {6, 3, 100}, {3, 0, 0, 3});
        row("two groups and space", groups, groups.left(11), {11, 11, 18}, {11, 0, 48, 0});
        row("two groups no space", groups, "ABCDEFGHIJ", {10, 5, 8}, {10, 0, 49, 0});
        // Only letters fold case; bytes that differ in bit 5 otherwise differ.
        row("at vs grave", "@", "`", {1, 0, 0}, {0, 1, 0, 0});
        row("bracket vs brace", "[", "{", {1, 0, 0}, {0, 1, 0, 0});
        row("hyphen vs CR", "-", "\r", {1, 0, 0}, {0, 1, 0, 0});
        row("space vs NUL, digit vs DLE", " 0", QByteArray("\x00\x10", 2), {2, 0, 0}, {0, 2, 0, 0});
        row("kana vs lead byte", "\xC1", "\xE1", {1, 0, 0}, {0, 1, 0, 0});
        row("kana exact", "\xB1\xB2\xDD", "\xB1\xB2\xDD", {3, 3, 100}, {3, 0, 0, 0});
        row("kana dropped", "\xB1\xB2\xB3", "\xB1\xB3", {2, 1, 33}, {2, 0, 1, 0});
        // A typed CR LF is one line feed, as the phrase file's line break.
        row("LF vs CR LF", "A\nB", "A\r\nB", {3, 3, 100}, {3, 0, 0, 0});
        row("phrase line for line", "CQ CQ\nDE JA1ZZZ\nK\n", "cq cq\r\nde ja1zzz\r\nk\r\n", {18, 18, 100},
            {18, 0, 0, 0});
        row("lone CR stays", "A\nB", "A\rB", {3, 2, 66}, {2, 1, 0, 0});
        row("nothing typed", "ABC", "", {0, 0, 0}, {0, 0, 3, 0});
        row("nothing sent", "", "ABC", {3, 0, 0}, {0, 0, 0, 3});
        row("both empty", "", "", {0, 0, 0}, {0, 0, 0, 0});
    }
    void score()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, typed);
        QFETCH(QList<int>, position);
        QFETCH(QList<int>, aligned);
        const CopyScore s = ScoreCopy(sent.toStdString(), typed.toStdString());
        QCOMPARE(s.nSent, (long long)sent.size());
        QCOMPARE((QList<int>{int(s.nTyped), int(s.nCorrect), s.nPercent}), position);
        QCOMPARE(int(s.abMatch.size()), int(std::min<qsizetype>(sent.size(), position[0])));
        const Alignment a = AlignCopy(sent.toStdString(), typed.toStdString());
        QCOMPARE((QList<int>{a.nRight, a.nWrong, a.nMissing, a.nExtra}), aligned);
        QCOMPARE(a.nSent, int(sent.size()));
        // Every sent byte and every typed position is accounted for once.
        int sentSeen = 0, typedSeen = 0;
        for (const AlignStep& st : a.steps) {
            sentSeen += st.nSent >= 0 ? 1 : 0;
            typedSeen += st.nTyped >= 0 ? 1 : 0;
        }
        QCOMPARE(sentSeen, int(sent.size()));
        QCOMPARE(typedSeen, position[0]);
    }

    void longAlignmentIsExact_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("skipped"); // missing at the start, retyped at the end
        QTest::newRow("one dropped far in") << 6000 << 0;
        QTest::newRow("513 skipped, 513 extra at the end") << 10000 << 513;
    }
    void longAlignmentIsExact()
    {
        QFETCH(int, length);
        QFETCH(int, skipped);
        std::string sent;
        unsigned seed = 12345; // letters without a pattern
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            sent += char('A' + (seed >> 16) % 26);
        }
        std::string typed = sent.substr(size_t(skipped));
        if (skipped)
            typed += sent.substr(0, size_t(skipped)); // the start retyped at the end
        else
            typed.erase(3000, 1);
        const Alignment a = AlignCopy(sent, typed);
        const int missing = skipped ? skipped : 1;
        QCOMPARE((QList<int>{a.nRight, a.nWrong, a.nMissing, a.nExtra}),
                 (QList<int>{length - missing, 0, missing, skipped}));
    }

    void examScore_data()
    {
        QTest::addColumn<QList<int>>("counts"); // right, wrong, missing, extra
        QTest::addColumn<int>("score");
        QTest::addColumn<bool>("passed");
        QTest::newRow("perfect") << QList<int>{50, 0, 0, 0} << 100 << true;
        QTest::newRow("90 passes") << QList<int>{44, 2, 4, 0} << 90 << true;
        QTest::newRow("89 fails") << QList<int>{43, 2, 5, 0} << 89 << false;
        QTest::newRow("never below 0") << QList<int>{0, 40, 10, 0} << 0 << false;
        QTest::newRow("extra costs 3") << QList<int>{50, 0, 0, 4} << 88 << false;
    }
    void examScore()
    {
        QFETCH(QList<int>, counts);
        QFETCH(int, score);
        QFETCH(bool, passed);
        Alignment a;
        a.nRight = counts[0];
        a.nWrong = counts[1];
        a.nMissing = counts[2];
        a.nExtra = counts[3];
        QCOMPARE(ExamScore(a), score);
        QCOMPARE(ExamPassed(ExamScore(a)), passed);
    }

    void longCopyDoesNotOverflow()
    {
        // correct x 100 passes 2^31 here; 32-bit arithmetic gave a negative score.
        const std::string sent(25'000'000, 'E');
        std::string typed = sent;
        typed[0] = 'T';
        const CopyScore s = ScoreCopy(sent, typed);
        QCOMPARE(s.nCorrect, 24'999'999LL);
        QCOMPARE(s.nPercent, 99);
    }

    void verdict_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("text");
        const char* v0 = "符号を覚えていないな！(正解率 %1%)";
        const char* v1 = "毎日10分は聞き取り練習が必要！(正解率 %1%)";
        const char* v2 = "もう少しがんばって！(正解率 %1%)";
        const char* v3 = "合格可能かも！(正解率 %1%)";
        const char* v4 = "合格まちがいなし！(正解率 %1%)";
        const std::pair<int, const char*> rows[] = {{0, v0},  {19, v0}, {20, v1}, {39, v1}, {40, v2}, {59, v2},
                                                    {60, v3}, {79, v3}, {80, v4}, {100, v4}};
        for (const auto& [p, v] : rows)
            QTest::newRow(qPrintable(QString::number(p))) << p << QString::fromUtf8(v).arg(p);
    }
    void verdict()
    {
        QFETCH(int, percent);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatVerdict(percent)), text);
    }

    void displayUnits_data()
    {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("compared");
        QTest::addColumn<QList<int>>("units");
        QTest::newRow("single bytes") << QByteArray("AB\xB1") << 3 << QList<int>{1, 1, 1};
        QTest::newRow("line feed") << QByteArray("A\nB") << 3 << QList<int>{1, 1, 1};
        QTest::newRow("double-byte") << QByteArray("\x82\xA0Z") << 3 << QList<int>{2, 1};
        QTest::newRow("lead byte cut off") << QByteArray("A\x82\xA0") << 2 << QList<int>{1, 1};
        QTest::newRow("lead byte E0..FC") << QByteArray("\xE0\x40\xFC\xFC") << 4 << QList<int>{2, 2};
        QTest::newRow("kana is no lead byte") << QByteArray("\xA0\xDF\xC1") << 3 << QList<int>{1, 1, 1};
    }
    void displayUnits()
    {
        QFETCH(QByteArray, typed);
        QFETCH(int, compared);
        QFETCH(QList<int>, units);
        const std::vector<int> got = DisplayUnits(typed.toStdString(), compared);
        QCOMPARE(QList<int>(got.begin(), got.end()), units);
    }
};

DRAVIK_REGISTER_TEST(TestScoring)
#include "training_scoring.moc"
