// SPDX-License-Identifier: GPL-3.0-or-later
// The application shell: single instance, default phrase file, frame,
// menus, File > Open, new document and the About box. Offscreen platform.
#include "BoxRecorder.h"
#include "RecordingWaveOut.h"
#include "app/AboutDlg.h"
#include "app/HelpDlg.h"
#include "app/CommandLine.h"
#include "app/DravikApp.h"
#include "app/SoundExportDlg.h"
#include "app/DravikDoc.h"
#include "app/InstanceLock.h"
#include "app/MainFrame.h"
#include "app/OptionsDlg.h"
#include "winui/FileDialog.h"
#include "winui/TickSlider.h"
#include "res/Resource.h"
#include "copytest/CharEdit.h"
#include "copytest/DravikView.h"
#include "record/RecordDlg.h"
#include "TestFiles.h"
#include "TestWait.h"
#include "history/History.h"
#include "history/SaveFile.h"
#include "settings/Settings.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QLineEdit>
#include <QTableWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QTemporaryDir>
#include <QtTest>


class TestApp : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;
    QTemporaryDir m_files;

    static QString DefaultPhraseFile() { return QCoreApplication::applicationDirPath() + "/sample.txt"; }

private slots:
    void initTestCase()
    {
        // A private runtime directory: the lock of a user's running copy is not ours.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        // The profile of the tests, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        QSettings(ProfileOrganization(), ProfileApplication()).clear();
        SetStartPause(0);
    }
    void cleanup()
    {
        SetFileDialogHook(nullptr);
        CRecordingWaveOut::Uninstall();
    }

    void singleInstance()
    {
        // A copy running in a process of its own holds the lock: a second
        // start is refused with the box, and the holder left alone.
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        other.setProcessEnvironment(env);
        other.start(QStringLiteral(DRAVIK_EXE), {});
        QVERIFY(other.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_runtime.filePath("TVK_APPLICATION")), 10000);
        CBoxRecorder boxes;
        {
            CDravikApp second;
            QVERIFY(!second.InitInstance({"dravik"}) && !second.MainFrame());
        }
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("Application already started up."));
        QCOMPARE(boxes.boxes[0].style, MB_OK | MB_ICONEXCLAMATION);
        QCOMPARE(other.state(), QProcess::Running);
        other.kill();
        QVERIFY(other.waitForFinished());
    }

    void instanceLock()
    {
        // What stands at the lock's path before the lock is tried; stale
        // ones are taken, so that the next start is guarded again.
        const struct { const char* blocker; bool held, heldElsewhere; } rows[] = {
            {"nothing", true, false}, {"lock", false, true},   {"dir", false, false},
            {"empty", true, false},   {"garbage", true, false}, {"dead", true, false},
        };
        for (const auto& [blocker, held, heldElsewhere] : rows) {
            DRAVIK_ROW(blocker);
            const QString name = QStringLiteral("DRAVIK_TEST_LOCK_%1_%2").arg(QCoreApplication::applicationPid()).arg(blocker);
            const QString path = CInstanceLock::PathFor(name);
            const QByteArray kind = blocker;
            std::unique_ptr<CInstanceLock> holder;
            if (kind == "lock")
                holder = std::make_unique<CInstanceLock>(name);
            else if (kind == "dir")
                QVERIFY(QDir().mkpath(path));
            else if (kind == "empty")
                QVERIFY(QFile(path).open(QIODevice::WriteOnly));
            else if (kind == "garbage")
                QVERIFY(SaveWhole(path, "\x01\x02 not a lock\n", nullptr));
            else if (kind == "dead") // pid_max is at most 2^22: no such process
                QVERIFY(SaveWhole(path, "4194305\ndravik\nelsewhere\n", nullptr));
            {
                CInstanceLock lock(name);
                QCOMPARE(lock.IsHeld(), held);
                QCOMPARE(lock.IsHeldElsewhere(), heldElsewhere);
            }
            holder.reset();
            if (kind == "lock") {
                CInstanceLock again(name); // the holder has gone
                QVERIFY(again.IsHeld());
            }
            QDir(path).removeRecursively();
            QFile::remove(path);
        }
    }

    void startUp()
    {
        // From another folder, with a file named: the document takes the
        // name without reading it; the phrase file is beside the program;
        // the options kept in the profile are the view's.
        TrainingOptions o;
        o.nKochLesson = 1;
        o.nEffectiveWpm = 8;
        QVERIFY(o.Save());
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(m_files.path());
        g_strPhraseFile.clear();
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik", m_files.filePath("other.txt")}));
        QDir::setCurrent(cwd);
        QSettings(ProfileOrganization(), ProfileApplication()).clear();
        QCOMPARE(app.Document()->GetPathName(), m_files.filePath("other.txt"));
        QCOMPARE(QString::fromStdString(g_strPhraseFile), DefaultPhraseFile());
        QCOMPARE(app.View()->Options(), o);
        // A frame of fixed size with neither minimize nor maximize button,
        // status bar nor toolbar.
        CMainFrame* frame = app.MainFrame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Ostrel"));
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QCOMPARE(frame->size().width(), app.View()->width());
        const Qt::WindowFlags flags = frame->windowFlags();
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(frame->findChildren<QStatusBar*>().isEmpty() && frame->findChildren<QToolBar*>().isEmpty());
    }

    void openChoosesThePhraseFile()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        QStringList filters;
        QString suffix;
        SetFileDialogHook([&](const QStringList& f, const QString& s) {
            filters = f;
            suffix = s;
            return QString();
        });
        app.MainFrame()->CommandAction(ID_FILE_OPEN)->trigger();
        QCOMPARE(filters, (QStringList{"Text File (*.txt)", "All Files (*)"}));
        QCOMPARE(suffix, QStringLiteral("txt"));
        QCOMPARE(QString::fromStdString(g_strPhraseFile), DefaultPhraseFile()); // cancelled

        const QString chosen = m_files.filePath("phrases.txt");
        QVERIFY(WriteBytes(chosen, "TEST DE JA1ZZZ\r\n"));
        SetFileDialogHook([&](const QStringList&, const QString&) { return chosen; });
        app.MainFrame()->CommandAction(ID_FILE_OPEN)->trigger();
        QCOMPARE(QString::fromStdString(g_strPhraseFile), chosen);
        QCOMPARE(app.MainFrame()->windowTitle(), QStringLiteral("Ostrel"));
    }

    void optionsDialog()
    {
        TrainingOptions o;
        o.nEffectiveWpm = 8;
        o.nKochLesson = 1;
        o.nKeyLatencyMs = 261; // measured in the one-character window
        o.nVoice = int(VoiceUnit::Item);
        COptionsDlg dlg(o, 12, nullptr);
        auto label = [&](int id) { return qobject_cast<QLabel*>(dlg.GetDlgItem(id))->text(); };
        QVERIFY(qobject_cast<QRadioButton*>(dlg.GetDlgItem(IDC_RADIO_SQUARE))->isChecked());
        QCOMPARE(qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_EDIT_EDGE))->text(), QStringLiteral("5"));
        QCOMPARE(label(IDC_STATIC_EFFECTIVE), QStringLiteral("文字 12 WPM、実効 8 WPM で送ります"));
        QCOMPARE(label(IDC_STATIC_KOCH), QStringLiteral("K M / ﾍ ﾑ"));
        // An effective speed not below the form's is not in force.
        qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_EDIT_EFFECTIVE))->setText("15");
        QCOMPARE(label(IDC_STATIC_EFFECTIVE), QStringLiteral("文字の速さ(12 WPM)より遅くしてください"));
        // A long lesson: elided to the label, the whole list in its tooltip.
        qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_EDIT_KOCH))->setText("30");
        auto* koch = qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_STATIC_KOCH));
        QVERIFY(koch->text().endsWith(QChar(0x2026)));
        QVERIFY(koch->fontMetrics().horizontalAdvance(koch->text()) <= koch->width());
        QVERIFY(koch->toolTip().startsWith(QStringLiteral("K M")) && koch->toolTip().size() > koch->text().size());
        qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_EDIT_KOCH))->setText("0");
        QCOMPARE(label(IDC_STATIC_KOCH), QStringLiteral("すべての文字から出します"));
        qobject_cast<QRadioButton*>(dlg.GetDlgItem(IDC_RADIO_SHAPED))->setChecked(true);
        qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_EDIT_EDGE))->setText("40");
        const TrainingOptions got = dlg.Options();
        QCOMPARE(got.eToneShape, ToneShape::Shaped);
        QCOMPARE(got.nEdgeMs, 10); // kept in range
        QCOMPARE(got.nEffectiveWpm, 15);
        QCOMPARE(got.nKochLesson, 0);
        QCOMPARE(got.nKeyLatencyMs, 261); // not the dialog's, kept
        QCOMPARE(got.nVoice, int(VoiceUnit::Item));
        qobject_cast<QRadioButton*>(dlg.GetDlgItem(IDC_RADIO_VOICE_CHAR))->setChecked(true);
        QCOMPARE(dlg.Options().nVoice, int(VoiceUnit::Character));
    }

    void saveTestAsWave()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        CBoxRecorder boxes;
        const QString path = m_files.filePath("drill.wav"), text = m_files.filePath("drill.txt");
        SetFileDialogHook([&](const QStringList& filters, const QString& suffix) {
            return filters == QStringList{"WAVE (*.wav)", "MP3 (*.mp3)"} && suffix == "wav" ? path : QString();
        });
        SetSoundExportHook([](SoundExport&) { return true; });
        const std::string sentBefore = app.View()->Sent();
        auto save = [&] { app.MainFrame()->CommandAction(ID_FILE_SAVE_WAVE)->trigger(); };
        save();
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(QFile::exists(path));
        QCOMPARE(app.View()->Sent(), sentBefore); // the last test stays for Evaluate
        // The text beside it exists now: asked, and kept on No.
        QFile::remove(path);
        QVERIFY(SaveWhole(text, "MINE", nullptr));
        boxes.nYesNo = IDNO;
        save();
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].style, MB_YESNO | MB_ICONEXCLAMATION);
        QVERIFY(boxes.boxes[0].text.contains("drill.txt"));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(ReadAll(text), QByteArray("MINE"));
        // At volume 0 it is silent: asked first.
        QFile::remove(text);
        qobject_cast<CSliderCtrl*>(app.View()->GetDlgItem(IDC_SLIDER_VOLUME))->setValue(100);
        save();
        QCOMPARE(boxes.boxes.size(), 2);
        QVERIFY(boxes.boxes[1].text.startsWith(QStringLiteral("音量が 0 なので")));
        QVERIFY(!QFile::exists(path));
        // Not while a test plays.
        boxes.boxes.clear();
        CRecordingWaveOut::Install(false);
        app.View()->OnStart();
        save();
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY(!QFile::exists(path));
        app.View()->OnStop();
    }

    void recordWindowOverTheHistory()
    {
        QFile::remove(CHistory::DefaultPath());
        const QString csv = m_files.filePath("record.csv");
        SetFileDialogHook([&](const QStringList&, const QString& suffix) { return suffix == "csv" ? csv : QString(); });
        {
            CDravikApp app;
            QVERIFY(app.InitInstance({"dravik"}));
            CDravikView* view = app.View();
            CBoxRecorder boxes;
            CRecordingWaveOut::Install(true);
            QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
            // F5 starts, F9 evaluates; Ctrl+R opens the record.
            QTest::keyClick(view->m_editAnswer, Qt::Key_R, Qt::ControlModifier);
            QVERIFY(app.RecordWindow() && app.RecordWindow()->isVisible());
            QVERIFY(!app.RecordWindow()->isModal());
            const char* typed[] = {"", "x", "y"};
            for (int t = 0; t < 3; ++t) {
                app.MainFrame()->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
                QTest::keyClick(view->m_editAnswer, Qt::Key_F5);
                QVERIFY(RunUntil([&] { return !view->IsPlaying() && g_hWaveOut == nullptr; }));
                // The first test copied exactly, but for its first character.
                const std::string copy = t == 0 ? view->Sent().substr(1) : std::string(typed[t]);
                view->m_editAnswer->SetWindowText(QString::fromStdString(copy));
                QTest::keyClick(view->m_editAnswer, Qt::Key_F9);
                QCOMPARE(int(view->RunStats().Tests().size()), t + 1);
            }
            CRecordDlg* rec = app.RecordWindow();
            rec->m_pPeriod->setCurrentIndex(int(RecordPeriod::ThisRun));
            QVERIFY(RunUntil([&] { return !rec->Loading(); }));
            QCOMPARE(rec->m_pTests->model()->rowCount(), 3);
            // The dropped first character: 49 right and 1 missing, not 0 %.
            QCOMPARE(rec->m_pTests->model()->index(0, 4).data().toString(), QStringLiteral("98.0%"));
            QVERIFY(rec->m_pChars->rowCount() > 0);
            QVERIFY(rec->m_pLast->text().contains(QStringLiteral("試験式の点")));
            QVERIFY(!rec->m_pLast->text().contains(QStringLiteral("合格")));
            rec->m_pSaveTests->click();
            QVERIFY(ReadAll(csv).startsWith("\xEF\xBB\xBF日時 (UTC),ﾓｰﾄﾞ,"));
            // A double click shows a test's texts, read from the history.
            QString shown;
            QTimer::singleShot(0, [&] {
                if (QDialog* texts = rec->TextsWindow()) {
                    shown = texts->findChild<QPlainTextEdit*>()->toPlainText();
                    texts->reject();
                }
            });
            rec->ShowTexts(rec->m_pTests->model()->index(1, 0));
            QVERIFY2(shown.contains(QStringLiteral("入力した文:\nx")), qPrintable(shown));
            app.MainFrame()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
            // F8 stops a test; F9 does nothing while Evaluate is disabled.
            CRecordingWaveOut::Install(false);
            QTest::keyClick(view->m_editAnswer, Qt::Key_F5);
            QVERIFY(view->IsPlaying());
            QTest::keyClick(view->m_editAnswer, Qt::Key_F8);
            QVERIFY(!view->IsPlaying());
        }
        // The next run shows the last week: all three; this run has none.
        CDravikApp again;
        QVERIFY(again.InitInstance({"dravik"}));
        again.OnRecord();
        CRecordDlg* rec = again.RecordWindow();
        auto rows = [&] {
            return RunUntil([&] { return !rec->Loading(); }) ? rec->m_pTests->model()->rowCount() : -1;
        };
        QCOMPARE(rows(), 3);
        rec->m_pPeriod->setCurrentIndex(int(RecordPeriod::ThisRun));
        QCOMPARE(rows(), 0);
        rec->m_pPeriod->setCurrentIndex(int(RecordPeriod::All));
        QCOMPARE(rows(), 3);
        rec->m_pMode->setCurrentIndex(1 + kWabunRandom1);
        QCOMPARE(rows(), 0);
    }

    void windowMenuFromTheKeyboard()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
        // Shift+F10, Menu, Alt+Space, with the answer box in focus as it is
        // while typing.
        const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
            {Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, Qt::NoModifier}, {Qt::Key_Space, Qt::AltModifier}};
        for (const auto& [key, modifiers] : keys) {
            QTest::keyClick(app.View()->m_editAnswer, key, modifiers);
            QTRY_VERIFY(app.MainFrame()->GetSystemMenu()->isVisible());
            app.MainFrame()->GetSystemMenu()->close();
        }
    }

    void commandLine()
    {
        // Arguments, the exit code (-1: the program starts), how the text begins.
        const struct { QStringList args; int exit; const char* begins; } rows[] = {
            {{"--version"}, 0, "Dravik " DRAVIK_VERSION "\n"},
            {{"a.txt", "-h"}, 0, "使い方: dravik"},
            {{"--foo"}, 2, "dravik: 不明なオプションです: --foo\n\n使い方"},
            {{"-v"}, 2, "dravik: 不明なオプションです: -v"},
            {{"-platform", "xcb", "--style=Fusion", "-reverse", "a.txt"}, -1, ""}, // Qt's own
            {{"--", "-v"}, -1, ""},                                                 // a file after --
        };
        for (const auto& r : rows) {
            std::vector<std::string> argv{"dravik"};
            for (const QString& a : r.args)
                argv.push_back(a.toStdString());
            const CommandLineAction action = ParseCommandLine(argv);
            QCOMPARE(action.bExit ? action.nExitCode : -1, r.exit);
            QVERIFY2(QString::fromStdString(action.sText).startsWith(QString::fromUtf8(r.begins)), action.sText.c_str());
        }
    }

    void helpAndErrorsNeedNoDisplay()
    {
        // --help on standard output, --foo on standard error; without an
        // option the window needs a display, and says so.
        for (auto [option, exit] : {std::pair{"--help", 0}, {"--foo", 2}, {"", 1}}) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("DISPLAY");
            env.remove("WAYLAND_DISPLAY");
            env.remove("QT_QPA_PLATFORM"); // no platform could start here
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(DRAVIK_EXE), *option ? QStringList{option} : QStringList{});
            QVERIFY(p.waitForFinished(10000));
            QCOMPARE(p.exitStatus(), QProcess::NormalExit);
            QCOMPARE(p.exitCode(), exit);
            const QByteArray out = exit ? p.readAllStandardError() : p.readAllStandardOutput();
            QVERIFY2(out.contains(exit == 1 ? "no display" : "使い方: dravik"), out.constData());
            QVERIFY((exit ? p.readAllStandardOutput() : p.readAllStandardError()).isEmpty());
        }
    }

    void newDocumentResetsModeAndVolume()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        CDravikView* view = app.View();
        qobject_cast<QRadioButton*>(view->GetDlgItem(IDC_RADIO_WABUN_RANDOM5))->setChecked(true);
        auto* slider = qobject_cast<CSliderCtrl*>(view->GetDlgItem(IDC_SLIDER_VOLUME));
        slider->setValue(30);
        QCOMPARE(view->Volume(), 70);
        qobject_cast<QLineEdit*>(view->GetDlgItem(IDC_EDIT_FREQ))->setText("600");
        view->UpdateData(true);
        QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
        QTest::keyClick(app.MainFrame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(view->Mode(), 0);
        QVERIFY(qobject_cast<QRadioButton*>(view->GetDlgItem(IDC_RADIO_LATIN_RANDOM1))->isChecked());
        QCOMPARE(slider->GetPos(), 80);
        QCOMPARE(view->Volume(), 20);
        QCOMPARE(view->Settings().nFreq, 600); // kept
        QVERIFY(!view->GetDlgItem(IDC_BUTTON_EVALUATE)->isEnabled());
    }

    void aboutBoxAndHelp()
    {
        // The Help menu and the window menu's version item both open it, modally.
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        for (int id : {ID_APP_ABOUT, ID_SYSMENU_VERSION}) {
            bool bShown = false;
            QTimer::singleShot(0, [&] {
                auto* shown = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                if (!shown)
                    return;
                auto* ok = qobject_cast<QPushButton*>(shown->GetDlgItem(IDOK_BUTTON));
                bShown = ok->isDefault();
                ok->click(); // and the trigger returns
            });
            app.MainFrame()->CommandAction(id)->trigger();
            QVERIFY(bShown);
        }
        // F1 and the window menu's help open the guide.
        app.MainFrame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
        QTest::keyClick(app.MainFrame(), Qt::Key_F1);
        QVERIFY(app.HelpWindow() && app.HelpWindow()->isVisible());
        QVERIFY(app.HelpWindow()->PlainText().contains(QStringLiteral("はじめての人へ")));
        app.HelpWindow()->hide();
        app.MainFrame()->CommandAction(ID_SYSMENU_HELP)->trigger();
        QVERIFY(app.HelpWindow()->isVisible());
    }

};
QTEST_MAIN(TestApp)
#include "test_app.moc"
