// SPDX-License-Identifier: GPL-3.0-or-later
// The telegraphy exams without a display: texts of the right length, sent
// at the part's 字/分 as the engine keys them, and graded as the exams grade.
#include "TestRegistry.h"
#include "engine/MorseEngine.h"
#include "engine/MorseTable.h"
#include "text/Cp932.h"
#include "training/Exam.h"

#include <QtTest>

#include <set>

class TestExam : public QObject {
    Q_OBJECT

    static std::string Cp932(const char* utf8) { return QStringToCp932(QString::fromUtf8(utf8)); }

private slots:
    void textsHaveTheirLengthAndSigns_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("chars");
        for (ExamPart p : {ExamPart::Wabun, ExamPart::LatinCode, ExamPart::LatinPlain})
            for (int chars : {1, 75, 500})
                QTest::addRow("%s %d", ExamPartKey(p), chars) << int(p) << chars;
    }
    void textsHaveTheirLengthAndSigns()
    {
        QFETCH(int, part);
        QFETCH(int, chars);
        const ExamPart p = ExamPart(part);
        const std::vector<std::string> lines = ExamLines(p);
        QCOMPARE(lines.empty(), p == ExamPart::LatinCode);
        for (uint32_t seed : {1u, 2u}) {
            const std::string text = ExamText(p, chars, seed, lines);
            QCOMPARE(ExamCharCount(text), chars);
            QCOMPARE(ExamText(p, chars, seed, lines), text); // the same seed, the same text
            for (unsigned char c : text) {
                QVERIFY(c == ' ' || *MorsePattern(c) != '\0');
                if (p != ExamPart::Wabun)
                    QVERIFY(c < 0x80);
            }
            if (p == ExamPart::LatinCode) // groups of five letters
                for (size_t i = 0; i < text.size(); ++i)
                    QCOMPARE(text[i] == ' ', i % 6 == 5);
        }
        QVERIFY(chars < 50 || ExamText(p, chars, 1, lines) != ExamText(p, chars, 2, lines));
    }

    void shippedTextsAreTheirPartsOwn()
    {
        // Kana with their voiced marks as separate signs; plain English.
        const std::vector<std::string> wabun = ExamLines(ExamPart::Wabun), plain = ExamLines(ExamPart::LatinPlain);
        QVERIFY(wabun.size() >= 200 && plain.size() >= 200);
        QCOMPARE(std::set<std::string>(wabun.begin(), wabun.end()).size(), wabun.size());
        bool voiced = false, semi = false;
        for (const std::string& line : wabun)
            for (unsigned char c : line) {
                QVERIFY2(c == ' ' || (c >= '0' && c <= '9') || (c >= 0xA6 && c <= 0xDF), line.c_str());
                voiced |= c == 0xDE;
                semi |= c == 0xDF;
            }
        QVERIFY(voiced && semi);
        for (const std::string& line : plain)
            for (unsigned char c : line)
                QVERIFY2(c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'), line.c_str());
    }

    void timedAtItsCharactersAMinute_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<int>("perMin");
        QTest::newRow("wabun 75") << int(ExamPart::Wabun) << 75;
        QTest::newRow("wabun 70") << int(ExamPart::Wabun) << 70;
        QTest::newRow("code 80") << int(ExamPart::LatinCode) << 80;
        QTest::newRow("plain 100") << int(ExamPart::LatinPlain) << 100;
        QTest::newRow("plain 25") << int(ExamPart::LatinPlain) << 25;
    }
    void timedAtItsCharactersAMinute()
    {
        QFETCH(int, part);
        QFETCH(int, perMin);
        const ExamPart p = ExamPart(part);
        const std::string text = ExamText(p, perMin * 3, 9, ExamLines(p));
        // Keyed by the engine as the exam window keys it.
        CMorseEngine e;
        e.SetSettings({p == ExamPart::Wabun ? kWabunPhrase : kLatinPhrase, 800, 20, 50});
        KeyingOptions k;
        k.nDotSamples = ExamDotSamples(text, perMin);
        e.SetKeyingOptions(k);
        e.SetFixedText(text);
        long long samples = 0;
        int buffers = 0;
        QCOMPARE(e.KeyWholeTest([&](const unsigned char*, int n) {
            // A Wabun test opens with two start signals, not counted.
            if (++buffers > (p == ExamPart::Wabun ? 2 : 0))
                samples += n;
            return true;
        }), 0);
        QCOMPARE(e.Sent(), text);
        const double perMinute = ExamCharCount(text) / (double(samples) / 8000.0 / 60.0);
        QVERIFY2(std::abs(perMinute - perMin) <= perMin / 100.0, qPrintable(QString::number(perMinute)));
    }

    void gradedAsTheExamsGrade_data()
    {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("missing");
        QTest::addColumn<int>("score");
        QTest::newRow("all right") << "ABCDE FGHIJ" << "ABCDE FGHIJ" << 0 << 0 << 100;
        QTest::newRow("spaces not graded") << "ABCDE FGHIJ" << "ABCDEFGHIJ" << 0 << 0 << 100;
        QTest::newRow("line breaks not graded") << "ABCDE FGHIJ" << "abcde\r\nfghij" << 0 << 0 << 100;
        QTest::newRow("one wrong") << "ABCDE FGHIJ" << "ABCXE FGHIJ" << 1 << 0 << 97;
        QTest::newRow("one missing") << "ABCDE FGHIJ" << "ABCE FGHIJ" << 0 << 1 << 99;
        QTest::newRow("one extra") << "ABCDE FGHIJ" << "ABCDDE FGHIJ" << 1 << 0 << 97;
        QTest::newRow("a dropped group") << "ABCDE FGHIJ KLMNO" << "ABCDE KLMNO" << 0 << 5 << 95;
        QTest::newRow("nothing typed") << "ABCDE FGHIJ" << "" << 0 << 10 << 90;
        QTest::newRow("never below 0") << "ABCDE FGHIJ KLMNO PQRST ABCDE FGHIJ KLMNO" << QString(35, 'Z') << 35 << 0 << 0;
        QTest::newRow("wabun example") << "ｼｹﾝ ｺﾞｳｶｸ ｵﾒﾃﾞﾄｳ" << "ｼｹﾝ ｺｳｶｸ ｵﾒﾃﾄｳ" << 0 << 2 << 98;
        QTest::newRow("code example") << "QXBTR KLMOZ" << "QXBTR KLNOZ" << 1 << 0 << 97;
        QTest::newRow("plain example") << "MEETING MOVED TO FRIDAY" << "MEETING MOVE TO FRIDAYS" << 1 << 1 << 96;
        QTest::newRow("voiced mark missing") << "ｶﾞｯｺｳ" << "ｶｯｺｳ" << 0 << 1 << 99;
        QTest::newRow("voiced for semi-voiced") << "ﾊﾟﾝ" << "ﾊﾞﾝ" << 1 << 0 << 97;
    }
    void gradedAsTheExamsGrade()
    {
        QFETCH(QString, sent);
        QFETCH(QString, typed);
        QFETCH(int, wrong);
        QFETCH(int, missing);
        QFETCH(int, score);
        const std::string s = QStringToCp932(sent);
        const ExamGrade g = GradeExamPart(s, QStringToCp932(typed));
        QCOMPARE(g.nWrong, wrong);
        QCOMPARE(g.nMissing, missing);
        QCOMPARE(g.nScore, score);
        // The marks lie on the sent text: one per error, none on a gap.
        QCOMPARE(g.marks.size(), s.size());
        QCOMPARE(int(std::count(g.marks.begin(), g.marks.end(), 2)), missing);
        QVERIFY(int(std::count(g.marks.begin(), g.marks.end(), 1)) <= wrong);
        for (size_t i = 0; i < s.size(); ++i)
            QVERIFY(s[i] != ' ' || g.marks[i] == 0);
    }

    void licenceVerdicts_data()
    {
        QTest::addColumn<QString>("licence");
        QTest::addColumn<QList<int>>("scores");
        QTest::addColumn<bool>("passed");
        QTest::newRow("1sou at the total") << "1sou" << QList<int>{70, 70, 70} << true;
        QTest::newRow("1sou one short") << "1sou" << QList<int>{70, 70, 69} << false;
        QTest::newRow("1sou a weak part carried") << "1sou" << QList<int>{100, 100, 10} << true;
        QTest::newRow("3sou") << "3sou" << QList<int>{60, 80, 70} << true;
        QTest::newRow("kokunai") << "kokunai" << QList<int>{69} << false;
        QTest::newRow("a part missing") << "2sou" << QList<int>{100, 100} << false;
        QTest::newRow("practice never") << "practice" << QList<int>{100, 100, 100} << false;
    }
    void licenceVerdicts()
    {
        QFETCH(QString, licence);
        QFETCH(QList<int>, scores);
        QFETCH(bool, passed);
        const ExamLicence* l = FindExamLicence(licence.toStdString());
        QVERIFY(l);
        QCOMPARE(ExamLicencePassed(*l, std::vector<int>(scores.begin(), scores.end())), passed);
    }

    void usersTextCutToWhatThePartSends()
    {
        const std::string file = Cp932("cq de ja1zzz, k.\r\n\r\n  ｱｲｳ 12 ﾊﾟﾝ  \n(TEST)?\n");
        const std::vector<std::string> latin = KeyableLines(file, ExamPart::LatinPlain);
        QCOMPARE(latin, (std::vector<std::string>{"CQ DE JA1ZZZ K", "12", "(TEST)?"}));
        const std::vector<std::string> wabun = KeyableLines(file, ExamPart::Wabun);
        QCOMPARE(wabun, (std::vector<std::string>{"1", Cp932("ｱｲｳ 12 ﾊﾟﾝ")}));
    }
};

DRAVIK_REGISTER_TEST(TestExam)
#include "training_exam.moc"
