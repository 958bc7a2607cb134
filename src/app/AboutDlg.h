// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "winui/DialogTemplate.h"

#include <QDialog>

// The version box, laid out by its template.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    QWidget* GetDlgItem(int nId) const { return m_controls.GetDlgItem(nId); }
    const CDialogControls& Controls() const { return m_controls; }

private:
    CDialogControls m_controls;
};
