// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/Contrast.h"

#include <algorithm>
#include <cmath>

static double Linear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

static double Luminance(const QColor& c)
{
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double x = Luminance(a), y = Luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

QColor ReadableOn(const QColor& text, const QColor& base, double minRatio)
{
    // Mid grey's luminance: the base is light above it, and the colours
    // there are the designed ones.
    if (Luminance(base) >= 0.18)
        return text;
    QColor c = text;
    for (int step = 1; step <= 20 && ContrastRatio(c, base) < minRatio; ++step) {
        const double t = step / 20.0; // towards white
        c = QColor::fromRgbF(float(text.redF() + (1 - text.redF()) * t), float(text.greenF() + (1 - text.greenF()) * t),
                             float(text.blueF() + (1 - text.blueF()) * t));
    }
    return c;
}
