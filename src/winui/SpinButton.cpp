// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/SpinButton.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

CSpinButtonCtrl::CSpinButtonCtrl(QWidget* parent)
    : QWidget(parent), m_pUp(new QToolButton(this)), m_pDown(new QToolButton(this))
{
    for (QToolButton* b : {m_pUp, m_pDown}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(6, 6));
    }
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
    setFocusPolicy(Qt::NoFocus);
}

void CSpinButtonCtrl::resizeEvent(QResizeEvent*)
{
    const int h = height() / 2;
    m_pUp->setGeometry(0, 0, width(), h);
    m_pDown->setGeometry(0, h, width(), height() - h);
}

void CSpinButtonCtrl::SetBuddy(QLineEdit* pBuddy, bool bSetBuddyInt)
{
    if (m_pBuddy)
        m_pBuddy->removeEventFilter(this);
    m_pBuddy = pBuddy;
    m_bSetBuddyInt = bSetBuddyInt;
    if (m_pBuddy)
        m_pBuddy->installEventFilter(this);
}

void CSpinButtonCtrl::SetRange(int nLower, int nUpper)
{
    m_nLower = nLower;
    m_nUpper = nUpper;
}

void CSpinButtonCtrl::SetPos(int nPos)
{
    m_nPos = nPos;
    // Plain digits: a separator would make the box unreadable as an integer.
    if (m_pBuddy && m_bSetBuddyInt)
        m_pBuddy->setText(QString::number(nPos));
}

int CSpinButtonCtrl::GetPos() const
{
    bool ok = false;
    const int v = m_pBuddy ? m_pBuddy->text().trimmed().toInt(&ok) : 0;
    return ok ? v : m_nPos;
}

void CSpinButtonCtrl::Step(int nDelta)
{
    const int lo = qMin(m_nLower, m_nUpper);
    const int hi = qMax(m_nLower, m_nUpper);
    int pos = GetPos() + nDelta;
    pos = qBound(lo, pos, hi);
    SetPos(pos);
    emit VScroll(SB_THUMBPOSITION, pos);
    emit VScroll(SB_ENDSCROLL, pos);
}

bool CSpinButtonCtrl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pBuddy && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
