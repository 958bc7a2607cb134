// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/TickSlider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

constexpr int SB_THUMBTRACK = 5;

CSliderCtrl::CSliderCtrl(QWidget* parent) : QSlider(Qt::Vertical, parent)
{
    // Windows trackbars grow downwards; the up key moves the thumb up.
    setInvertedAppearance(true);
    setInvertedControls(true);
    setTickPosition(QSlider::TicksLeft);
    setTickInterval(0);
    setPageStep(20);
    connect(this, &QSlider::valueChanged, this, [this](int v) {
        if (!m_bQuiet)
            emit VScroll(SB_THUMBTRACK, v);
    });
}

void CSliderCtrl::SetRange(int nMin, int nMax, bool bRedraw)
{
    m_bQuiet = true;
    setRange(nMin, nMax);
    m_bQuiet = false;
    if (bRedraw)
        update();
}

void CSliderCtrl::SetTic(int nPos)
{
    m_tics.insert(nPos);
    update();
}

std::set<int> CSliderCtrl::GetTics() const
{
    std::set<int> all = m_tics;
    all.insert(minimum());
    all.insert(maximum());
    return all;
}

void CSliderCtrl::SetPos(int nPos)
{
    m_bQuiet = true;
    setValue(nPos);
    m_bQuiet = false;
}

void CSliderCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    opt.tickPosition = QSlider::NoTicks;
    opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, this);

    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const int len = style()->pixelMetric(QStyle::PM_SliderLength, &opt, this);
    const int span = height() - len;
    p.setPen(palette().color(QPalette::WindowText));
    for (int t : GetTics()) {
        if (t < minimum() || t > maximum())
            continue;
        const int y = QStyle::sliderPositionFromValue(minimum(), maximum(), t, span, opt.upsideDown) + len / 2;
        const int x1 = qMax(0, handle.left() - 2);
        p.drawLine(x1 - 3, y, x1, y);
    }
}
