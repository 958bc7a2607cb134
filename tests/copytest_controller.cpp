// SPDX-License-Identifier: GPL-3.0-or-later
// The copy test without widgets: Start, Stop and Evaluate against a form
// that records what it is asked to show and a device that records what
// the stream writes.
#include "BoxRecorder.h"
#include "RecordingWaveOut.h"
#include "SentText.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "copytest/CopyTest.h"
#include "settings/Settings.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

// A form that keeps what it shows.
class CFakeForm : public QObject, public CCopyTest {
public:
    // The form's boxes and controls.
    int mode = kLatinRandom1;
    int freq = 800;
    int wpm = 12;
    std::string typed;
    bool evaluate = false;
    bool results = true;
    bool inputOpen = false;
    int graphClears = 0;
    int buffersFed = 0;
    int storedAtBox = -1; // tests in the history when the last box showed
    QList<QPair<int, int>> kochSteps;
    std::vector<ResultRun> shown;
    QList<ShownBox> boxes;

    CFakeForm()
    {
        g_crBlack = 0x000000;
        g_crGreen = 0x008000;
        g_crRed = 0x0000FF;
        SetSettings({kLatinRandom1, 800, 12, 20});
    }
    ~CFakeForm() override { OnDestroy(); }
    bool AtRest() const { return !IsPlaying() && g_hWaveOut == nullptr; }

protected:
    bool UpdateData(bool bSave) override
    {
        if (bSave) {
            SetFormValues({mode, freq, wpm, Volume()});
        } else {
            freq = Freq();
            wpm = Wpm();
        }
        return true;
    }
    void ShowClampedSettings() override {}
    std::string TakeTyped() override { return typed; }
    void ClearAnswer() override { typed.clear(); }
    void FocusAnswer() override {}
    void SwitchInputMode() override { inputOpen = true; }
    void RestoreInputMode() override { inputOpen = false; }
    void EnableEvaluate(bool b) override { evaluate = b; }
    bool IsEvaluateEnabled() const override { return evaluate; }
    void ShowResults(bool b) override { results = b; }
    void ClearGraph() override { ++graphClears; }
    void AppendResultRuns(const std::vector<ResultRun>& runs) override
    {
        shown.insert(shown.end(), runs.begin(), runs.end());
    }
    void ShowBox(const QString& text, const QString& caption, unsigned style) override
    {
        boxes.append({text, caption, style});
        storedAtBox = History() ? int(History()->Tests().size()) : -1;
    }
    void OnKochAdvanced(int from, int to) override { kochSteps.append({from, to}); }
    WaveOutWindow WindowHandle() override { return {this, this}; }
    void OnBufferWritten() override { ++buffersFed; }
};

// Neighbours of one colour, as one run on the screen; empty runs go.
static std::vector<ResultRun> Merged(const std::vector<ResultRun>& runs)
{
    std::vector<ResultRun> out;
    for (const ResultRun& r : runs) {
        if (!out.empty() && out.back().cr == r.cr)
            out.back().text += r.text;
        else if (!r.text.empty())
            out.push_back(r);
    }
    return out;
}

static const QString kNotOpened =
    QStringLiteral("音声出力デバイスを開けませんでした。\nサウンドの設定を確かめてから、もう一度ｽﾀｰﾄを押してください。");

class TestCopyTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::string WritePhrase(const QByteArray& bytes) { return PhraseFile(m_dir.filePath("phrase.txt"), bytes); }

