// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/GraphStatic.h"
#include "engine/ToneBuffers.h"

#include <QPainter>
#include <QTimerEvent>

CGraphStatic::CGraphStatic(QWidget* parent) : CVisualStatic(parent) {}

void CGraphStatic::ClearGraph() { m_bErase = 1; }

void CGraphStatic::RemoveAllPoints() { std::deque<GraphPoint>().swap(m_aPoints); }

void CGraphStatic::AddPoint(int x, int y, bool bRedraw)
{
    m_aPoints.push_back({x, y});
    if (bRedraw)
        update();
}

void CGraphStatic::AddWaveData()
{
    const int n = g_nToneLen[g_nCurBuf];
    const int count = n < 0 ? 0 : (n > kToneBufSamples ? kToneBufSamples : n);
    for (const GraphPoint& pt : MakeGraphEntries(g_ToneBuf[g_nCurBuf], count, g_nGraphWpm))
        AddPoint(pt.x, pt.y, false);
}

void CGraphStatic::OnTimer(int nIDEvent)
{
    // With nothing queued and nothing to erase a paint would copy the same
    // picture again: leave the screen, and the form's painting, alone.
    if (nIDEvent == kTimerId && (!m_aPoints.empty() || m_bErase))
        update();
}

void CGraphStatic::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timer.timerId())
        OnTimer(kTimerId);
    else
        CVisualStatic::timerEvent(event);
}

void CGraphStatic::showEvent(QShowEvent* event)
{
    CVisualStatic::showEvent(event);
    if (m_bTimer)
        m_timer.start(kTimerMs, this);
}

void CGraphStatic::hideEvent(QHideEvent* event)
{
    CVisualStatic::hideEvent(event);
    m_timer.stop();
}

// Pixels from the current position up to, not including, the end point.
static void LineTo(QPainter& dc, QPoint& cur, QPoint to)
{
    int x = cur.x(), y = cur.y();
    const int dx = std::abs(to.x() - x), sx = x < to.x() ? 1 : -1;
    const int dy = -std::abs(to.y() - y), sy = y < to.y() ? 1 : -1;
    int err = dx + dy;
    while (x != to.x() || y != to.y()) {
        dc.drawPoint(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
    cur = to;
}

void CGraphStatic::Draw(QPixmap* pDC)
{
    const QRect rc = ClientRect();
    const int w = rc.width();
    const int h = rc.height();
    if (!m_bTimer) {
        m_rgnClip = QRegion(0, 0, w, h);
        m_bTimer = 1;
        m_timer.start(kTimerMs, this);
    }
    if (m_bErase) {
        QPainter dc(pDC);
        dc.setClipRegion(m_rgnClip);
        dc.fillRect(rc, kBackColor);
        m_bErase = 0;
    }

    const int n = int(m_aPoints.size());
    const int nDraw = n > kCatchUpEntries ? n : (n > 0 ? 1 : 0);
    for (int k = 0; k < nDraw; ++k) {
        const GraphPoint pt = m_aPoints.front();
        const int dx = pt.x;
        const int dy = pt.y;
        if (dx > 0 && dx < w)
            pDC->scroll(-dx, 0, QRect(dx, 0, w - dx, h)); // overlapping copy
        QPainter dc(pDC);
        dc.setClipRegion(m_rgnClip);
        dc.fillRect(QRect(w - dx, 0, dx, h), kBackColor);
        if (dy >= 0) {
            dc.setPen(QPen(kTraceColor, 1, Qt::SolidLine));
            QPoint cur(w - dx, h / 2 - m_nLastY);
            LineTo(dc, cur, QPoint(w - dx, h / 2 - dy));
            LineTo(dc, cur, QPoint(w, h / 2 - dy));
        }
        m_nLastY = dy;
        m_aPoints.pop_front();
    }
}
