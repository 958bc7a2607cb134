// SPDX-License-Identifier: GPL-3.0-or-later
// The telegraphy exams without a display: texts of the right length, sent
// as the engine keys them (their 字/分 in bench/exam_bench), and graded
// as the exams grade.
#include "TestRegistry.h"
#include "TestWait.h"
#include "engine/MorseEngine.h"
#include "engine/MorseTable.h"
#include "text/Cp932.h"
#include "drills/Exam.h"
#include "drills/Readiness.h"

#include <QtTest>

#include <algorithm>

#include <set>

class TestExam : public QObject {
    Q_OBJECT

    static std::string Cp932(const char* utf8) { return QStringToCp932(QString::fromUtf8(utf8)); }

private slots:
    void textsHaveTheirLengthAndSigns()
    {
        for (ExamPart p : {ExamPart::Wabun, ExamPart::LatinCode, ExamPart::LatinPlain})
            for (int chars : {1, 75, 500}) {
                DRAVIK_ROW(QString("%1 %2").arg(ExamPartKey(p)).arg(chars));
                const std::vector<std::string> lines = ExamLines(p);
                QCOMPARE(lines.empty(), p == ExamPart::LatinCode);
                for (uint32_t seed : {1u, 2u}) {
                    const std::string text = ExamText(p, chars, seed, lines);
                    if (p == ExamPart::LatinPlain && chars > 20) {
                        // Whole words: a few characters short, its last word one of the lines'.
                        QVERIFY(ExamCharCount(text) <= chars && ExamCharCount(text) > chars - 20);
                        const std::string last = " " + text.substr(text.rfind(' ') + 1) + " ";
                        QVERIFY(std::any_of(lines.begin(), lines.end(),
                                            [&](const std::string& l) { return (" " + l + " ").find(last) != std::string::npos; }));
                    } else {
                        QCOMPARE(ExamCharCount(text), chars);
                    }
                    QCOMPARE(ExamText(p, chars, seed, lines), text); // the same seed, the same text
                    for (size_t i = 0; i < text.size(); ++i) {
                        const auto c = static_cast<unsigned char>(text[i]);
                        QVERIFY(c == ' ' || *MorsePattern(c) != '\0');
                        QVERIFY(p == ExamPart::Wabun || c < 0x80);
                        if (p == ExamPart::LatinCode) // groups of five letters
                            QCOMPARE(c == ' ', i % 6 == 5);
                    }
                }
                QVERIFY(chars < 50 || ExamText(p, chars, 1, lines) != ExamText(p, chars, 2, lines));
            }
        // The shipped texts: kana with their voiced marks as separate signs;
        // plain English.
        const std::vector<std::string> wabun = ExamLines(ExamPart::Wabun), plain = ExamLines(ExamPart::LatinPlain);
        QVERIFY(wabun.size() >= 200 && plain.size() >= 200);
        QCOMPARE(std::set<std::string>(wabun.begin(), wabun.end()).size(), wabun.size());
        std::set<unsigned char> kana, latin;
        for (const std::string& line : wabun)
            kana.insert(line.begin(), line.end());
        for (const std::string& line : plain)
            latin.insert(line.begin(), line.end());
        QVERIFY(kana.count(0xDE) && kana.count(0xDF));
        for (unsigned char c : kana)
            QVERIFY(c == ' ' || (c >= '0' && c <= '9') || (c >= 0xA6 && c <= 0xDF));
        for (unsigned char c : latin)
            QVERIFY(c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'));
    }

    void gradedAsTheExamsGrade()
    {
        // Sent, typed, 誤字, 脱字, score: spaces and line breaks are not
        // graded, an extra character is 誤字, a score never goes below 0.
        const struct { const char *sent, *typed; int wrong, missing, score; } rows[] = {
            {"ABCDE FGHIJ", "ABCDE FGHIJ", 0, 0, 100}, {"ABCDE FGHIJ", "ABCDEFGHIJ", 0, 0, 100},
            {"ABCDE FGHIJ", "abcde\r\nfghij", 0, 0, 100}, {"ABCDE FGHIJ", "ABCXE FGHIJ", 1, 0, 97},
            {"ABCDE FGHIJ", "ABCE FGHIJ", 0, 1, 99},    {"ABCDE FGHIJ", "ABCDDE FGHIJ", 1, 0, 97},
            {"ABCDE FGHIJ KLMNO", "ABCDE KLMNO", 0, 5, 95}, {"ABCDE FGHIJ", "", 0, 10, 90},
            {"ABCDE FGHIJ KLMNO PQRST ABCDE FGHIJ KLMNO", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ", 35, 0, 0},
            {"ｼｹﾝ ｺﾞｳｶｸ ｵﾒﾃﾞﾄｳ", "ｼｹﾝ ｺｳｶｸ ｵﾒﾃﾄｳ", 0, 2, 98}, {"QXBTR KLMOZ", "QXBTR KLNOZ", 1, 0, 97},
            {"MEETING MOVED TO FRIDAY", "MEETING MOVE TO FRIDAYS", 1, 1, 96},
            {"ｶﾞｯｺｳ", "ｶｯｺｳ", 0, 1, 99}, {"ﾊﾟﾝ", "ﾊﾞﾝ", 1, 0, 97},
            // Small kana are keyed as their full-size sign: either is right.
            {"ｷｯﾌﾟ ｼｬｼﾝ", "ｷﾂﾌﾟ ｼﾔｼﾝ", 0, 0, 100}, {"ｷﾂﾌﾟ", "ｷｯﾌﾟ", 0, 0, 100},
            // A telegram's time is written in figures; its mark is not written.
            {"\x11\x10､\x13\x10 ﾊﾙ\x08ｶﾞｷﾀ", "10､30 ﾊﾙｶﾞｷﾀ", 0, 0, 100},
            {"\x11\x10､\x13\x10 ﾊﾙ\x08ｶﾞｷﾀ", "10､80 ﾊﾙ?ｶﾞｷﾀ", 2, 0, 94},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString::fromUtf8(r.typed));
            const std::string s = Cp932(r.sent);
            const ExamGrade g = GradeExamPart(s, Cp932(r.typed));
            QCOMPARE(g.nWrong, r.wrong);
            QCOMPARE(g.nMissing, r.missing);
            QCOMPARE(g.nScore, r.score);
            // The marks lie on the sent text: one per error, none on a gap.
            QCOMPARE(g.marks.size(), s.size());
            QCOMPARE(int(std::count(g.marks.begin(), g.marks.end(), 2)), r.missing);
            QVERIFY(int(std::count(g.marks.begin(), g.marks.end(), 1)) <= r.wrong);
            for (size_t i = 0; i < s.size(); ++i)
                QVERIFY(s[i] != ' ' || g.marks[i] == 0);
        }
    }

    void telegramsCountTheirBodies()
    {
        const std::vector<std::string> lines = ExamLines(ExamPart::Wabun);
        for (int chars : {225, 375, 1000})
            for (uint32_t seed : {1u, 2u, 3u}) {
                DRAVIK_ROW(QString("%1 %2").arg(chars).arg(seed));
                const std::string text = WabunTelegrams(chars, seed, lines);
                QVERIFY2(ExamCharCount(text) <= chars && ExamCharCount(text) > chars - 40, std::to_string(ExamCharCount(text)).c_str());
                int telegrams = 0;
                for (size_t at = 0; at < text.size();) {
                    const size_t end = std::min(text.find('\n', at), text.size());
                    const std::string t = text.substr(at, end - at);
                    at = end + 1;
                    ++telegrams;
                    // ﾇﾅ ﾇﾅ ､ count ... ･ body
                    const std::string head = Cp932("ﾇﾅ ﾇﾅ ､ ");
                    QCOMPARE(t.substr(0, head.size()), head);
                    const int count = std::stoi(t.substr(head.size()));
                    const size_t bodyAt = t.find("\xA5 ");
                    QVERIFY(bodyAt != std::string::npos);
                    const std::string body = t.substr(bodyAt + 2);
                    QCOMPARE(count, ExamCharCount(body));
                    // The mark follows every 60th character but the last.
                    int signs = 0, marks = 0;
                    for (char c : body) {
                        if (c == char(kTelegramBreak)) {
                            ++marks;
                            QCOMPARE(signs % 60, 0);
                        }
                        signs += ExamCharCount(std::string(1, c));
                    }
                    QCOMPARE(marks, (count - 1) / 60);
                }
                QVERIFY(telegrams >= chars / 200);
            }
    }

    void sheetShowsShiftedSquares()
    {
        // R right, W wrong, B blank, S shifted (マスずれ).
        const struct { const char *typed, *marks; } rows[] = {
            {"ABCDEFGH", "RRRRRRRR"},  {"ABDEFGH", "RRSSSSSB"},   {"AB DEFGH", "RRBRRRRR"},
            {"ABXCDEFGH", "RRWSSSSSS"}, {"ABZDEFGH", "RRWRRRRR"}, {"AB\r\nCDEFGH", "RRRRRRRR"},
            {"", "BBBBBBBB"},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(r.typed);
            const ExamGrade g = GradeExamPart("ABCD EFGH", r.typed);
            std::string marks;
            for (const SheetSquare& q : SheetSquares(g, r.typed))
                marks += "RWBS"[int(q.eMark)];
            QCOMPARE(marks, std::string(r.marks));
        }
    }

    void readinessFromTheLastSittings()
    {
        // Parts kept as the exam window keeps them: only whole parts of the
        // licence, at its speed and length, count.
        auto part = [](const char* exam, const char* key, int perMin, int minutes, int score, bool stopped = false) {
            HistoryTest t;
            t.strOptions = QString("Exam=%1\nPart=%2\nCharsPerMin=%3\nMinutes=%4\nScore=%5\nBand=0")
                               .arg(exam, key).arg(perMin).arg(minutes).arg(score);
            t.bStopped = stopped;
            return t;
        };
        const ExamLicence& l = *FindExamLicence("3sou");
        const std::vector<HistoryTest> tests = {
            part("3sou", "wabun", 70, 3, 60),  part("3sou", "wabun", 70, 3, 99, true), part("1sou", "wabun", 75, 5, 99),
            part("3sou", "code", 80, 3, 75),   part("practice", "plain", 100, 3, 99),  part("3sou", "wabun", 70, 3, 70),
        };
        const std::vector<std::vector<int>> scores = LicenceScores(l, tests);
        QCOMPARE(scores, (std::vector<std::vector<int>>{{60, 70}, {75}, {}}));
        QCOMPARE(EstimateReadiness(l, scores).dPassChance, -1.0); // a part not taken

        // Level, trend and chance: steady parts sit at their mean; a rising
        // one is expected above its mean; only the last five count.
        const struct { std::vector<std::vector<int>> scores; double levelLo, levelHi, slope, chanceLo, chanceHi; } rows[] = {
            {{{80, 80, 80}, {70, 70, 70}, {75, 75, 75}}, 80, 80, 0, 0.9, 1.0},
            {{{70, 70, 70}, {70, 70, 70}, {69, 69, 69}}, 70, 70, 0, 0.3, 0.5},
            {{{60, 65, 70, 75, 80}, {70}, {70}}, 71, 80, 5, 0.4, 0.7}, // mean 70, still rising
            {{{0, 0, 0, 90, 90, 90, 90, 90}, {40}, {40}}, 90, 90, 0, 0.0, 0.05},
        };
        for (const auto& r : rows) {
            const ExamReadiness e = EstimateReadiness(l, r.scores);
            DRAVIK_ROW(QString::number(e.parts[0].dLevel));
            QVERIFY(std::fabs(e.parts[0].dSlope - r.slope) < 1e-9);
            QVERIFY(e.parts[0].dLevel >= r.levelLo - 1e-9 && e.parts[0].dLevel <= r.levelHi + 1e-9);
            QVERIFY(e.dPassChance >= r.chanceLo && e.dPassChance <= r.chanceHi);
            QVERIFY(ReadinessText(l, e).contains(QStringLiteral("合格する見込み")));
        }
    }

    void licenceVerdicts()
    {
        // A weak part is carried by the others; every part must be there.
        const struct { const char* licence; std::vector<int> scores; bool passed; } rows[] = {
            {"1sou", {70, 70, 70}, true}, {"1sou", {70, 70, 69}, false}, {"1sou", {100, 100, 10}, true},
            {"3sou", {60, 80, 70}, true}, {"kokunai", {69}, false},      {"2sou", {100, 100}, false},
            {"practice", {100, 100, 100}, false},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(r.licence);
            const ExamLicence* l = FindExamLicence(r.licence);
            QVERIFY(l);
            QCOMPARE(ExamLicencePassed(*l, r.scores), r.passed);
        }
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
