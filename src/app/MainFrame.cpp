// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainFrame.h"
#include "res/Menus.h"
#include "res/Resource.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <iterator>

CMainFrame::CMainFrame()
{
    PreCreateWindow();
    OnCreate();
}

void CMainFrame::PreCreateWindow()
{
    // Caption and window menu only: no sizing, no minimise or maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
}

void CMainFrame::BindCommand(QAction* action, int nId)
{
    connect(action, &QAction::triggered, this, [this, nId] { emit Command(nId); });
    m_commands[nId] = action;
}

int CMainFrame::OnCreate()
{
    QMenu* popup = nullptr;
    QString popupName;
    for (const MenuItemDef& item : g_mainMenu) {
        if (!popup || popupName != QString::fromUtf8(item.pszPopup)) {
            popupName = QString::fromUtf8(item.pszPopup);
            popup = menuBar()->addMenu(popupName);
        }
        const QString text = QString::fromUtf8(item.pszText);
        QAction* action = popup->addAction(text.section(QLatin1Char('\t'), 0, 0));
        BindCommand(action, item.nId);
    }
    // Accelerators of commands that something handles; the edit keys
    // stay with the focused control.
    static const int kHandled[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_OPTIONS_RECORD, ID_HELP,
                                   ID_TEST_START, ID_TEST_STOP, ID_TEST_EVALUATE};
    for (const AccelDef& accel : g_accelerators) {
        if (std::find(std::begin(kHandled), std::end(kHandled), accel.nId) == std::end(kHandled))
            continue;
        QAction* action = CommandAction(accel.nId);
        if (!action) {
            action = new QAction(this);
            BindCommand(action, accel.nId);
            addAction(action);
        }
        action->setShortcut(QKeySequence(accel.key));
        action->setShortcutContext(Qt::WindowShortcut);
    }

    m_pSysMenu = new QMenu(this);
    QAction* close = m_pSysMenu->addAction(QStringLiteral("閉じる(&C)"), this, &QWidget::close);
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    for (const SysMenuItemDef& item : g_sysMenuAdditions) {
        if (item.bSeparator) {
            m_pSysMenu->addSeparator();
            continue;
        }
        QAction* action = m_pSysMenu->addAction(QString::fromUtf8(item.pszText));
        BindCommand(action, item.nId);
    }
    // Window managers keep Alt+Space for themselves: Shift+F10 and the
    // Menu key open the window menu too.
    auto* sysKey = new QAction(this);
    sysKey->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Space), QKeySequence(Qt::SHIFT | Qt::Key_F10),
                          QKeySequence(Qt::Key_Menu)});
    sysKey->setShortcutContext(Qt::WindowShortcut);
    connect(sysKey, &QAction::triggered, this, [this] { m_pSysMenu->popup(mapToGlobal(QPoint(0, 0))); });
    addAction(sysKey);

    setWindowTitle(QString::fromUtf8(g_pszFrameTitle));
    return 0;
}

QAction* CMainFrame::CommandAction(int nId) const
{
    auto it = m_commands.find(nId);
    return it == m_commands.end() ? nullptr : it->second;
}

void CMainFrame::FitToView()
{
    if (QWidget* view = centralWidget())
        setFixedSize(view->width(), view->height() + menuBar()->sizeHint().height());
}

void CMainFrame::contextMenuEvent(QContextMenuEvent* event)
{
    m_pSysMenu->popup(event->globalPos());
}