private slots:
    void initTestCase() { SetStartPause(0); }
    void init() { CRecordingWaveOut::Install(true); }
    void cleanup()
    {
        // Released devices deliver their close and go.
        QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; }));
        CRecordingWaveOut::Uninstall();
    }

    // ---- Start and Stop ----

    void startClampsAndDerivesTheDot()
    {
        // Form's frequency and speed; what Start takes and the dot in ms.
        const struct { int freq, wpm, nFreq, nWpm, dotMs; } rows[] = {
            {100, 0, 250, 5, 243}, {5000, 200, 1000, 120, 10}, {-5, -3, 250, 5, 243}, {800, 12, 800, 12, 100},
            {700, 7, 700, 7, 172}, {700, 13, 700, 13, 92},     {700, 35, 700, 35, 34},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString("%1 Hz, %2 wpm").arg(r.freq).arg(r.wpm));
            CRecordingWaveOut::Install(false);
            CFakeForm f;
            f.freq = r.freq;
            f.wpm = r.wpm;
            f.typed = "EARLY";
            f.OnStart();
            QCOMPARE(f.typed, std::string()); // typed before Start: gone
            QCOMPARE(f.Settings(), (TestSettings{kLatinRandom1, r.nFreq, r.nWpm, 20}));
            QCOMPARE(f.DotMs(), r.dotMs);
            QCOMPARE(f.freq, r.nFreq); // the boxes show what Start took
            QCOMPARE(f.wpm, r.nWpm);
            QVERIFY(f.boxes.isEmpty() && f.IsPlaying());
            QVERIFY(!f.results && !f.evaluate && f.inputOpen);
            QCOMPARE(f.graphClears, 1);
            QCOMPARE(CRecordingWaveOut::s_log.volumes.front(), 13107u | (13107u << 16));
            f.OnStop();
            QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; }));
        }
    }

    void optionsReachTheDevice()
    {
        // The tone shaping goes to the device as it opens; the default is
        // the square wave.
        CRecordingWaveOut::Install(false);
        CFakeForm f;
        f.OnStart();
        f.OnStop();
        TrainingOptions o;
        o.eToneShape = ToneShape::Shaped;
        o.nEdgeMs = 3;
        f.SetOptions(o);
        f.OnStart();
        f.OnStop();
        QCOMPARE(CRecordingWaveOut::s_log.shapings,
                 (std::vector<ToneShaping>{{}, {ToneShape::Shaped, 3, 800, {}}}));
    }

    void startDuringATestIsIgnored()
    {
        CRecordingWaveOut::Install(false);
        CFakeForm f;
        f.OnStart();
        const std::string sent = f.Sent();
        f.typed = "ABC";
        f.freq = 300;
        f.OnStart();
        QCOMPARE(f.Sent(), sent);
        QCOMPARE(f.typed, std::string("ABC"));
        QCOMPARE(f.Settings().nFreq, 800);
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 1);
        f.OnStop();
    }

    void missingPhraseFileKeepsTheFormAtRest()
    {
        CFakeForm f;
        f.OnStart(); // a finished test leaves Evaluate enabled
        QVERIFY(RunUntil([&] { return f.AtRest(); }));
        QVERIFY(f.evaluate);
        g_strPhraseFile = QFile::encodeName(m_dir.filePath("missing.txt")).toStdString();
        f.mode = kLatinPhrase;
        f.freq = 5000;
        f.OnStart();
        QCOMPARE(f.boxes.size(), 1);
        QCOMPARE(f.boxes[0].text, QStringLiteral("定型文ファイルがないよ"));
        QCOMPARE(f.boxes[0].caption, QStringLiteral("警告！"));
        QCOMPARE(f.boxes[0].style, MB_OK | MB_ICONEXCLAMATION);
        QVERIFY(!f.IsPlaying() && f.results && f.evaluate);
        QVERIFY(f.Sent().empty());
        QCOMPARE(f.freq, 1000);
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 1);
    }

    void deviceThatDoesNotOpen()
    {
        // Refused at once, or found later in the background; Evaluate as
        // it was before.
        for (bool inBackground : {false, true})
            for (bool evaluateBefore : {false, true}) {
                DRAVIK_ROW(QString("background %1, evaluate %2").arg(inBackground).arg(evaluateBefore));
                CRecordingWaveOut::Install(false);
                CRecordingWaveOut::s_bRefuseOpen = !inBackground;
                CFakeForm f;
                f.evaluate = evaluateBefore;
                f.OnStart();
                if (inBackground)
                    CRecordingWaveOut::s_pLast->Fail(true);
                QVERIFY(RunUntil([&] { return !f.boxes.isEmpty(); }));
                QCOMPARE(f.boxes.size(), 1);
                QCOMPARE(f.boxes[0].text, kNotOpened);
                QCOMPARE(f.boxes[0].caption, QStringLiteral("警告！"));
                QVERIFY(f.AtRest() && f.results && !f.inputOpen);
                QCOMPARE(f.evaluate, evaluateBefore);
                QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; }));
            }
    }

    void stopMidCharacterScoresWhatWasHeardWhole()
    {
        // Buffers played whole before Stop, and what is scored: the cut-off
        // character and the one keyed after it are not charged. Stop resets
        // the device once, a second Stop does nothing.
        const struct { int played; const char* heard; } rows[] = {{0, ""}, {2, "CQ"}, {4, "CQ C"}};
        for (const auto& r : rows) {
            DRAVIK_ROW(QString::number(r.played));
            CRecordingWaveOut::Install(false);
            g_strPhraseFile = WritePhrase("CQ CQ DE JA1ZZZ");
            CHistory history;
            QCOMPARE(history.Open(m_dir.filePath(QStringLiteral("heard-%1.sqlite").arg(r.played))), CHistory::Opened::Fresh);
            CFakeForm f;
            f.mode = kLatinPhrase;
            f.SetHistory(&history, "heard");
            f.OnStart();
            for (int k = 0; k < r.played; ++k) {
                CRecordingWaveOut::s_pLast->Complete();
                QVERIFY(RunUntil([&] { return CRecordingWaveOut::s_log.nWrites == k + 2; }));
            }
            f.OnStop();
            QVERIFY(!f.IsPlaying() && f.evaluate && f.results && !f.inputOpen && !f.HasPhraseFile());
            f.OnStop();
            QVERIFY(RunUntil([&] { return f.AtRest(); }));
            const WaveOutLog& log = CRecordingWaveOut::s_log;
            QVERIFY(log.nResets == 1 && log.nCloses == 1 && log.nWrites == r.played + 1 && log.nBadCalls == 0);
            QCOMPARE(f.HeardSent(), std::string(r.heard));
            f.typed = r.heard;
            f.OnEvaluate();
            const std::vector<HistoryTest> stored = history.Tests({}, -1, {}, true);
            QCOMPARE(int(stored.size()), *r.heard ? 1 : 0); // nothing heard: nothing to store
            if (stored.empty())
                continue;
            QCOMPARE(stored[0].strSent, std::string(r.heard));
            QVERIFY(stored[0].bStopped && stored[0].Accuracy() == 100.0 && !stored[0].HasExamScore());
        }
    }

    void stopInTheStartPause()
    {
        // The window stays live in the second before the first tone; Stop
        // then ends the test with nothing written.
        SetStartPause(60);
        CRecordingWaveOut::Install(false);
        CFakeForm f;
        f.OnStart();
        QVERIFY(f.IsPlaying());
        QCOMPARE(CRecordingWaveOut::s_log.nWrites, 0);
        f.OnStop();
        SetStartPause(0);
        QVERIFY(f.AtRest());
        QVERIFY(f.evaluate && f.results && !f.inputOpen);
        QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; }));
        QTest::qWait(80); // past the pause: still nothing written
        QCOMPARE(CRecordingWaveOut::s_log.nWrites, 0);
        // Without Stop the first buffer comes after the pause.
        SetStartPause(30);
        f.OnStart();
        SetStartPause(0);
        QCOMPARE(CRecordingWaveOut::s_log.nWrites, 0);
        QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nWrites == 1; }));
        QCOMPARE(f.buffersFed, 1);
        f.OnStop();
    }

    void failingDeviceEndsTheTestAsStopWould()
    {
        // While playing, or with the last character draining.
        const struct { int mode; bool textEnded; } rows[] = {
            {kLatinRandom1, false}, {kWabunRandom5, false}, {kLatinPhrase, false}, {kLatinRandom1, true},
        };
        for (const auto& [mode, textEnded] : rows) {
            DRAVIK_ROW(QString("mode %1, ended %2").arg(mode).arg(textEnded));
            CRecordingWaveOut::Install(false);
            g_strPhraseFile = WritePhrase("CQ CQ DE JA1ZZZ");
            CFakeForm f;
            f.mode = mode;
            f.OnStart();
            CRecordingWaveOut* dev = CRecordingWaveOut::s_pLast;
            for (int i = 0; i < (textEnded ? 60 : 3) && f.IsPlaying(); ++i) {
                dev->Complete();
                QVERIFY(RunUntil([&] { return dev->Pending(); }));
            }
            QCOMPARE(f.IsPlaying(), !textEnded);
            const std::string sent = f.Sent();
            QVERIFY(!sent.empty());
            dev->Fail();
            QVERIFY(RunUntil([&] { return !f.boxes.isEmpty(); }));
            QVERIFY(f.boxes[0].text.startsWith(QStringLiteral("音声出力が止まったため、テストを終了しました。")));
            QCOMPARE(f.boxes[0].style, MB_OK | MB_ICONEXCLAMATION);
            QVERIFY(f.AtRest() && f.evaluate && f.results && !f.HasPhraseFile());
            QCOMPARE(f.Sent(), sent); // kept for Evaluate
            QCOMPARE(f.inputOpen, textEnded);
            QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; })); // released
            QCOMPARE(CRecordingWaveOut::s_log.nBadCalls, 0);
            // A later Start opens a new device.
            f.mode = kLatinRandom1;
            f.OnStart();
            QVERIFY(f.IsPlaying());
            QCOMPARE(CRecordingWaveOut::s_log.nOpens, 2);
            f.OnStop();
            QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; }));
        }
    }

    void startWhileTheLastTestDrains()
    {
        CRecordingWaveOut::Install(false);
        CFakeForm f;
        f.OnStart();
        CRecordingWaveOut* first = CRecordingWaveOut::s_pLast;
        f.OnStop(); // the device's done and close are still queued
        f.OnStart();
        QVERIFY(CRecordingWaveOut::s_pLast != first);
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 2);
        QVERIFY(f.IsPlaying() && !f.results && !f.evaluate);
        // The old device's late notices change nothing.
        QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 1; }));
        QVERIFY(f.IsPlaying() && !f.results);
        // The new test runs to its end.
        CRecordingWaveOut::s_bAuto = true;
        CRecordingWaveOut::s_pLast->Complete();
        QVERIFY(RunUntil([&] { return f.AtRest(); }));
        QCOMPARE(CRecordingWaveOut::s_log.nCloses, 2);
        QCOMPARE(CRecordingWaveOut::s_log.nBadCalls, 0);
        QCOMPARE(int(f.Sent().size()), 50);
    }

    void formDestroyedWhilePlaying()
    {
        CRecordingWaveOut::Install(false);
        {
            CFakeForm f;
            f.mode = kWabunRandom1;
            f.OnStart();
            QCOMPARE(CRecordingWaveOut::s_log.nLive, 1);
        }
        QCOMPARE(CRecordingWaveOut::s_log.nCloses, 1);
        QVERIFY(g_hWaveOut == nullptr);
    }

    // ---- the stream ----

    void wholeTestWritesAndCompletes()
    {
        // Mode, fist %, effective WPM, phrase (none: a random test), the
        // buffers written and the phrase as sent (CR LF as LF).
        const struct { int mode, fist, effective; QByteArray phrase; int buffers; QByteArray sent; } rows[] = {
            {kLatinRandom1, 0, 0, {}, 50, {}},  {kLatinRandom5, 20, 0, {}, 50, {}},
            {kWabunRandom1, 0, 8, {}, 52, {}},  {kWabunRandom5, 30, 8, {}, 52, {}},
            {kLatinPhrase, 10, 8, "CQ DE\r\nK\r", 8, "CQ DE\nK\r"}, {kWabunPhrase, 10, 0, "\xB1\xB2 \xDE\n", 7, "\xB1\xB2 \xDE\n"},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString("mode %1, fist %2").arg(r.mode).arg(r.fist));
            CRecordingWaveOut::Install(true);
            g_strPhraseFile = WritePhrase(r.phrase);
            CFakeForm f;
            f.mode = r.mode;
            TrainingOptions options;
            options.nFistJitterPercent = r.fist;
            options.nEffectiveWpm = r.effective;
            options.nBandSeed = 5;
            f.SetOptions(options);
            f.OnStart();
            QVERIFY(RunUntil([&] { return f.AtRest(); }));
            const WaveOutLog& log = CRecordingWaveOut::s_log;
            QCOMPARE(log.nOpens, 1);
            QCOMPARE(log.nWrites, r.buffers);
            QCOMPARE(log.nDones, r.buffers);
            QCOMPARE(log.nCloses, 1);
            QCOMPARE(log.nBadCalls, 0);
            QCOMPARE(int(log.volumes.size()), r.buffers); // at the start and before every further buffer
            for (int k = 0; k < r.buffers; ++k)
                QCOMPARE(log.bufferIndex[size_t(k)], k % 2);
            QCOMPARE(f.buffersFed, r.buffers); // the graph got every buffer
            QVERIFY(f.evaluate && f.results && f.inputOpen); // left as the test had it
            // The keying the device plays ahead is the keying written, buffer
            // for buffer.
            QCOMPARE(log.ahead, log.buffers);
            // A phrase file stays open after a test that ends by itself.
            QCOMPARE(f.HasPhraseFile(), !r.phrase.isEmpty());
            if (!r.phrase.isEmpty()) {
                QCOMPARE(QByteArray::fromStdString(f.Sent()), r.sent);
                continue;
            }
            // What reached the device is the record, character by character,
            // after the start signals, which begin with a dash.
            const int first = r.buffers - 50;
            for (int k = 0; k < first; ++k)
                QCOMPARE(int(static_cast<unsigned char>(log.buffers[size_t(k)][0])), 192);
            std::string record = f.Sent();
            record.erase(std::remove(record.begin(), record.end(), ' '), record.end());
            QCOMPARE(int(record.size()), 50);
            for (int k = first; k < r.buffers; ++k)
                QVERIFY(log.buffers[size_t(k)].find_first_not_of(std::string("\0\x40\xC0", 3)) == std::string::npos);
        }
    }

    void volumeFollowsFromTheNextBuffer()
    {
        CRecordingWaveOut::Install(false);
        CFakeForm f;
        f.OnStart();
        f.SetVolume(100);
        QCOMPARE(CRecordingWaveOut::s_log.volumes.size(), size_t(1));
        CRecordingWaveOut::s_pLast->Complete();
        QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.volumes.size() == 2; }));
        QCOMPARE(CRecordingWaveOut::s_log.volumes[1], 0xFFFFFFFFu);
        f.OnStop();
    }

    // ---- the evaluation ----

    void evaluate()
    {
        // Sent, typed, the box, and the runs of the copy after the sent
        // line: alternating from black. A lead byte 0xE0..0xFC takes the
        // next byte with it: the pair is one character.
        const struct { QByteArray sent, typed; const char* box; QList<QByteArray> typedRuns; } rows[] = {
            {"ABCDEFGHIJ", "abcxefghij", "合格まちがいなし！(正解率 90%)", {"abc", "x", "efghij"}},
            {"CQ CQ\nDE JA1ZZZ\n", "CQ CQ\r\nDE JA1ZZZ\r\n", "合格まちがいなし！(正解率 100%)", {"CQ CQ\nDE JA1ZZZ\n"}},
            {"\xB1\xB2\xB3", "\xB1\xB6", "毎日10分は聞き取り練習が必要！(正解率 33%)", {"\xB1", "\xB6"}},
            {"A\xE0\x40" "B", "A\xE0\x41" "B", "合格可能かも！(正解率 75%)", {"A", "\xE0\x41", "B"}},
            {"ABC", "", "信号を聞いたらキーボードで文字を入力してね！", {}},
            {"", "ABC", "スタートボタンを押してテストしてからね！", {}},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(r.typed);
            CFakeForm f;
            SendText(f, r.sent.toStdString());
            f.typed = r.typed.toStdString();
            f.evaluate = true;
            f.OnEvaluate();
            QCOMPARE(f.boxes.size(), 1);
            QCOMPARE(f.boxes[0].text, QString::fromUtf8(r.box));
            QCOMPARE(f.boxes[0].caption, QStringLiteral("評価"));
            QCOMPARE(f.boxes[0].style, MB_OK | MB_ICONINFORMATION);
            std::vector<ResultRun> want = {{"\n", g_crBlack}, {r.sent.toStdString(), g_crGreen}, {"\n", g_crBlack}};
            for (int i = 0; i < r.typedRuns.size(); ++i)
                want.push_back({r.typedRuns[i].toStdString(), i % 2 ? g_crRed : g_crBlack});
            want.push_back({"\n", g_crBlack});
            QCOMPARE(Merged(f.shown), Merged(want));
            QVERIFY(!f.evaluate && f.typed.empty());
            QCOMPARE(int(f.RunStats().Tests().size()), r.sent.isEmpty() ? 0 : 1);
        }
    }

    // ---- the history ----

    void evaluatedTestIsStoredBeforeTheVerdict()
    {
        // Kept, kept and aligned in the background (a long copy), not kept.
        for (auto [keep, length] : {std::pair{true, 50}, {true, 3000}, {false, 50}}) {
            DRAVIK_ROW(QString("keep %1, %2").arg(keep).arg(length));
            CHistory history;
            QCOMPARE(history.Open(m_dir.filePath(QStringLiteral("h-%1-%2.sqlite").arg(keep).arg(length))),
                     CHistory::Opened::Fresh);
            CFakeForm f;
            TrainingOptions o;
            o.bKeepHistory = keep;
            o.nQrmStations = 2; // the conditions go with the test
            f.SetOptions(o);
            f.SetHistory(&history, "this run");
            SendText(f, std::string(size_t(length), 'E'));
            f.typed = std::string(size_t(length) - 1, 'E');
            f.OnEvaluate();
            QCOMPARE(f.storedAtBox, keep ? 1 : 0);
            QVERIFY(RunUntil([&] { return f.RunStats().Tests().size() == 1; }));
            const std::vector<HistoryTest> stored = history.Tests({}, -1, "this run", true);
            QCOMPARE(int(stored.size()), keep ? 1 : 0);
            if (!keep)
                continue;
            QVERIFY(stored[0].bAligned);
            QCOMPARE(stored[0].nMissing, 1);
            QVERIFY(stored[0].strOptions.contains(QLatin1String("\nQrmStations=2\n")));
            QCOMPARE(stored[0].strSent.size(), size_t(length));
            QCOMPARE(history.Chars().at('E').nSent, length);
        }
    }

    void kochLessonMovesOn()
    {
        CHistory history;
        QCOMPARE(history.Open(m_dir.filePath("koch.sqlite")), CHistory::Opened::Fresh);
        QStandardPaths::setTestModeEnabled(true); // the lesson is saved to the tests' profile
        CFakeForm f;
        TrainingOptions o;
        o.nKochLesson = 1;
        f.SetOptions(o);
        f.SetHistory(&history, "koch");
        // 90 % twice in a row, but a stopped test between breaks the run,
        // and a copy with every character typed four times is no pass.
        const struct { bool stop; int wrong; bool fourfold; } tests[] = {
            {false, 0, true}, {false, 0, true}, {false, 5, false}, {true, 0, false}, {false, 0, false}, {false, 5, false}};
        for (const auto& t : tests) {
            f.OnStart();
            if (t.stop) {
                const int before = CRecordingWaveOut::s_log.nDones;
                QVERIFY(RunUntil([&] { return CRecordingWaveOut::s_log.nDones >= before + 3; }));
                f.OnStop();
            }
            QVERIFY(RunUntil([&] { return f.AtRest(); }));
            std::string copy;
            for (char c : f.HeardSent())
                copy += std::string(t.fourfold ? 4 : 1, c);
            for (int i = 0; i < t.wrong; ++i)
                copy[size_t(i)] = '5';
            f.typed = copy;
            f.OnEvaluate();
        }
        QCOMPARE(f.kochSteps, (QList<QPair<int, int>>{{1, 2}}));
        QVERIFY2(f.boxes.back().text.contains(QStringLiteral("レッスン 1 → 2")), qPrintable(f.boxes.back().text));
        QCOMPARE(f.Options().nKochLesson, 2);
        QCOMPARE(TrainingOptions::Load().nKochLesson, 2);
        QSettings(ProfileOrganization(), ProfileApplication()).clear();
    }

    void speedCountsTheCharactersHeard()
    {
        // Wabun after Latin: the two start signals are sent but are no
        // characters.
        CFakeForm f;
        f.wpm = 120;
        f.OnStart();
        QVERIFY(RunUntil([&] { return f.AtRest(); }));
        QCOMPARE(f.HeardChars(), 50);
        CRecordingWaveOut::Install(true);
        f.mode = kWabunRandom1;
        f.OnStart();
        QVERIFY(RunUntil([&] { return f.AtRest(); }));
        QCOMPARE(f.HeardChars(), 50);
        long long keyed = 0;
        const WaveOutLog& log = CRecordingWaveOut::s_log;
        for (size_t k = 2; k < log.buffers.size(); ++k)
            keyed += long(log.buffers[k].size());
        QCOMPARE(f.HeardSeconds(), double(keyed) / 8000.0);
    }
};

DRAVIK_REGISTER_TEST(TestCopyTest)
#include "copytest_controller.moc"
