// SPDX-License-Identifier: GPL-3.0-or-later
// Scoring two byte strings, position by position and aligned.
#include "TestRegistry.h"
#include "TestWait.h"
#include "scoring/Scoring.h"

#include <QtTest>

class TestScoring : public QObject {
    Q_OBJECT
private slots:
    void score()
    {
        // One copy, scored both ways: position by position (typed positions
        // scored, correct, percent) and aligned (right, wrong, missing, extra).
        const QByteArray groups = "ABCDE FGHIJ KLMNO PQRST UVWXY ZABCD EFGHI JKLMN OPQRS TUVWX";
        const QByteArray fifty = "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRSTUVWX";
        const struct { QByteArray sent, typed; QList<int> position, aligned; } rows[] = {
            {"ABCDE", "abcde", {5, 5, 100}, {5, 0, 0, 0}}, // case blind
            {"z", "Z", {1, 1, 100}, {1, 0, 0, 0}},
            {"ABCDE", "ACDE", {4, 1, 20}, {4, 0, 1, 0}},
            {fifty, fifty.mid(1), {49, 0, 0}, {49, 0, 1, 0}},
            {"ABCDE", "ABXCDE", {6, 2, 40}, {5, 0, 0, 1}},
            // Ties go to the learner: one missing and one extra, not two wrong.
            {"ABCDE", "ACBDE", {5, 3, 60}, {4, 0, 1, 1}},
            {"ABCDE", "ACXDE", {5, 3, 60}, {4, 0, 1, 1}},
            {"ABC", "AB", {2, 2, 66}, {2, 0, 1, 0}},
            {"ABC", "ABCXYZ", {6, 3, 100}, {3, 0, 0, 3}},
            {groups, groups.left(11), {11, 11, 18}, {11, 0, 48, 0}},
            {groups, "ABCDEFGHIJ", {10, 5, 8}, {10, 0, 49, 0}},
            // Only letters fold case; bytes that differ in bit 5 otherwise differ.
            {"@", "`", {1, 0, 0}, {0, 1, 0, 0}},
            {"[", "{", {1, 0, 0}, {0, 1, 0, 0}},
            {"-", "\r", {1, 0, 0}, {0, 1, 0, 0}},
            {" 0", QByteArray("\x00\x10", 2), {2, 0, 0}, {0, 2, 0, 0}},
            {"\xC1", "\xE1", {1, 0, 0}, {0, 1, 0, 0}}, // kana against a lead byte
            {"\xB1\xB2\xDD", "\xB1\xB2\xDD", {3, 3, 100}, {3, 0, 0, 0}},
            {"\xB1\xB2\xB3", "\xB1\xB3", {2, 1, 33}, {2, 0, 1, 0}},
            // A prosign is one character; <AR>, <BT> and <KN> sound as + = (.
            {"\x01\x02", "+\x02", {2, 2, 100}, {2, 0, 0, 0}},
            {"A\x06" "B", "AB", {2, 1, 33}, {2, 0, 1, 0}},
            // A typed CR LF is one line feed, as the phrase file's line break.
            {"A\nB", "A\r\nB", {3, 3, 100}, {3, 0, 0, 0}},
            {"CQ CQ\nDE JA1ZZZ\nK\n", "cq cq\r\nde ja1zzz\r\nk\r\n", {18, 18, 100}, {18, 0, 0, 0}},
            {"A\nB", "A\rB", {3, 2, 66}, {2, 1, 0, 0}}, // a lone CR stays
            {"ABC", "", {0, 0, 0}, {0, 0, 3, 0}},
            {"", "ABC", {3, 0, 0}, {0, 0, 0, 3}},
            {"", "", {0, 0, 0}, {0, 0, 0, 0}},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(r.sent.toHex() + " / " + r.typed.toHex());
            const CopyScore s = ScoreCopy(r.sent.toStdString(), r.typed.toStdString());
            QCOMPARE(s.nSent, static_cast<long long>(r.sent.size()));
            QCOMPARE((QList<int>{int(s.nTyped), int(s.nCorrect), s.nPercent}), r.position);
            QCOMPARE(int(s.abMatch.size()), int(std::min<qsizetype>(r.sent.size(), r.position[0])));
            const Alignment a = AlignCopy(r.sent.toStdString(), r.typed.toStdString());
            QCOMPARE((QList<int>{a.nRight, a.nWrong, a.nMissing, a.nExtra}), r.aligned);
            QCOMPARE(a.nSent, int(r.sent.size()));
            // Every sent byte and every typed position is accounted for once.
            int sentSeen = 0, typedSeen = 0;
            for (const AlignStep& st : a.steps) {
                sentSeen += st.nSent >= 0 ? 1 : 0;
                typedSeen += st.nTyped >= 0 ? 1 : 0;
            }
            QCOMPARE(sentSeen, int(r.sent.size()));
            QCOMPARE(typedSeen, r.position[0]);
        }
    }

