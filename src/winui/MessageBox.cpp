// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/MessageBox.h"

#include <QMessageBox>

static MessageBoxHook& Hook()
{
    static MessageBoxHook s_hook;
    return s_hook;
}

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style)
{
    if (Hook())
        return Hook()(text, caption, style);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (style & 0xF0) {
    case MB_ICONHAND: icon = QMessageBox::Critical; break;
    case MB_ICONEXCLAMATION: icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
    default: break;
    }
    if ((style & 0x0F) == MB_YESNO) {
        QMessageBox box(icon, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
    return IDOK;
}
