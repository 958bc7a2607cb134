// The scoring on two byte strings, without a display.
#include "TestRegistry.h"
#include "training/Scoring.h"

#include <QtTest>

class TestScoring : public QObject {
    Q_OBJECT
private slots:
    void score_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("positions"); // typed positions scored
        QTest::addColumn<int>("correct");
        QTest::addColumn<int>("percent");
        const QByteArray groups = "ABCDE FGHIJ KLMNO PQRST UVWXY ZABCD EFGHI JKLMN OPQRS TUVWX";
        QCOMPARE(groups.size(), 59);
        QTest::newRow("case blind") << QByteArray("ABCDE") << QByteArray("abcde") << 5 << 5 << 100;
        QTest::newRow("case blind z") << QByteArray("z") << QByteArray("Z") << 1 << 1 << 100;
        QTest::newRow("dropped letter") << QByteArray("ABCDE") << QByteArray("ACDE") << 4 << 1 << 20;
        QTest::newRow("truncates") << QByteArray("ABC") << QByteArray("AB") << 2 << 2 << 66;
        QTest::newRow("typed longer") << QByteArray("ABC") << QByteArray("ABCXYZ") << 6 << 3 << 100;
        QTest::newRow("two groups and space") << groups << groups.left(11) << 11 << 11 << 18;
        QTest::newRow("two groups no space") << groups << QByteArray("ABCDEFGHIJ") << 10 << 5 << 8;
        // Only letters fold case; bytes that differ in bit 5 otherwise differ.
        QTest::newRow("at vs grave") << QByteArray("@") << QByteArray("`") << 1 << 0 << 0;
        QTest::newRow("bracket vs brace") << QByteArray("[") << QByteArray("{") << 1 << 0 << 0;
        QTest::newRow("hyphen vs CR") << QByteArray("-") << QByteArray("\r") << 1 << 0 << 0;
        QTest::newRow("space vs NUL, digit vs DLE") << QByteArray(" 0") << QByteArray("\x00\x10", 2) << 2 << 0 << 0;
        QTest::newRow("kana vs lead byte") << QByteArray("\xC1") << QByteArray("\xE1") << 1 << 0 << 0;
        QTest::newRow("digit vs digit") << QByteArray("1") << QByteArray("2") << 1 << 0 << 0;
        QTest::newRow("kana exact") << QByteArray("\xB1\xB2\xDD") << QByteArray("\xB1\xB2\xDD") << 3 << 3 << 100;
        QTest::newRow("kana differ") << QByteArray("\xB1\xB2") << QByteArray("\xB1\xD2") << 2 << 1 << 50;
        // A typed CR LF is one line feed, as the phrase file's line break.
        QTest::newRow("LF vs CR LF") << QByteArray("A\nB") << QByteArray("A\r\nB") << 3 << 3 << 100;
        QTest::newRow("phrase line for line") << QByteArray("CQ CQ\nDE JA1ZZZ\nK\n")
                                              << QByteArray("cq cq\r\nde ja1zzz\r\nk\r\n") << 18 << 18 << 100;
        QTest::newRow("lone CR stays") << QByteArray("A\nB") << QByteArray("A\rB") << 3 << 2 << 66;
        QTest::newRow("nothing typed") << QByteArray("ABC") << QByteArray() << 0 << 0 << 0;
        QTest::newRow("nothing sent") << QByteArray() << QByteArray("ABC") << 3 << 0 << 0;
    }
    void score()
    {
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, typed);
        QFETCH(int, positions);
        QFETCH(int, correct);
        QFETCH(int, percent);
        const CopyScore s = ScoreCopy(sent.toStdString(), typed.toStdString());
        QCOMPARE(s.nSent, (long long)sent.size());
        QCOMPARE(s.nTyped, (long long)positions);
        QCOMPARE(s.nCorrect, (long long)correct);
        QCOMPARE(s.nPercent, percent);
        QCOMPARE(int(s.abMatch.size()), int(std::min<qsizetype>(sent.size(), positions)));
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
