// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpDlg.h"
#include "res/Templates.h"
#include "winui/DialogTemplate.h"

#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent)
{
    Q_INIT_RESOURCE(help); // kept in this static library
    setWindowTitle(QStringLiteral("Dravik の使い方"));
    m_pText = new QTextBrowser(this);
    // The form's Japanese font, a little larger for reading.
    QFont font = TemplateFont(g_dlgForm);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    m_pText->setFont(font);
    QFile guide(QStringLiteral(":/help/guide.html"));
    if (guide.open(QIODevice::ReadOnly))
        m_pText->setHtml(QString::fromUtf8(guide.readAll()));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pText);
    resize(BoundedToScreen(QSize(640, 720)));
}

QString CHelpDlg::PlainText() const { return m_pText->toPlainText(); }
