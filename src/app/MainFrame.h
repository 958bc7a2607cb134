// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QMainWindow>
#include <map>

class QMenu;
class QAction;

// The one top-level window: fixed size, a title and a close button, the
// main menu, and a window menu (Alt+Space, or a right click on the form).
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();

    QMenu* GetSystemMenu() const { return m_pSysMenu; }
    // Menu items and accelerators, by command id.
    QAction* CommandAction(int nId) const;
    void FitToView();

signals:
    void Command(int nId);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void PreCreateWindow();
    int OnCreate();
    // Menu item or accelerator action that reports command nId.
    void BindCommand(QAction* action, int nId);

    QMenu* m_pSysMenu = nullptr;
    std::map<int, QAction*> m_commands;
};
