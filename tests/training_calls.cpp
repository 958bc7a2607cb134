// SPDX-License-Identifier: GPL-3.0-or-later
// Call signs and words: what is generated holds to the formats (checked by rules
// written apart from the generator: Japan's amateur formats and the ITU's
// prefix series), and a run's speed, score and record follow the answers.
// How the speed settles is measured in bench/adaptive_bench.
#include "TestRegistry.h"
#include "drills/ItemRun.h"
#include "drills/Apply.h"
#include "drills/Drills.h"
#include "drills/QsoText.h"
#include "engine/MorseTable.h"
#include "engine/PracticeModes.h"

#include <QRegularExpression>
#include <QtTest>

#include <map>

namespace {

// Japan's formats, from its rules on amateur call signs.
const char* const kJapanRules[][2] = {
    {"individual", "^J[AE-S][0-9][A-X][A-Z]{2}(/[0-9])?$"},
    {"JA two letters", "^JA[0-9][A-Z]{2}(/[0-9])?$"},
    {"club", "^J[AE-OQ-S][0-9][YZ][A-Z]{2}$"},
    {"7K-7N", "^7[K-N][1-4][A-X][A-Z]{2}(/[0-9])?$"},
    {"7J", "^7J[0-9][A-D][A-Z]{2}(/[0-9])?$"},
    {"Ogasawara", "^JD1[A-X][A-Z]{2}$"},
    {"special", "^8[J-N][0-9][A-Z]{1,3}$"},
};

// Series of the ITU's table of allocation (first two characters), and the
// letters and figures allocated whole to one administration.
const char* const kItuSeries[] = {
    "AA-AL", "VA-VG", "DA-DR", "EA-EH", "ON-OT", "PA-PI", "OF-OJ", "SA-SM", "LA-LN", "OK-OL", "SN-SR", "HA-HA",
    "YO-YR", "LZ-LZ", "S5-S5", "9A-9A", "OE-OE", "HB-HB", "EI-EJ", "OU-OZ", "CQ-CU", "SV-SZ", "YL-YL", "ES-ES",
    "LY-LY", "OM-OM", "YT-YU", "UA-UI", "UR-UZ", "VH-VN", "ZK-ZM", "HL-HL", "DS-DT", "DU-DZ", "YB-YH", "9M-9M",
    "HS-HS", "E2-E2", "VT-VW", "4X-4X", "ZR-ZU", "PP-PY", "LO-LW", "XA-XI", "CA-CE",
};
const QString kWholeSeries = QStringLiteral("BFGIKMNRW2");

bool Assignable(const QString& suffix)
{
    static const QRegularExpression bad(QStringLiteral("^(SOS|OSO|TTT|XXX|Q[R-T][A-Z])$"));
    return !bad.match(suffix).hasMatch();
}

// The rule a call keeps to, or empty.
QString RuleOf(const QString& call)
{
    for (const auto& rule : kJapanRules)
        if (QRegularExpression(QString::fromLatin1(rule[1])).match(call).hasMatch())
            return Assignable(call.section(QLatin1Char('/'), 0, 0).mid(3)) ? QString::fromLatin1(rule[0]) : QString();
    static const QRegularExpression world(QStringLiteral("^([A-Z0-9]{1,2}?)[0-9]([A-Z]{1,3})$"));
    const QRegularExpressionMatch m = world.match(call);
    if (!m.hasMatch() || QRegularExpression(QStringLiteral("^(J|7[J-N]|8[J-N])")).match(call).hasMatch())
        return {};
    const QString prefix = m.captured(1);
    if (prefix.isEmpty())
        return {};
    if (kWholeSeries.contains(prefix[0]))
        return QStringLiteral("world");
    for (const char* series : kItuSeries) {
        const QString s = QString::fromLatin1(series);
        if (prefix.size() == 2 && prefix >= s.left(2) && prefix <= s.right(2))
            return QStringLiteral("world");
    }
    return {};
}

} // namespace

class TestCalls : public QObject {
    Q_OBJECT
private slots:
    void generatedCallsKeepToTheFormats()
    {
        CBandRandom random(7);
        std::map<QString, int> rules;
        int portable = 0;
        for (int i = 0; i < 10000; ++i) {
            const QString call = QString::fromStdString(CallSign(random));
            const QString rule = RuleOf(call);
            QVERIFY2(!rule.isEmpty(), qPrintable(call));
            ++rules[rule];
            portable += call.contains(QLatin1Char('/'));
        }
        // Every format is heard, the Japanese ones most.
        QCOMPARE(int(rules.size()), int(std::size(kJapanRules)) + 1);
        QVERIFY2(rules[QStringLiteral("world")] > 3000 && rules[QStringLiteral("world")] < 5000,
                 qPrintable(QString::number(rules[QStringLiteral("world")])));
        QVERIFY(portable > 200);
    }

    void wordsAreKeyable()
    {
        CBandRandom random(5);
        int abbreviations = 0;
        for (int i = 0; i < 2000; ++i) {
            const std::string word = PracticeWord(random);
            QVERIFY(!word.empty());
            for (char c : word)
                QVERIFY2(*MorsePattern(static_cast<unsigned char>(c)) != '\0', word.c_str());
            abbreviations += word.starts_with('Q') || std::isdigit(static_cast<unsigned char>(word[0]));
        }
        QVERIFY(abbreviations > 200 && abbreviations < 1800); // both kinds come
    }

