// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DravikApp.h"
#include "app/AboutDlg.h"
#include "app/DravikDoc.h"
#include "app/HelpDlg.h"
#include "app/MainFrame.h"
#include "app/OptionsDlg.h"
#include "app/SoundExportDlg.h"
#include "audio/Voice.h"
#include "engine/VoiceText.h"
#include "engine/ToneBuffers.h"
#include "winui/FileDialog.h"
#include "app/InstanceLock.h"
#include "winui/MessageBox.h"
#include "res/Menus.h"
#include "res/Resource.h"
#include "copytest/DravikView.h"
#include "callsign/CallSignDlg.h"
#include "chardrill/CharDrillDlg.h"
#include "exam/ExamDlg.h"
#include "record/RecordDlg.h"
#include "history/History.h"
#include "record/RecordTables.h"
#include "settings/Settings.h"


#include <QCoreApplication>
#include <QDateTime>
#include <QUuid>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QFile>

void GetModuleDir(QString& path) { path = QCoreApplication::applicationDirPath(); }

CDravikApp::CDravikApp() = default;
CDravikApp::~CDravikApp()
{
    // A test is never dropped without the user's word.
    while (m_pHistory && !m_pHistory->StorePending(CHistory::kAtExitBusyMs)
           && MessageBox(nullptr,
                         QStringLiteral("成績の履歴に、まだ記録できていないテストが %1 件あります。\n%2\n"
                                        "もう一度記録を試しますか？ (いいえ: 記録せずに終了します)")
                             .arg(m_pHistory->PendingCount())
                             .arg(m_pHistory->Error()),
                         QStringLiteral("成績表"), MB_YESNO | MB_ICONEXCLAMATION)
               == IDYES) {
    }
}

