// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "display/GraphFeeder.h"
#include "display/VisualStatic.h"

#include <QBasicTimer>
#include <QColor>
#include <QRegion>

#include <deque>

// The keying graph: each tone buffer becomes a queue of entries that a
// 20 ms timer draws at the right edge, one per paint, scrolling left.
class CGraphStatic : public CVisualStatic {
    Q_OBJECT
public:
    explicit CGraphStatic(QWidget* parent = nullptr);

    void ClearGraph();
    void RemoveAllPoints();
    void AddPoint(int x, int y, bool bRedraw);
    void AddWaveData();
    void OnTimer(int nIDEvent);

    int QueuedCount() const { return int(m_aPoints.size()); }
    bool TimerActive() const { return m_timer.isActive(); }
    const std::deque<GraphPoint>& Queue() const { return m_aPoints; }

    static constexpr int kTimerId = 1;
    static constexpr int kTimerMs = 20;
    static constexpr int kCatchUpEntries = 100;
    static inline const QColor kBackColor{128, 128, 128};
    static inline const QColor kTraceColor{0, 255, 0};

protected:
    void Draw(QPixmap* pDC) override;
    void timerEvent(QTimerEvent* event) override;
    // A hidden graph paints nothing, so its timer need not wake anyone.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRegion m_rgnClip;
    int m_bTimer = 0;
    std::deque<GraphPoint> m_aPoints;
    int m_nLastY = 0;
    int m_bErase = 1;
    QBasicTimer m_timer;
};
