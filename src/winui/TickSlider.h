// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QSlider>
#include <set>

// A vertical trackbar: 0 at the top, ticks on the left at the set
// positions and at both ends. Every user move is a vertical scroll.
class CSliderCtrl : public QSlider {
    Q_OBJECT
public:
    explicit CSliderCtrl(QWidget* parent = nullptr);

    void SetRange(int nMin, int nMax, bool bRedraw = false);
    void SetTic(int nPos);
    std::set<int> GetTics() const; // the set ones and both ends
    void SetPos(int nPos);         // moves the thumb without a notification
    int GetPos() const { return value(); }

signals:
    void VScroll(int nSBCode, int nPos);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::set<int> m_tics;
    bool m_bQuiet = false;
};
