// SPDX-License-Identifier: GPL-3.0-or-later
// Learner's aids without a display: Koch lessons, effective speed, draws,
// the shaped tone, the options in the profile and the sound-file export.
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "audio/ToneRender.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"
#include "drills/Apply.h"
#include "drills/Conditions.h"
#include "drills/Drills.h"
#include "settings/Options.h"
#include "scoring/CharStats.h"
#include "record/RecordTables.h"
#include "history/SaveFile.h"
#include "settings/Settings.h"
#include "drills/WaveExport.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <set>

class TestTraining : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(ProfileOrganization(), ProfileApplication()).clear();
    }

    void perCharacterRecord()
    {
        CRunStats run;
        auto add = [&](const std::string& sent, const std::string& typed) {
            TestResult t;
            t.align = AlignCopy(sent, typed);
            run.Add(t, sent, typed);
        };
        add("EISH", "EIS5");   // H taken for 5
        add("HHHE", "5S E");   // H as 5, as S, as a space; spaces are not characters
        add("TEST", "test");   // lower case is right
        add("E E\nE", "E E\nE"); // spaces and line breaks are not characters to learn
        QCOMPARE(run.Tests().size(), size_t(4));
        const CharStats& h = run.Chars().at('H');
        QCOMPARE(h.nSent, 4);
        QCOMPARE(h.nRight, 0);
        const auto top = h.TopConfusions();
        QCOMPARE(top.size(), size_t(3));
        QCOMPARE(top[0], (std::pair<std::string, int>{"5", 2}));
        QVERIFY(!run.Chars().count(' ') && !run.Chars().count('\n'));
        QCOMPARE(run.Chars().at('T').nRight, 2);
        // Worst first; weights rise with the error rate and never reach 0.
        QCOMPARE(int(WorstFirst(run.Chars()).front()), int('H'));
        QCOMPARE(run.Chars().at('E').nSent, 6);
        const std::vector<int> w = run.WeakWeights({'H', 'E', 'Q'});
        QCOMPARE(w, (std::vector<int>{100, 10, 10}));
        // The characters' CSV: UTF-8 with a byte-order mark, worst first,
        // the confusions in the window's words.
        const QByteArray csv = CharsCsv(run.Chars());
        QVERIFY(csv.startsWith("\xEF\xBB\xBF" "文字,送信,正解,正解率 (%),よくある間違い\r\nH,4,0,0.0,"));
        QVERIFY(csv.contains("H→5 ×2"));
    }

    void testsCsvHasAFieldForEachColumn()
    {
        HistoryTest whole, stopped;
        whole.bAligned = stopped.bAligned = stopped.bStopped = true;
        whole.nRight = stopped.nRight = 10;
        whole.nKochLesson = 7;
        const QStringList lines = QString::fromUtf8(TestsCsv({whole, stopped})).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        const QStringList header = lines[0].split(','), first = lines[1].split(','), second = lines[2].split(',');
        QVERIFY(first.size() == header.size() && second.size() == header.size());
        const qsizetype score = header.indexOf(QRegularExpression(QStringLiteral("^試験式の点.*")));
        QCOMPARE(first[header.indexOf(QStringLiteral("ｺｯﾎ法のﾚｯｽﾝ"))], QStringLiteral("7"));
        QCOMPARE(first[score], QStringLiteral("100"));
        QCOMPARE(second[score], QString()); // a stopped test has none
    }

    void weakWeightsReachTheDraws()
    {
        CRunStats run;
        TestResult t;
        t.align = AlignCopy("QQQQ", "XXXX");
        run.Add(t, "QQQQ", "XXXX");
        TrainingOptions o;
        o.bWeightWeak = true;
        KeyingOptions k = KeyingFor(o, 12, 100, &run.Chars());
        QCOMPARE(k.drawLatin.chars, WholeSet(false));
        QCOMPARE(k.drawLatin.weights[size_t('Q' - 'A')], 100);
        QCOMPARE(k.drawLatin.weights[0], 10);
        QCOMPARE(k.drawWabun.chars, WholeSet(true));
        o.bWeightWeak = false;
        k = KeyingFor(o, 12, 100, &run.Chars());
        QVERIFY(k.drawLatin.chars.empty()); // off: the designed draw
    }

    void kochLessons()
    {
        // Latin: a permutation of A-Z beginning K M U R. Wabun: exactly the
        // random draw's 46 kana, shortest codes first.
        std::set<unsigned char> latin, wabun{0xA6};
        for (int c = 'A'; c <= 'Z'; ++c)
            latin.insert(static_cast<unsigned char>(c));
        for (int c = 0xB1; c <= 0xDD; ++c)
            wabun.insert(static_cast<unsigned char>(c));
        QCOMPARE(std::set<unsigned char>(kKochLatin, kKochLatin + 26), latin);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(kKochLatin), 4), QByteArray("KMUR"));
        QCOMPARE(std::set<unsigned char>(kKochWabun, kKochWabun + 46), wabun);
        for (int i = 1; i < 46; ++i)
            QVERIFY(std::strlen(MorsePattern(kKochWabun[i - 1])) <= std::strlen(MorsePattern(kKochWabun[i])));
        // A lesson is the first characters of its order.
        const struct { int lesson; bool wabun; int size; } rows[] = {
            {0, false, 0}, {1, false, 2}, {10, false, 11}, {25, false, 26}, {40, false, 26}, {1, true, 2}, {45, true, 46}, {50, true, 46},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString("lesson %1 %2").arg(r.lesson).arg(r.wabun));
            const unsigned char* order = r.wabun ? kKochWabun : kKochLatin;
            QCOMPARE(KochSet(r.lesson, r.wabun), std::vector<unsigned char>(order, order + r.size));
        }
        // The whole Latin set: each set holds the one before it, in the
        // same order, and every character has a sign of the air.
        std::vector<unsigned char> before(kKochLatin, kKochLatin + 26);
        for (int set = kLatinFigures; set <= kLatinProsigns; ++set) {
            const std::vector<unsigned char> order = KochOrder(false, set);
            QCOMPARE(int(std::set<unsigned char>(order.begin(), order.end()).size()), int(order.size()));
            std::vector<unsigned char> kept;
            std::copy_if(order.begin(), order.end(), std::back_inserter(kept),
                         [&](unsigned char c) { return std::find(before.begin(), before.end(), c) != before.end(); });
            QCOMPARE(kept, before);
            for (unsigned char c : order)
                QVERIFY(*FullSetPattern(c) != '\0');
            before = order;
        }
        QCOMPARE(int(KochOrder(false, kLatinFigures).size()), 36);
        QCOMPARE(int(before.size()), 55);
        // Wabun's signs follow its kana, each with a sign of Wabun.
        const std::vector<unsigned char> wabunSigns = KochOrder(true, 1);
        QCOMPARE(int(wabunSigns.size()), 65);
        QVERIFY(std::equal(kKochWabun, kKochWabun + 46, wabunSigns.begin()));
        for (unsigned char c : wabunSigns)
            QVERIFY(*FullSetPattern(c, true) != '\0');
        // Lesson 0 of a set beyond the designed one draws the whole of it,
        // and only the mode's own script keys the signs of the air.
        TrainingOptions o;
        o.nLatinSet = kLatinPunctuation;
        QCOMPARE(KeyingFor(o, 20, 60).drawLatin.chars, KochOrder(false, kLatinPunctuation));
        QVERIFY(KeyingFor(o, 20, 60).drawWabun.chars.empty());
        const struct { int mode, latin, wabun; bool full; } scripts[] = {
            {kLatinRandom1, 0, 1, false}, {kLatinRandom1, 3, 0, true}, {kWabunRandom5, 3, 0, false},
            {kWabunRandom5, 0, 1, true}, {kLatinPhrase, 1, 0, true},
        };
        for (const auto& r : scripts) {
            CMorseEngine e;
            e.SetSettings({r.mode, 800, 20, 20});
            o.nLatinSet = r.latin;
            o.nWabunSet = r.wabun;
            ApplyTrainingOptions(o, e);
            QCOMPARE(e.GetKeyingOptions().bFullSet, r.full);
        }
    }

    void extraGapsInTheKeying()
    {
        // Extra: 0 none, 1 character, 2 word, 3 word less character (the
        // letter before a phrase's space has its character gap already).
        const struct { int mode; char ch; int groupPos; int extra; } rows[] = {
            {0, 'E', 0, 1}, {1, 'E', 0, 1}, {1, 'E', 4, 2}, {2, 'E', 0, 1}, {2, ' ', 0, 3}, {5, '\n', 0, 3}, {2, ',', 0, 0},
        };
        static unsigned char buf[kToneBufSamples];
        for (const auto& r : rows) {
            DRAVIK_ROW(QString("mode %1 '%2' at %3").arg(r.mode).arg(r.ch).arg(r.groupPos));
            CMorseEngine e;
            e.SetSettings({r.mode, 800, 12, 20});
            g_nGroupPos = r.groupPos;
            const int plain = e.MakeWave(buf, 800, 100, static_cast<unsigned char>(r.ch));
            KeyingOptions k;
            k.nExtraCharGap = 1000;
            k.nExtraWordGap = 3000;
            e.SetKeyingOptions(k);
            g_nGroupPos = r.groupPos;
            const int stretched = e.MakeWave(buf, 800, 100, static_cast<unsigned char>(r.ch));
            QCOMPARE(stretched - plain, (QList<int>{0, 1000, 3000, 2000})[r.extra]);
        }
    }

    void draws()
    {
        // A lesson's characters alone, each drawn; weights in proportion.
        for (const auto& [chars, weights] : {std::pair<std::string, std::vector<int>>{"KM", {}}, {"KMU", {1, 2, 7}}}) {
            DRAVIK_ROW(QString::fromStdString(chars));
            const DrawSet set{std::vector<unsigned char>(chars.begin(), chars.end()), weights};
            std::srand(99);
            std::map<unsigned char, int> seen;
            const int n = 20000;
            for (int i = 0; i < n; ++i)
                ++seen[DrawFrom(set, false)];
            QCOMPARE(seen.size(), chars.size()); // only these, all of them
            for (size_t i = 0; i < weights.size(); ++i)
                QVERIFY(std::abs(double(seen[static_cast<unsigned char>(chars[i])]) / n - weights[i] / 10.0) < 0.02);
        }
    }

    void conditionsInForceAndTheirSeed()
    {
        // Defaults key and render the designed test sample for sample
        // (bench/keying_digest); here: no conditions, nor their seed.
        QVERIFY(ConditionsText(TrainingOptions{}, 5).isEmpty());
        // A new test draws new conditions unless the seed is fixed.
        TrainingOptions o;
        o.nQrmStations = 1;
        QVERIFY(TestSeed(o) != TestSeed(o));
        o.nBandSeed = 42;
        QCOMPARE(TestSeed(o), 42u);
        QCOMPARE(ConditionsText(o, 42), QStringLiteral("\nQrmStations=1\nQrmLevelDb=-10\nBandSeed=42"));
    }

    void profileValues()
    {
        // Key, what the profile holds (null: absent), what is loaded: a
        // value that does not parse or is out of range is its default.
        const struct { const char *key, *stored; int loaded; } rows[] = {
            {"WeightWeak", "maybe", 0}, {"WeightWeak", "no", 0},          {"WeightWeak", "true", 1},
            {"EdgeMs", "abc", 5},       {"EdgeMs", "50", 5},              {"EdgeMs", "2.5", 5},
            {"EdgeMs", "10", 10},       {"EffectiveWpm", "1", 0},         {"EffectiveWpm", "2", 2},
            {"KochLesson", "-2", 0},    {"KochLesson", "4", 4},           {"ToneShape", "round", 0},
            {"ToneShape", "shaped", 1}, {"NoiseSnrDb", nullptr, kNoiseOff}, {"NoiseSnrDb", "5", 5},
            {"NoiseSnrDb", "-1000", kNoiseOff}, {"NoiseSnrDb", "-20", kNoiseOff}, {"NoiseSnrDb", "loud", kNoiseOff},
            {"FilterHz", "1", 0},       {"FilterHz", "150", 150},         {"FilterHz", "0", 0},
            {"QrmStations", "9", 0},    {"QsbPeriodS", "1", 10},          {"BandSeed", "2147483647", 2147483647},
            {"QrmLevelDb", "3", 3},
        };
        const std::map<QString, std::function<int(const TrainingOptions&)>> value = {
            {"WeightWeak", [](auto& o) { return int(o.bWeightWeak); }}, {"EdgeMs", [](auto& o) { return o.nEdgeMs; }},
            {"EffectiveWpm", [](auto& o) { return o.nEffectiveWpm; }}, {"KochLesson", [](auto& o) { return o.nKochLesson; }},
            {"ToneShape", [](auto& o) { return int(o.eToneShape); }}, {"NoiseSnrDb", [](auto& o) { return o.nNoiseSnrDb; }},
            {"FilterHz", [](auto& o) { return o.nFilterHz; }}, {"QrmStations", [](auto& o) { return o.nQrmStations; }},
            {"QsbPeriodS", [](auto& o) { return o.nQsbPeriodS; }}, {"BandSeed", [](auto& o) { return o.nBandSeed; }},
            {"QrmLevelDb", [](auto& o) { return o.nQrmLevelDb; }},
        };
        QSettings profile(ProfileOrganization(), ProfileApplication());
        for (const auto& [key, stored, loaded] : rows) {
            DRAVIK_ROW(QString("%1=%2").arg(key, stored));
            profile.clear();
            if (stored)
                profile.setValue(QString("Options/") + key, stored);
            profile.sync();
            const TrainingOptions o = TrainingOptions::Load();
            QCOMPARE(value.at(key)(o), loaded);
            // Saved to an empty profile and loaded again, the same; noise off
            // is the key's absence.
            profile.clear();
            profile.sync();
            QVERIFY(o.Save());
            QCOMPARE(TrainingOptions::Load(), o);
            profile.sync();
            QCOMPARE(profile.contains("Options/NoiseSnrDb"), o.HasNoise());
            if (QString(key) == "ToneShape")
                QCOMPARE(profile.value("Options/ToneShape").toString(), QLatin1String(loaded ? "shaped" : "square"));
        }
        profile.clear();
        QCOMPARE(TrainingOptions::Load(), TrainingOptions{});
    }

    void saveThatFailsSaysSo()
    {
        // The profile's folder cannot be made: a file stands in its way.
        const QString blocker = m_dir.filePath("not-a-folder");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker + "/config");
        const bool saved = TrainingOptions{}.Save();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        QVERIFY(!saved);
    }

    void profileThatIsNoFileIsLeftAlone()
    {
        // A FIFO where the profile belongs would hang Qt's reader: it is
        // neither read nor written, and stays as it was.
        const QString path = ProfileFilePath();
        QCOMPARE(path, QSettings(ProfileOrganization(), ProfileApplication()).fileName());
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const auto removeFifo = qScopeGuard([&] { QFile::remove(path); });
        QVERIFY(!ProfileFileUsable());
        QCOMPARE(TrainingOptions::Load(), TrainingOptions{});
        QVERIFY(!TrainingOptions{}.Save());
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
    }

    void exportWritesAWholeTest()
    {
        // Mode, edge (0: square) and volume.
        for (auto [mode, edgeMs, volume] : {std::tuple{0, 0, 100}, {4, 5, 100}, {0, 2, 50}}) {
            DRAVIK_ROW(QString("mode %1, edge %2, volume %3").arg(mode).arg(edgeMs).arg(volume));
            CMorseEngine e;
            e.SetSettings({mode, 800, 60, volume});
            TrainingOptions o;
            o.eToneShape = edgeMs ? ToneShape::Shaped : ToneShape::Square;
            o.nEdgeMs = edgeMs ? edgeMs : 5;
            const QString path = m_dir.filePath(QStringLiteral("test%1-%2.wav").arg(mode).arg(edgeMs));
            int calls = 0;
            const WaveExportResult r = ExportTestAsWave(e, o, path, [&](int) { return ++calls > 0; });
            QCOMPARE(r.eStatus, WaveExportResult::Written);
            QCOMPARE(int(r.strSent.size()), mode == 4 ? 59 : 50);
            QCOMPARE(calls, mode == 4 ? 52 : 50); // a buffer each, start signals too
            const QByteArray wav = ReadAll(path);
            const std::vector<int> pcm = WavePcm(wav);
            QCOMPARE(wav.left(16), QByteArray("RIFF") + wav.mid(4, 4) + "WAVEfmt ");
            const int rate = qFromLittleEndian<quint32>(wav.constData() + 24);
            QCOMPARE(rate, edgeMs ? 48000 : 8000);
            QCOMPARE(qFromLittleEndian<quint16>(wav.constData() + 34), quint16(16));
            const quint32 data = qFromLittleEndian<quint32>(wav.constData() + 40);
            QCOMPARE(qsizetype(data) + 44, wav.size());
            QCOMPARE(qFromLittleEndian<quint32>(wav.constData() + 4), data + 36);
            QCOMPARE(QString::fromUtf8(ReadAll(TextPathFor(path))).size(), qsizetype(mode == 4 ? 59 : 50));
            QVERIFY(!e.HasPhraseFile());
            // Its samples are the device's (bench/keying_digest, tone_bench).
            QCOMPARE(pcm.size(), size_t(data / 2));
        }
    }

    void exportThatDoesNotFinishKeepsTheOldFiles()
    {
        const struct { const char* how; int status; } rows[] = {
            {"cancel", WaveExportResult::Cancelled},
            {"no phrase file", WaveExportResult::NoPhraseFile},
            {"phrase file beside", WaveExportResult::PhraseFileInUse},
            {"disk full", WaveExportResult::Failed},
            {"text is a folder", WaveExportResult::Failed},
        };
        for (const auto& [how, status] : rows) {
            DRAVIK_ROW(how);
            QTemporaryDir dir;
            const QString wave = dir.filePath("drill.wav"), text = dir.filePath("drill.txt");
            const bool bFolder = QString(how) == "text is a folder";
            QVERIFY(SaveWhole(wave, "OLD WAVE", nullptr));
            QVERIFY(bFolder ? QDir().mkpath(text) : SaveWhole(text, "OLD TEXT", nullptr));
            const bool bBeside = QString(how) == "phrase file beside";
            g_strPhraseFile = QFile::encodeName(bBeside ? text : dir.filePath("phrases.txt")).toStdString();
            CMorseEngine e;
            e.SetSettings({QString(how) == "no phrase file" ? kLatinPhrase : kLatinRandom1, 800, 60, 20});
            int calls = 0;
            WaveExportResult r;
            {
                // A file may grow to 64 KiB: the disk fills as the sound is written.
                CFileSizeLimit limit(QString(how) == "disk full" ? 64 * 1024 : 0);
                r = ExportTestAsWave(e, {}, wave, [&](int) { return QString(how) != "cancel" || ++calls < 10; });
            }
            QCOMPARE(int(r.eStatus), status);
            // The error is the disk's, not the cancel that the save makes of it.
            if (status == WaveExportResult::Failed)
                QVERIFY(!r.strError.isEmpty() && !r.strError.contains("cancel", Qt::CaseInsensitive)
                        && !r.strError.contains("キャンセル"));
            QCOMPARE(ReadAll(wave), QByteArray("OLD WAVE"));
            if (!bFolder)
                QCOMPARE(ReadAll(text), QByteArray("OLD TEXT"));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), bFolder ? 1 : 2);
        }
    }

    void saveWholeOnAFullDisk()
    {
        // The record's CSV and every other whole file: the old one stays,
        // whether the flush (within the write buffer) or a write fails.
        const QString path = m_dir.filePath("record.csv");
        for (int size : {8000, 100000}) {
            DRAVIK_ROW(QString::number(size));
            QVERIFY(SaveWhole(path, "OLD", nullptr));
            QString error;
            bool saved;
            {
                CFileSizeLimit limit(4096);
                saved = SaveWhole(path, QByteArray(size, 'x'), &error);
            }
            QVERIFY(!saved);
            // The system's reason, not Qt's "Unknown error".
            QVERIFY2(!error.isEmpty() && !error.contains("cancel", Qt::CaseInsensitive) && error != QFile().errorString(),
                     qPrintable(error));
            QCOMPARE(ReadAll(path), QByteArray("OLD"));
        }
    }
};
DRAVIK_REGISTER_TEST(TestTraining)
#include "training_options.moc"
