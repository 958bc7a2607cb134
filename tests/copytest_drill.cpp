// SPDX-License-Identifier: GPL-3.0-or-later
// The one-character window over a recording device: a new character heard
// with its name first, answers kept in the history as they come, a miss or
// a silence past the limit shown and asked again, and the session kept as
// a test for the record's days.
#include "RecordingWaveOut.h"
#include "audio/KeyedStream.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "chardrill/CharDrillDlg.h"
#include "history/History.h"

#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestCharDrillWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // Asked, and the character heard to its end (the device closed).
    static bool Heard(CCharDrillDlg& dlg) { return dlg.Asking() && !dlg.Player().IsPlaying() && !g_hWaveOut; }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetStartPause(0);
    }
    void cleanup() { CRecordingWaveOut::Uninstall(); }

    void answeredOneByOneAndKept()
    {
        CRecordingWaveOut::Install(true);
        CHistory history;
        QCOMPARE(history.Open(m_dir.filePath("drill.sqlite")), CHistory::Opened::Fresh);
        TrainingOptions options;
        options.nSlowMs = 300;
        CCharDrillDlg dlg(700, 20, 50, options, &history);
        dlg.SetMode(kLatinChars);
        const int opens = CRecordingWaveOut::s_log.nOpens;
        dlg.OnStart();
        // K is new: heard with its name, then asked.
        QVERIFY(RunUntil([&] { return Heard(dlg); }));
        QCOMPARE(dlg.Asked(), 'K');
        QCOMPARE(CRecordingWaveOut::s_log.nOpens - opens, 2); // heard thrice in one stream, then asked
        dlg.OnKey(u'k', SteadyNowNs());
        std::vector<HistoryAnswer> answers = history.Answers({}, kLatinChars);
        QCOMPARE(int(answers.size()), 1);
        QVERIFY(answers[0].bRight && answers[0].ch == 'K');
        // Then M, answered wrong: shown, heard again, asked again soon.
        QVERIFY(RunUntil([&] { return Heard(dlg) && dlg.Asked() == 'M'; }));
        dlg.OnKey(u'x', SteadyNowNs());
        answers = history.Answers({}, kLatinChars);
        QCOMPARE(int(answers.size()), 2);
        QVERIFY(!answers[1].bRight);
        QCOMPARE(answers[1].strTyped, std::string("X"));
        // Nothing typed within the limit: a miss with the limit's time.
        QVERIFY(RunUntil([&] { return answers.size() < history.Answers().size(); }, 5000));
        answers = history.Answers({}, kLatinChars);
        QVERIFY(!answers[2].bRight && answers[2].strTyped.empty());
        QCOMPARE(answers[2].nMs, 300);
        QCOMPARE(dlg.Table()->rowCount(), 2);
        dlg.OnStop();
        const std::vector<HistoryTest> sessions = history.Tests({}, kLatinChars, {}, true);
        QCOMPARE(int(sessions.size()), 1);
        // Counted as judged: right, wrong, and the silence as missing.
        QVERIFY(sessions[0].nRight == 1 && sessions[0].nWrong == 1 && sessions[0].nMissing == 1);
        QCOMPARE(int(sessions[0].strSent.size()), 3);
        // A window opened later goes on from the history.
        CCharDrillDlg again(700, 20, 50, options, &history);
        again.SetMode(kLatinChars);
        QCOMPARE(again.Table()->rowCount(), 2);
    }
};

DRAVIK_REGISTER_TEST(TestCharDrillWindow)
#include "copytest_drill.moc"
