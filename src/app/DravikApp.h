// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "drills/WaveExport.h"
#include <QObject>
#include <QTimer>
#include <QStringList>
#include <memory>
#include <utility>

class CAboutDlg;
class CHistory;
class CDravikDoc;
class CDravikView;
class CInstanceLock;
class CMainFrame;
class CRecordDlg;
class CHelpDlg;

// The application: one instance per user, the default phrase file, and
// the one document, frame and form.
class CDravikApp : public QObject {
    Q_OBJECT
public:
    CDravikApp();
    ~CDravikApp() override;

    // arguments as QCoreApplication::arguments() gives them.
    bool InitInstance(const QStringList& arguments);

    void OnAppAbout();
    void OnFileOpen();
    void OnFileNew();
    void OnFileSaveWave();
    void OnOptions();
    void OnRecord();
    void OnClearHistory();
    void OnExam();
    void OnCallSigns();
    void OnCharDrill();
    // No test is playing: another window may open its stream.
    bool StreamFree(const QString& caption, const QString& what);
    // The form's button, as a click: nothing when it is disabled.
    void OnCommand(int nId);

    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    CDravikView* View() const { return m_pView; }
    CRecordDlg* RecordWindow() const { return m_pRecord; }
    CHelpDlg* HelpWindow() const { return m_pHelp; }
    CDravikDoc* Document() const { return m_pDoc.get(); }
    CHistory* History() const { return m_pHistory.get(); }

    static constexpr const char* kMutexName = "TVK_APPLICATION";

private:
    std::unique_ptr<CInstanceLock> m_hMutex;
    // Before the frame: the form uses it until it goes.
    std::unique_ptr<CHistory> m_pHistory;
    SoundExport m_soundExport; // the last choice, for the next save
    std::unique_ptr<CDravikDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    CDravikView* m_pView = nullptr;
    CRecordDlg* m_pRecord = nullptr; // made when first opened
    CHelpDlg* m_pHelp = nullptr;
    std::pair<int, int> m_kochAdvance{0, 0}; // the last lesson passed, from and to
    void OpenHistory();
    // Scores tests a killed run stored before their counts.
    void ScoreUnaligned();
    // Tests kept while another program held the history: tried again a
    // while after each test, and at the end, until stored or given up.
    void StorePendingLater();
    void OnHelp();
    QTimer m_pendingRetry;
    void RefreshRecord();
};

void GetModuleDir(QString& path);
