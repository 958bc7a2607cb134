// SPDX-License-Identifier: GPL-3.0-or-later
// The call-sign window over a recording device: each call answered before
// the next (Enter while it sounds is taken at its end), a stopped run kept
// in the history, and only whole runs among the top scores.
#include "RecordingWaveOut.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "callsign/CallSignDlg.h"
#include "history/History.h"

#include <QLineEdit>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class TestCallSignWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    static bool Ended(CCallSignDlg& dlg) { return !dlg.Player().IsPlaying() && g_hWaveOut == nullptr; }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetStartPause(0);
    }
    void cleanup() { CRecordingWaveOut::Uninstall(); }

    void callsAnsweredOneByOneAndRunsKept()
    {
        CRecordingWaveOut::Install(true);
        CHistory history;
        QCOMPARE(history.Open(m_dir.filePath("calls.sqlite")), CHistory::Opened::Fresh);
        CCallSignDlg dlg(700, 20, 50, TrainingOptions{}, &history);
        dlg.OnStart();
        QVERIFY(RunUntil([&] { return Ended(dlg); }));
        const std::string first = dlg.Run()->Call();
        QCOMPARE(dlg.Player().Sent(), first);
        dlg.Answer()->setText(QString::fromStdString(first));
        dlg.OnAnswer();
        QCOMPARE(int(dlg.Run()->Items().size()), 1);
        QVERIFY(dlg.Run()->Wpm() > 20);
        // Enter while the next call sounds: taken when it ends.
        QVERIFY(dlg.Player().IsPlaying());
        dlg.Answer()->setText(QStringLiteral("X"));
        dlg.OnAnswer();
        QTest::keyClicks(dlg.Answer(), QStringLiteral("Y")); // after Enter: not part of the answer
        QCOMPARE(int(dlg.Run()->Items().size()), 1);
        QVERIFY(RunUntil([&] { return dlg.Run()->Items().size() == 2; }));
        QCOMPARE(dlg.Run()->Items()[1].strAnswer, std::string("X"));
        dlg.OnStop();
        QVERIFY(!dlg.Run());
        QVERIFY(RunUntil([&] { return Ended(dlg); }));

        std::vector<HistoryTest> kept = history.Tests({}, kLatinCallSigns, {}, true);
        QCOMPARE(int(kept.size()), 1);
        QVERIFY(kept[0].bStopped);
        QVERIFY(kept[0].strSent.starts_with(first + ' '));
        QCOMPARE(dlg.TopScores()->rowCount(), 0); // a stopped run has no top score

        dlg.OnStart();
        while (dlg.Run()) {
            QVERIFY(RunUntil([&] { return Ended(dlg); }));
            dlg.Answer()->setText(QString::fromStdString(dlg.Run()->Call()));
            dlg.OnAnswer();
        }
        kept = history.Tests({}, kLatinCallSigns, {}, true);
        QCOMPARE(int(kept.size()), 2);
        QVERIFY(!kept[1].bStopped);
        QCOMPARE(kept[1].nRight, int(kept[1].strSent.size()));
        QCOMPARE(dlg.TopScores()->rowCount(), 1);
        QCOMPARE(dlg.TopScores()->item(0, 0)->text().toInt(), RunScore(kept[1]));
    }
};

DRAVIK_REGISTER_TEST(TestCallSignWindow)
#include "copytest_calls.moc"