bool CDravikApp::InitInstance(const QStringList& arguments)
{
    // Test and creation in one step: the lock either is ours or is held.
    auto lock = std::make_unique<CInstanceLock>(QString::fromLatin1(kMutexName));
    // Only another running instance refuses the start; a lock that cannot
    // be made leaves the program running without the guard.
    if (lock->IsHeldElsewhere()) {
        // The exclamation the framework's message box would show.
        MessageBox(nullptr, QStringLiteral("Application already started up."), QString::fromUtf8(g_pszAppTitle),
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    m_hMutex = std::move(lock);

    QString dir;
    GetModuleDir(dir);
    g_strPhraseFile = QFile::encodeName(dir + QStringLiteral("/sample.txt")).toStdString();

    m_pDoc = std::make_unique<CDravikDoc>();
    m_pFrame = std::make_unique<CMainFrame>();
    m_pView = new CDravikView(m_pFrame.get());
    m_pFrame->setCentralWidget(m_pView);
    connect(m_pView, &CDravikView::ResizeParentToFit, m_pFrame.get(), &CMainFrame::FitToView);
    connect(m_pFrame.get(), &CMainFrame::Command, this, &CDravikApp::OnCommand);

    // Command line: a file name opens the (empty) document, nothing more.
    const QStringList files = arguments.mid(1);
    const bool ok = files.isEmpty() ? m_pDoc->OnNewDocument() : m_pDoc->OnOpenDocument(files.first());
    if (!ok)
        return false;
    m_pView->OnInitialUpdate();
    if (!ProfileFileUsable())
        MessageBox(m_pFrame.get(),
                   QStringLiteral("設定ファイル %1 は通常のファイルではないので、読み書きしません。\n"
                                  "既定の設定で始めます。設定は保存されません。")
                       .arg(ProfileFilePath()),
                   QStringLiteral("ｵﾌﾟｼｮﾝ"), MB_OK | MB_ICONEXCLAMATION);
    m_pView->SetOptions(TrainingOptions::Load());
    m_pFrame->show();
    OpenHistory();
    return true;
}

void CDravikApp::OnCommand(int nId)
{
    switch (nId) {
    case ID_FILE_NEW: OnFileNew(); break;
    case ID_FILE_OPEN: OnFileOpen(); break;
    case ID_APP_EXIT: m_pFrame->close(); break;
    case ID_FILE_SAVE_WAVE: OnFileSaveWave(); break;
    case ID_OPTIONS_SETTINGS: OnOptions(); break;
    case ID_OPTIONS_RECORD: OnRecord(); break;
    case ID_OPTIONS_CLEAR_HISTORY: OnClearHistory(); break;
    case ID_OPTIONS_EXAM: OnExam(); break;
    case ID_OPTIONS_CALLSIGNS: OnCallSigns(); break;
    case ID_OPTIONS_CHARDRILL: OnCharDrill(); break;
    case ID_HELP:
    case ID_SYSMENU_HELP: OnHelp(); break;
    case ID_TEST_START: m_pView->PressButton(IDC_BUTTON_START); break;
    case ID_TEST_STOP: m_pView->PressButton(IDC_BUTTON_STOP); break;
    case ID_TEST_EVALUATE: m_pView->PressButton(IDC_BUTTON_EVALUATE); break;
    case ID_APP_ABOUT:
    case ID_SYSMENU_VERSION: OnAppAbout(); break;
    default: break; // the help item has no action
    }
}

void CDravikApp::OnFileNew()
{
    if (m_pDoc->OnNewDocument())
        m_pView->OnInitialUpdate();
}

void CDravikApp::OnFileOpen()
{
    const QString path = GetOpenFileName(m_pFrame.get(),
                                         {QStringLiteral("Text File (*.txt)"), QStringLiteral("All Files (*)")},
                                         QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    g_strPhraseFile = QFile::encodeName(path).toStdString();
}

void CDravikApp::OnOptions()
{
    COptionsDlg dlg(m_pView->Options(), m_pView->WpmShown(), m_pFrame.get());
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_pView->SetOptions(dlg.Options());
    // A voice chosen but not installed would be silence the learner cannot explain.
    if (dlg.Options().nVoice != int(VoiceUnit::Off) && !(PrepareVoice(false) && PrepareVoice(true)))
        MessageBox(m_pFrame.get(),
                   QStringLiteral("読み上げの音声 (espeak-ng の英語と日本語) を読み込めませんでした。\n"
                                  "読み上げなしで送ります。"),
                   QStringLiteral("ｵﾌﾟｼｮﾝ"), MB_OK | MB_ICONEXCLAMATION);
    // In force for this run either way; the user learns they are not kept.
    if (!m_pView->Options().Save())
        MessageBox(m_pFrame.get(),
                   QStringLiteral("設定を保存できませんでした。\n設定は次に起動したときには元に戻ります。\n%1")
                       .arg(ProfileFilePath()),
                   QStringLiteral("ｵﾌﾟｼｮﾝ"), MB_OK | MB_ICONEXCLAMATION);
}

void CDravikApp::OpenHistory()
{
    m_pHistory = std::make_unique<CHistory>();
    const QString run = QDateTime::currentDateTimeUtc().toString(Qt::ISODate) + QLatin1Char('/')
        + QUuid::createUuid().toString(QUuid::WithoutBraces);
    switch (m_pHistory->Open(CHistory::DefaultPath())) {
    case CHistory::Opened::Fresh:
        break;
    case CHistory::Opened::RenamedAside:
        MessageBox(m_pFrame.get(),
                   QStringLiteral("成績の履歴ファイルは壊れているか、Dravik の履歴ではありませんでした。\n"
                                  "元のファイルは %1 に移して残し、新しい履歴を始めます。")
                       .arg(m_pHistory->RenamedTo()),
                   QStringLiteral("成績表"), MB_OK | MB_ICONEXCLAMATION);
        break;
    case CHistory::Opened::Unavailable:
        MessageBox(m_pFrame.get(),
                   QStringLiteral("成績の履歴ファイルを開けませんでした。\n%1\n%2\nこのまま練習できますが、成績は記録されません。")
                       .arg(m_pHistory->Path(), m_pHistory->Error()),
                   QStringLiteral("成績表"), MB_OK | MB_ICONEXCLAMATION);
        break;
    }
    m_pView->SetHistory(m_pHistory->IsOpen() ? m_pHistory.get() : nullptr, run);
    ScoreUnaligned();
    m_pendingRetry.setSingleShot(true);
    connect(&m_pendingRetry, &QTimer::timeout, this, [this] {
        if (m_pHistory->StorePending())
            RefreshRecord();
        StorePendingLater();
    });
    connect(m_pView, &CDravikView::RecordChanged, this, &CDravikApp::StorePendingLater);
    // A lesson passed is said in the record window, also when it opens later.
    connect(m_pView, &CDravikView::KochAdvanced, this, [this](int nFrom, int nTo) {
        m_kochAdvance = {nFrom, nTo};
        if (m_pRecord)
            m_pRecord->ShowKochAdvance(nFrom, nTo);
    });
}

void CDravikApp::OnHelp()
{
    if (!m_pHelp)
        m_pHelp = new CHelpDlg(m_pFrame.get());
    m_pHelp->show();
    m_pHelp->raise();
    m_pHelp->activateWindow();
}

void CDravikApp::StorePendingLater()
{
    if (m_pHistory->PendingCount() > 0 && !m_pendingRetry.isActive())
        m_pendingRetry.start(5000);
}

void CDravikApp::ScoreUnaligned()
{
    if (!m_pHistory->IsOpen())
        return;
    // Looked for (a scan of the whole history) and aligned (seconds for a
    // long copy) off the window's thread, through a reader of its own;
    // stored on the window's thread, whose connection writes.
    auto* watcher = new QFutureWatcher<std::vector<CHistory::Scored>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        const std::vector<CHistory::Scored> scored = watcher->result();
        if (!scored.empty() && m_pHistory && m_pHistory->SetAligned(scored))
            RefreshRecord();
    });
    watcher->setFuture(QtConcurrent::run([path = m_pHistory->Path()] {
        CHistory reader;
        return reader.OpenForReading(path) ? CHistory::Score(reader.Unaligned()) : std::vector<CHistory::Scored>{};
    }));
}

void CDravikApp::RefreshRecord()
{
    // Without keeping a history, this run's tests are the record.
    if (m_pRecord)
        m_pRecord->Refresh(m_pView->Options().bKeepHistory ? m_pView->History() : nullptr, m_pView->Run(),
                           m_pView->RunTests(), m_pView->RunStats().Chars());
}

void CDravikApp::OnRecord()
{
    if (!m_pRecord) {
        m_pRecord = new CRecordDlg(m_pFrame.get());
        connect(m_pView, &CDravikView::RecordChanged, this, &CDravikApp::RefreshRecord);
        connect(m_pRecord, &CRecordDlg::FilterChanged, this, &CDravikApp::RefreshRecord);
        m_pRecord->SetDailyGoal(m_pView->Options().nDailyGoalMin);
        connect(m_pRecord, &CRecordDlg::DailyGoalChanged, this, [this](int minutes) {
            TrainingOptions options = m_pView->Options();
            options.nDailyGoalMin = minutes;
            m_pView->SetOptions(options);
            if (!options.Save())
                MessageBox(m_pRecord, QStringLiteral("設定を保存できませんでした。"), QStringLiteral("成績表"),
                           MB_OK | MB_ICONEXCLAMATION);
        });

        connect(m_pRecord, &CRecordDlg::SaveRequested, this, [this](bool bChars) {
            const QString path = GetSaveFileName(m_pRecord, {QStringLiteral("CSV (*.csv)")}, QStringLiteral("csv"));
            if (!path.isEmpty())
                m_pRecord->SaveCsv(bChars ? CharsCsv(m_pRecord->m_chars) : TestsCsv(m_pRecord->m_tests), path);
        });
        RefreshRecord();
        if (m_kochAdvance.first)
            m_pRecord->ShowKochAdvance(m_kochAdvance.first, m_kochAdvance.second);
    }
    m_pRecord->show();
    m_pRecord->raise();
    m_pRecord->activateWindow();
}

void CDravikApp::OnClearHistory()
{
    const QString caption = QStringLiteral("履歴を消去");
    if (!m_pHistory || !m_pHistory->IsOpen()) {
        MessageBox(m_pFrame.get(), QStringLiteral("成績の履歴はありません。"), caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (MessageBox(m_pFrame.get(), QStringLiteral("これまでのすべての成績を履歴から消去します。\n元に戻せません。よろしいですか？"),
                   caption, MB_YESNO | MB_ICONEXCLAMATION)
        != IDYES)
        return;
    if (!m_pHistory->Clear())
        MessageBox(m_pFrame.get(), QStringLiteral("消去できませんでした。\n%1").arg(m_pHistory->Error()), caption,
                   MB_OK | MB_ICONEXCLAMATION);
    RefreshRecord();
}

void CDravikApp::OnFileSaveWave()
{
    const QString caption = QStringLiteral("音声ﾌｧｲﾙに保存");
    // The export keys into the stream's own tone buffers.
    if (m_pView->IsPlaying() || g_hWaveOut) {
        MessageBox(m_pFrame.get(), QStringLiteral("テスト中は保存できません。ｽﾄｯﾌﾟしてから保存してください。"), caption,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!AskSoundExport(m_pFrame.get(), m_soundExport))
        return;
    const QString path = GetSaveFileName(m_pFrame.get(), {QStringLiteral("WAVE (*.wav)"), QStringLiteral("MP3 (*.mp3)")},
                                         QStringLiteral("wav"));
    if (!path.isEmpty())
        m_pView->SaveTestAsWave(path, m_soundExport);
}

bool CDravikApp::StreamFree(const QString& caption, const QString& what)
{
    // One stream at a time: the windows play through the form's.
    if (!m_pView->IsPlaying() && !g_hWaveOut)
        return true;
    MessageBox(m_pFrame.get(), QStringLiteral("テスト中は%1を開けません。ｽﾄｯﾌﾟしてから開いてください。").arg(what), caption,
               MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CDravikApp::OnExam()
{
    const QString caption = QStringLiteral("電気通信術の試験");
    if (!StreamFree(caption, QStringLiteral("試験")))
        return;
    const TestSettings form = m_pView->FormSettings().Clamped();
    const TrainingOptions& options = m_pView->Options();
    CExamDlg dlg(form.nFreq, form.nVolume, options, options.bKeepHistory ? m_pHistory.get() : nullptr, m_pFrame.get());
    dlg.SetRun(m_pView->Run());
    dlg.SetTextFont(m_pView->TextFont()); // kana as large as on the form
    dlg.exec();
    RefreshRecord();
}

void CDravikApp::OnCallSigns()
{
    if (!StreamFree(QStringLiteral("ｺｰﾙｻｲﾝと単語"), QStringLiteral("ｺｰﾙｻｲﾝと単語の練習")))
        return;
    const TestSettings form = m_pView->FormSettings().Clamped();
    const TrainingOptions& options = m_pView->Options();
    CCallSignDlg dlg(form.nFreq, form.nWpm, form.nVolume, options, options.bKeepHistory ? m_pHistory.get() : nullptr,
                     m_pFrame.get());
    dlg.SetRun(m_pView->Run());
    dlg.exec();
    RefreshRecord();
}

void CDravikApp::OnCharDrill()
{
    if (!StreamFree(QStringLiteral("一文字ずつ"), QStringLiteral("一文字ずつの練習")))
        return;
    const TestSettings form = m_pView->FormSettings().Clamped();
    CCharDrillDlg dlg(form.nFreq, form.nWpm, form.nVolume, m_pView->Options(),
                      m_pView->Options().bKeepHistory ? m_pHistory.get() : nullptr, m_pFrame.get());
    dlg.SetRun(m_pView->Run());
    dlg.SetMode(IsWabunMode(form.nMode) ? kWabunChars : kLatinChars);
    dlg.exec();
    // The window keeps its thresholds and the key latency.
    m_pView->SetOptions(dlg.Options());
    RefreshRecord();
}

void CDravikApp::OnAppAbout()
{
    CAboutDlg dlg(m_pFrame.get());
    dlg.exec();
}
