// The application shell: single instance, default phrase file, frame,
// menus, File > Open, new document and the About box. Offscreen platform.
#include "BoxRecorder.h"
#include "RecordingWaveOut.h"
#include "app/AboutDlg.h"
#include "app/DravikApp.h"
#include "app/DravikDoc.h"
#include "app/MainFrame.h"
#include "engine/ToneBuffers.h"
#include "platform/FileDialog.h"
#include "platform/TickSlider.h"
#include "res/Resource.h"
#include "copytest/DravikView.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTemporaryDir>
#include <QtTest>

static void NoPause(int) {}

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
        SetPreparePause(&NoPause);
    }
    void cleanup()
    {
        SetFileDialogHook(nullptr);
        CRecordingWaveOut::Uninstall();
    }

    void singleInstanceInProcess()
    {
        CBoxRecorder boxes;
        auto first = std::make_unique<CDravikApp>();
        QVERIFY(first->InitInstance({"dravik"}));
        {
            CDravikApp second;
            QVERIFY(!second.InitInstance({"dravik"}));
            QVERIFY(!second.MainFrame());
        }
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("Application already started up."));
        QVERIFY(first->MainFrame()->isVisible()); // undisturbed
        first.reset();
        CDravikApp third;
        QVERIFY(third.InitInstance({"dravik"}));
        QCOMPARE(boxes.boxes.size(), 1);
    }

    void singleInstanceAcrossProcesses()
    {
        QProcess other;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        other.setProcessEnvironment(env);
        other.start(QStringLiteral(DRAVIK_EXE), {});
        QVERIFY(other.waitForStarted());
        const QString lockPath = m_runtime.filePath("TVK_APPLICATION");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockPath), 10000);
        {
            CBoxRecorder boxes;
            CDravikApp second;
            QVERIFY(!second.InitInstance({"dravik"}));
            QCOMPARE(boxes.boxes.size(), 1);
        }
        QCOMPARE(other.state(), QProcess::Running);
        // A holder that died without cleaning up does not block the next start.
        other.kill();
        QVERIFY(other.waitForFinished());
        QVERIFY(QFile::exists(lockPath));
        CBoxRecorder boxes;
        CDravikApp next;
        QVERIFY(next.InitInstance({"dravik"}));
        QVERIFY(boxes.boxes.isEmpty());
    }

    void lockThatCannotBeMadeDoesNotRefuse()
    {
        // Something else at the lock's path is not another instance.
        const QString lockPath = m_runtime.filePath("TVK_APPLICATION");
        QFile::remove(lockPath);
        QVERIFY(QDir().mkpath(lockPath));
        CBoxRecorder boxes;
        {
            CDravikApp app;
            QVERIFY(app.InitInstance({"dravik"}));
            QVERIFY(app.MainFrame()->isVisible());
        }
        QVERIFY(boxes.boxes.isEmpty());
        QVERIFY(QDir(lockPath).removeRecursively());
    }

    void defaultPhraseFileFromAnotherDirectory()
    {
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(m_files.path());
        g_strPhraseFile.clear();
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        QDir::setCurrent(cwd);
        QCOMPARE(QString::fromStdString(g_strPhraseFile), DefaultPhraseFile());
    }

    void commandLineFileIsNotRead()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik", m_files.filePath("other.txt")}));
        QCOMPARE(app.Document()->GetPathName(), m_files.filePath("other.txt"));
        QCOMPARE(QString::fromStdString(g_strPhraseFile), DefaultPhraseFile());
        QCOMPARE(app.MainFrame()->windowTitle(), QStringLiteral("Ostrel"));
    }

    void frameIsFixedWithItsWindowMenu()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        CMainFrame* frame = app.MainFrame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("Ostrel"));
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QCOMPARE(frame->size().width(), app.View()->width());
        const Qt::WindowFlags flags = frame->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(frame->findChildren<QStatusBar*>().isEmpty());
        QVERIFY(frame->findChildren<QToolBar*>().isEmpty());
        const QList<QAction*> sys = frame->GetSystemMenu()->actions();
        QVERIFY(sys.size() >= 4);
        const QList<QAction*> tail = sys.mid(sys.size() - 4);
        QVERIFY(tail[0]->isSeparator());
        QCOMPARE(tail[1]->text(), QStringLiteral("Ostrelのﾊﾞｰｼﾞｮﾝ情報(&A)"));
        QVERIFY(tail[2]->isSeparator());
        QCOMPARE(tail[3]->text(), QStringLiteral("Ostrelのﾍﾙﾌﾟ(&H)"));
        // The main menu, in order.
        QStringList items;
        for (QAction* menu : frame->menuBar()->actions())
            for (QAction* a : menu->menu()->actions())
                items << menu->text() + "/" + a->text();
        QCOMPARE(items, (QStringList{"ﾌｧｲﾙ(&F)/開く(&O)...", "ﾌｧｲﾙ(&F)/ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)",
                                     "ﾍﾙﾌﾟ(&H)/Pilvoのﾊﾞｰｼﾞｮﾝ情報(&A)..."}));
        QCOMPARE(frame->CommandAction(ID_FILE_OPEN)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
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
        QFile f(chosen);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("TEST DE JA1ZZZ\r\n");
        f.close();
        SetFileDialogHook([&](const QStringList&, const QString&) { return chosen; });
        app.MainFrame()->CommandAction(ID_FILE_OPEN)->trigger();
        QCOMPARE(QString::fromStdString(g_strPhraseFile), chosen);
        QCOMPARE(app.MainFrame()->windowTitle(), QStringLiteral("Ostrel"));

        // The next phrase test sends that file.
        CRecordingWaveOut::Install(true);
        CDravikView* view = app.View();
        qobject_cast<QRadioButton*>(view->GetDlgItem(IDC_RADIO_LATIN_PHRASE))->setChecked(true);
        view->OnStart();
        QTRY_VERIFY(!view->m_bPlaying && g_hWaveOut == nullptr);
        QCOMPARE(view->m_strSent, std::string("TEST DE JA1ZZZ\n"));
    }

    void newDocumentResetsModeAndVolume()
    {
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        CDravikView* view = app.View();
        qobject_cast<QRadioButton*>(view->GetDlgItem(IDC_RADIO_WABUN_RANDOM5))->setChecked(true);
        auto* slider = qobject_cast<CSliderCtrl*>(view->GetDlgItem(IDC_SLIDER_VOLUME));
        slider->setValue(30);
        QCOMPARE(view->m_nVolume, 70);
        view->m_nFreq = 600;
        QVERIFY(QTest::qWaitForWindowActive(app.MainFrame()));
        QTest::keyClick(app.MainFrame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(view->m_nMode, 0);
        QVERIFY(qobject_cast<QRadioButton*>(view->GetDlgItem(IDC_RADIO_LATIN_RANDOM1))->isChecked());
        QCOMPARE(slider->GetPos(), 80);
        QCOMPARE(view->m_nVolume, 20);
        QCOMPARE(view->m_nFreq, 600); // kept
        QVERIFY(!view->GetDlgItem(IDC_BUTTON_EVALUATE)->isEnabled());
    }

    void aboutBox()
    {
        CAboutDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Pilvoのﾊﾞｰｼﾞｮﾝ情報"));
        QStringList texts;
        for (QLabel* l : dlg.findChildren<QLabel*>())
            texts << l->text();
        QVERIFY(texts.contains(QStringLiteral("Pilvo Version 1.01")));
        auto* ok = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK_BUTTON));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());
        QVERIFY(dlg.isModal());

        // Help menu and the window menu's version item both open it, modally.
        CDravikApp app;
        QVERIFY(app.InitInstance({"dravik"}));
        for (int id : {ID_APP_ABOUT, ID_SYSMENU_VERSION}) {
            QString seen;
            QTimer::singleShot(0, [&] {
                auto* shown = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
                if (shown) {
                    seen = shown->windowTitle();
                    qobject_cast<QPushButton*>(shown->GetDlgItem(IDOK_BUTTON))->click();
                }
            });
            app.MainFrame()->CommandAction(id)->trigger();
            QCOMPARE(seen, QStringLiteral("Pilvoのﾊﾞｰｼﾞｮﾝ情報"));
        }
    }
};

QTEST_MAIN(TestApp)
#include "test_app.moc"