    void qsosAreKeyable()
    {
        // Every byte a sign of its set (or a space or line break); prosigns
        // as <AR> only where the set has them.
        for (const QsoKind kind : {QsoKind::RagChew, QsoKind::Contest, QsoKind::Dx}) {
            for (bool prosigns : {false, true}) {
                CBandRandom random(uint32_t(int(kind) * 2 + prosigns + 1));
                const std::string text = QsoText(kind, random, prosigns);
                const std::string keyed = prosigns ? FoldProsigns(text) : text;
                QCOMPARE(keyed.find('<') == std::string::npos, true);
                QCOMPARE(keyed.size() < text.size(), prosigns && kind == QsoKind::RagChew);
                for (char c : keyed) {
                    const auto b = static_cast<unsigned char>(c);
                    QVERIFY2(c == ' ' || c == '\n' || *(prosigns ? FullSetPattern(b) : MorsePattern(b)) != '\0',
                             text.c_str());
                }
            }
        }
        // 和文: between Japanese stations, each byte a sign of Wabun's set.
        for (bool signs : {false, true}) {
            CBandRandom random(9 + signs);
            const std::string text = WabunQsoText(random, signs);
            QVERIFY(text.starts_with("CQ CQ CQ DE J") || text.starts_with("CQ CQ CQ DE 7")
                    || text.starts_with("CQ CQ CQ DE 8"));
            const std::string keyed = signs ? FoldProsigns(text) : text;
            QCOMPARE(keyed.find(char(kProsignRaTa)) != std::string::npos, signs);
            for (char c : keyed)
                QVERIFY(c == ' ' || c == '\n' || *FullSetPattern(static_cast<unsigned char>(c), signs) != '\0');
        }
        // The designed test keeps its phrase file.
        TrainingOptions o;
        QVERIFY(PhraseTextFor(o, kLatinPhrase, 1).empty());
        o.nPhraseText = 1;
        QVERIFY(PhraseTextFor(o, kExamWabun, 1).empty());
        QVERIFY(!PhraseTextFor(o, kLatinPhrase, 1).empty());
        QCOMPARE(PhraseTextFor(o, kWabunPhrase, 1).find('\xA5') != std::string::npos, true);
    }

    void speedFollowsTheAnswers()
    {
        CAdaptiveSpeed speed(20);
        for (int i = 0; i < 3; ++i)
            speed.Answer(true);
        const int up = speed.Wpm();
        QVERIFY(up > 20);
        QVERIFY(speed.Reversals().empty());
        speed.Answer(false);
        QCOMPARE(speed.Reversals(), std::vector<int>{up});
        QVERIFY(speed.Wpm() < up);
        for (int i = 0; i < 100; ++i)
            speed.Answer(false);
        QCOMPARE(speed.Wpm(), 5);
        for (int i = 0; i < 200; ++i)
            speed.Answer(true);
        QCOMPARE(speed.Wpm(), 120);
    }

    void runScoresAndRecordsItsAnswers()
    {
        CItemRun run(kLatinCallSigns, 25, 3);
        const std::string first = run.Call();
        std::string lower = first;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        QVERIFY(run.Answer(" " + lower + " ")); // case and spaces do not matter
        const int afterRight = run.Score();
        QVERIFY(afterRight > 0);
        QVERIFY(run.Wpm() > 25);
        QVERIFY(!run.Answer(run.Call() + "X"));
        QCOMPARE(run.Score(), afterRight); // a wrong answer scores nothing
        QCOMPARE(run.TopWpm(), 25);

        const HistoryTest stopped = run.Record(true, 12.5);
        QCOMPARE(stopped.nMode, int(kLatinCallSigns));
        QCOMPARE(stopped.strSent, first + ' ' + run.Items()[1].strCall);
        QCOMPARE(stopped.nRight, int(stopped.strSent.size())); // all of it, and the X over
        QCOMPARE(stopped.nExtra, 1);
        QCOMPARE(RunScore(stopped), afterRight);

        while (!run.Done())
            run.Answer(run.Call());
        QCOMPARE(int(run.Items().size()), CItemRun::kItems);
        QVERIFY(!run.Answer("X")); // nothing after the last
        const HistoryTest whole = run.Record(false, 100);
        // Only whole runs have a top score, the best first.
        CItemRun words(kLatinWords, 25, 3);
        words.Answer(words.Call());
        const HistoryTest ofWords = words.Record(false, 1);
        const std::vector<HistoryTest> top = TopRuns({stopped, whole, ofWords, stopped}, kLatinCallSigns, 10);
        QCOMPARE(int(top.size()), 1);
        QCOMPARE(RunScore(top[0]), run.Score());
        QCOMPARE(int(TopRuns({ofWords, whole}, kLatinWords, 10).size()), 1);
    }
};

DRAVIK_REGISTER_TEST(TestCalls)
#include "training_calls.moc"
