// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutDlg.h"
#include "res/Resource.h"
#include "res/Templates.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    m_controls = BuildDialog(this, g_dlgAbout);
    setWindowTitle(QString::fromUtf8(g_dlgAbout.pszCaption));
    setFixedSize(m_controls.ClientSize());
    setModal(true);
    QLabel* version = nullptr;
    for (QWidget* w : m_controls.InCreationOrder()) {
        auto* label = qobject_cast<QLabel*>(w);
        if (label && label->text().isEmpty()) {
            const int side = qMin(label->width(), label->height());
            label->setPixmap(QApplication::windowIcon().pixmap(side, side));
            label->resize(side, side);
        } else if (label)
            version = label;
    }
    // This build's version and its licence, under the line of the form.
    if (version) {
        auto* licence = new QLabel(QStringLiteral("Dravik %1\nライセンス: GPL-3.0-or-later").arg(QLatin1String(DRAVIK_VERSION)), this);
        licence->setFont(version->font());
        licence->move(version->x(), version->geometry().bottom() + 4);
        licence->resize(licence->sizeHint());
        setFixedSize(m_controls.ClientSize().expandedTo(QSize(0, licence->geometry().bottom() + 8)));
    }
    auto* ok = qobject_cast<QPushButton*>(GetDlgItem(IDOK_BUTTON));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