    void longAlignmentIsExact()
    {
        // One dropped far in; 513 skipped at the start and retyped at the end.
        for (auto [length, skipped] : {std::pair{6000, 0}, {10000, 513}}) {
            DRAVIK_ROW(QString("%1, %2").arg(length).arg(skipped));
            std::string sent;
            unsigned seed = 12345; // letters without a pattern
            for (int i = 0; i < length; ++i) {
                seed = seed * 1103515245u + 12345u;
                sent += char('A' + (seed >> 16) % 26);
            }
            std::string typed = sent.substr(size_t(skipped));
            if (skipped)
                typed += sent.substr(0, size_t(skipped));
            else
                typed.erase(3000, 1);
            const Alignment a = AlignCopy(sent, typed);
            const int missing = skipped ? skipped : 1;
            QCOMPARE((QList<int>{a.nRight, a.nWrong, a.nMissing, a.nExtra}),
                     (QList<int>{length - missing, 0, missing, skipped}));
        }
    }

    void examScore()
    {
        // Right, wrong, missing, extra; the score: never below 0, an extra
        // character costs 3.
        const struct { int right, wrong, missing, extra, score; } rows[] = {
            {50, 0, 0, 0, 100}, {44, 2, 4, 0, 90}, {43, 2, 5, 0, 89},
            {0, 40, 10, 0, 0}, {50, 0, 0, 4, 88},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString::number(r.score));
            Alignment a;
            a.nRight = r.right;
            a.nWrong = r.wrong;
            a.nMissing = r.missing;
            a.nExtra = r.extra;
            QCOMPARE(ExamScore(a), r.score);
        }
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

    void verdict()
    {
        const char* v0 = "符号を覚えていないな！(正解率 %1%)";
        const char* v1 = "毎日10分は聞き取り練習が必要！(正解率 %1%)";
        const char* v2 = "もう少しがんばって！(正解率 %1%)";
        const char* v3 = "合格可能かも！(正解率 %1%)";
        const char* v4 = "合格まちがいなし！(正解率 %1%)";
        const std::pair<int, const char*> rows[] = {{0, v0},  {19, v0}, {20, v1}, {39, v1}, {40, v2}, {59, v2},
                                                    {60, v3}, {79, v3}, {80, v4}, {100, v4}};
        for (const auto& [p, v] : rows)
            QCOMPARE(QString::fromStdString(FormatVerdict(p)), QString::fromUtf8(v).arg(p));
    }

    void displayUnits()
    {
        // Typed bytes, how many were compared, and the characters on screen:
        // a lead byte (0x81..0x9F, 0xE0..0xFC) takes the next byte along.
        const struct { QByteArray typed; int compared; std::vector<int> units; } rows[] = {
            {"AB\xB1", 3, {1, 1, 1}},           {"A\nB", 3, {1, 1, 1}},         {"\x82\xA0Z", 3, {2, 1}},
            {"A\x82\xA0", 2, {1, 1}},           {"\xE0\x40\xFC\xFC", 4, {2, 2}}, {"\xA0\xDF\xC1", 3, {1, 1, 1}},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(r.typed.toHex());
            QCOMPARE(DisplayUnits(r.typed.toStdString(), r.compared), r.units);
        }
    }
};
DRAVIK_REGISTER_TEST(TestScoring)
#include "training_scoring.moc"
