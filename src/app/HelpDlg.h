// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The user's guide in Japanese (res/help/guide.html), beside the form:
// F1 and the window menu's help open it.
#include <QDialog>

class CHelpDlg : public QDialog {
    Q_OBJECT
public:
    explicit CHelpDlg(QWidget* parent = nullptr);
    // The guide's text as shown, for tests.
    QString PlainText() const;

private:
    class QTextBrowser* m_pText;
};
