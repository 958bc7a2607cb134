// SPDX-License-Identifier: GPL-3.0-or-later
// The exam window over a recording device: a part played, typed, graded
// and kept; Stop; kana typing for Wabun.
#include "BoxRecorder.h"
#include "RecordingWaveOut.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "copytest/CharEdit.h"
#include "exam/ExamDlg.h"
#include "text/Cp932.h"
#include "history/History.h"
#include "history/SaveFile.h"
#include "winui/Contrast.h"
#include "winui/FileDialog.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestExamWindow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::unique_ptr<CBoxRecorder> m_pBoxes;
    static bool Ended(CExamDlg& dlg) { return !dlg.PartTest().IsPlaying() && g_hWaveOut == nullptr; }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        SetStartPause(0);
    }
    void init() { m_pBoxes = std::make_unique<CBoxRecorder>(); }
    void cleanup()
    {
        CRecordingWaveOut::Uninstall();
        // No test here expects a box.
        for (const ShownBox& box : m_pBoxes->boxes)
            QWARN(qPrintable(box.text));
        QVERIFY(m_pBoxes->boxes.isEmpty());
        m_pBoxes.reset();
    }

    void partPlayedTypedGradedAndKept()
    {
        CRecordingWaveOut::Install(true);
        CHistory history;
        QCOMPARE(history.Open(m_dir.filePath("exam.sqlite")), CHistory::Opened::Fresh);
        CExamDlg dlg(700, 50, TrainingOptions{}, &history);
        QPalette dark = dlg.palette(); // the marks stay readable on a dark desktop
        dark.setColor(QPalette::Base, Qt::black);
        dlg.setPalette(dark);
        dlg.Choose("practice", ExamPart::LatinPlain, 30, 1);
        dlg.OnStart();
        // Whole words: up to a minute.
        QVERIFY(dlg.StateText().contains(QRegularExpression(QStringLiteral("残り約 (0:[3-5]|1:0)"))));
        QVERIFY(RunUntil([&] { return Ended(dlg); }));
        std::string typed = dlg.PartTest().Sent();
        QVERIFY(ExamCharCount(typed) <= 30 && ExamCharCount(typed) > 10); // whole words
        // One letter wrong, one left out.
        const size_t first = typed.find_first_not_of(' ');
        typed[first] = typed[first] == 'Q' ? 'Z' : 'Q';
        typed.erase(typed.find_last_not_of(' '), 1);
        dlg.Answer()->SetWindowText(Cp932ToQString(typed));
        dlg.OnGrade();
        QCOMPARE(dlg.Score(ExamPart::LatinPlain), 96);
        const QRegularExpression colour(QStringLiteral("color:(#[0-9a-f]{6})"));
        int marks = 0;
        for (auto m = colour.globalMatch(dlg.MarkedHtml()); m.hasNext(); ++marks)
            QVERIFY(ContrastRatio(QColor(m.next().captured(1)), Qt::black) >= 4.5);
        QVERIFY(marks >= 2); // the wrong letter and the missing one
        const std::vector<HistoryTest> kept = history.Tests({}, -1, {}, true);
        QCOMPARE(int(kept.size()), 1);
        QCOMPARE(kept[0].nMode, ExamMode(ExamPart::LatinPlain));
        QCOMPARE(kept[0].strSent, dlg.PartTest().Sent());
        for (const char* line : {"Exam=practice", "Part=plain", "CharsPerMin=30", "Minutes=1", "Score=96"})
            QVERIFY2(kept[0].strOptions.contains(QLatin1String(line)), line);
        QCOMPARE(kept[0].nWrong + kept[0].nExtra, 1);
        QCOMPARE(kept[0].nMissing, 1);
        // Graded once: a second press adds nothing.
        dlg.OnGrade();
        QCOMPARE(int(history.Tests().size()), 1);
    }

    void stoppedPartIsGradedAsFarAsItWent()
    {
        // Each part stopped after a few characters: graded on what was heard
        // whole, kept as stopped, and no licence verdict from such parts.
        // Stopped in the start pause: nothing to grade, nothing kept.
        CHistory history;
        QCOMPARE(history.Open(m_dir.filePath("stopped.sqlite")), CHistory::Opened::Fresh);
        CExamDlg dlg(700, 50, TrainingOptions{}, &history);
        const ExamLicence* licence = FindExamLicence("1sou");
        for (const ExamPartDef& part : licence->parts) {
            CRecordingWaveOut::Install(false);
            dlg.Choose("1sou", part.ePart);
            dlg.OnStart();
            for (int k = 1; k <= 4; ++k) {
                QVERIFY(RunUntil([&] { return CRecordingWaveOut::s_log.nWrites == k; }));
                CRecordingWaveOut::s_pLast->Complete();
            }
            dlg.OnStop();
            QVERIFY(RunUntil([&] { return Ended(dlg); }));
            const std::string heard = dlg.PartTest().HeardSent();
            QVERIFY(ExamCharCount(heard) > 0 && heard.size() < dlg.PartTest().Sent().size());
            dlg.Answer()->SetWindowText(Cp932ToQString(heard)); // all that was heard, nothing else
            dlg.OnGrade();
            QCOMPARE(dlg.Score(part.ePart), 100);
            const HistoryTest kept = history.Tests({}, -1, {}, true).back();
            QVERIFY(kept.bStopped && kept.strSent == heard);
        }
        QVERIFY(!dlg.VerdictText().contains(QStringLiteral("判定")) && dlg.VerdictText().contains(QStringLiteral("途中で止めた")));
        SetStartPause(1000);
        dlg.Choose("kokunai", ExamPart::Wabun);
        dlg.OnStart();
        dlg.OnStop();
        SetStartPause(0);
        QVERIFY(RunUntil([&] { return Ended(dlg); }));
        dlg.OnGrade();
        QCOMPARE(dlg.Score(ExamPart::Wabun), -1);
        QCOMPARE(int(history.Tests().size()), int(licence->parts.size()));
    }

    void chosenTextFile()
    {
        // A FIFO is refused at once; a text chosen in practice keeps the
        // speed and length set there and is not used for a licence.
        const QString fifo = m_dir.filePath("fifo.txt"), text = m_dir.filePath("own.txt");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(SaveWhole(text, "ZEBRAS QUIZ JOVIAL WIZARDS\n", nullptr));
        QString chosen;
        SetFileDialogHook([&](const QStringList&, const QString&) { return chosen; });
        const auto unhook = qScopeGuard([] { SetFileDialogHook(nullptr); });
        CRecordingWaveOut::Install(false);
        CExamDlg dlg(700, 50, TrainingOptions{}, nullptr);
        dlg.Choose("practice", ExamPart::LatinPlain, 30, 1);
        chosen = fifo;
        dlg.OnChooseFile();
        QCOMPARE(m_pBoxes->boxes.size(), 1);
        QVERIFY(m_pBoxes->boxes.takeFirst().text.contains(QStringLiteral("通常のﾌｧｲﾙではありません")));
        chosen = text;
        dlg.OnChooseFile();
        for (bool own : {true, false}) {
            if (!own)
                dlg.Choose("1sou", ExamPart::LatinPlain);
            dlg.OnStart();
            QCOMPARE(dlg.PartTest().Text().find("ZEBRAS") != std::string::npos, own);
            QCOMPARE(dlg.PartTest().PartSettings().nCharsPerMin == 30, own);
            dlg.OnStop();
            QVERIFY(RunUntil([&] { return Ended(dlg); }));
        }
    }

    void wabunIsTypedInKana()
    {
        CExamDlg dlg(700, 50, TrainingOptions{}, nullptr);
        dlg.Choose("kokunai", ExamPart::Wabun);
        QVERIFY(dlg.Answer()->InputContext().IsHalfWidthKatakana());
        dlg.Answer()->setFocus();
        QTest::keyClicks(dlg.Answer(), "kagi");
        dlg.Answer()->CommitPending();
        QCOMPARE(Cp932ToQString(dlg.Answer()->GetWindowTextBytes()), QStringLiteral("ｶｷﾞ"));
        dlg.Choose("1sou", ExamPart::LatinPlain);
        QVERIFY(!dlg.Answer()->InputContext().IsHalfWidthKatakana());
    }

    void fullSittingGradesEveryPartInTurn()
    {
        // Each part graded as it ends, the next after the pause, and the
        // licence's verdict at the end; Stop in a pause ends the sitting.
        CRecordingWaveOut::Install(true);
        CExamDlg::SetSittingPause(0);
        CHistory history;
        QCOMPARE(history.Open(m_dir.filePath("sitting.sqlite")), CHistory::Opened::Fresh);
        CExamDlg dlg(700, 50, TrainingOptions{}, &history);
        dlg.Choose("3sou", ExamPart::LatinPlain);
        QVERIFY(dlg.ReadinessShown().isEmpty()); // no sitting yet
        dlg.OnSitting();
        QVERIFY(dlg.InSitting());
        QVERIFY(RunUntil([&] { return !dlg.InSitting(); }, 20000));
        for (ExamPart p : {ExamPart::Wabun, ExamPart::LatinCode, ExamPart::LatinPlain})
            QVERIFY(dlg.Score(p) >= 0);
        QVERIFY(dlg.VerdictText().contains(QStringLiteral("判定: 不合格"))); // nothing was typed
        // The sitting is kept, and readiness follows from it.
        QVERIFY(dlg.ReadinessShown().contains(QStringLiteral("合格する見込み 約 0 %")));
        CExamDlg::SetSittingPause(60000);
        dlg.OnSitting();
        QVERIFY(RunUntil([&] { return dlg.Score(ExamPart::Wabun) >= 0; }, 20000));
        QVERIFY(dlg.InSitting());
        dlg.OnStop(); // in the pause
        QVERIFY(!dlg.InSitting());
        QCOMPARE(dlg.Score(ExamPart::LatinCode), -1);
        CExamDlg::SetSittingPause(10000);
    }
};

DRAVIK_REGISTER_TEST(TestExamWindow)
#include "copytest_exam.moc"
