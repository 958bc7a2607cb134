// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/VisualStatic.h"

#include <QPainter>

CVisualStatic::CVisualStatic(QWidget* parent) : QFrame(parent)
{
    // Every pixel is painted (the border and the picture): nothing behind
    // the control needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CVisualStatic::CreateMemDC()
{
    const QRect rc = ClientRect();
    m_bmpMem = QPixmap(rc.width() > 0 ? rc.width() : 1, rc.height() > 0 ? rc.height() : 1);
    m_bMemDC = 1;
}

void CVisualStatic::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the border
    if (!m_bMemDC)
        CreateMemDC();
    Draw(&m_bmpMem);
    QPainter dc(this);
    dc.drawPixmap(contentsRect().topLeft(), m_bmpMem);
}

void CVisualStatic::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    CreateMemDC();
}
