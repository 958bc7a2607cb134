#include "app/DravikApp.h"
#include "app/AboutDlg.h"
#include "app/DravikDoc.h"
#include "app/MainFrame.h"
#include "engine/ToneBuffers.h"
#include "platform/FileDialog.h"
#include "platform/InstanceLock.h"
#include "platform/MessageBox.h"
#include "res/Menus.h"
#include "res/Resource.h"
#include "copytest/DravikView.h"

#include <QCoreApplication>
#include <QFile>

void GetModuleDir(QString& path) { path = QCoreApplication::applicationDirPath(); }

CDravikApp::CDravikApp() = default;
CDravikApp::~CDravikApp() = default;

bool CDravikApp::InitInstance(const QStringList& arguments)
{
    // Test and creation in one step: the lock either is ours or is held.
    auto lock = std::make_unique<CInstanceLock>(QString::fromLatin1(kMutexName));
    // Only another running instance refuses the start; a lock that cannot
    // be made leaves the program running without the guard.
    if (lock->IsHeldElsewhere()) {
        MessageBox(nullptr, QStringLiteral("Application already started up."), QString::fromUtf8(g_pszAppTitle), MB_OK);
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
    m_pFrame->show();
    return true;
}

void CDravikApp::OnCommand(int nId)
{
    switch (nId) {
    case ID_FILE_NEW: OnFileNew(); break;
    case ID_FILE_OPEN: OnFileOpen(); break;
    case ID_APP_EXIT: m_pFrame->close(); break;
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

void CDravikApp::OnAppAbout()
{
    CAboutDlg dlg(m_pFrame.get());
    dlg.exec();
}
