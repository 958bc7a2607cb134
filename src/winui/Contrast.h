// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text colours that stay readable on the desktop's palette.
#include <QColor>

// WCAG 2 contrast ratio of two colours, 1 to 21.
double ContrastRatio(const QColor& a, const QColor& b);

// text as designed on a light base. On a dark base it is lightened, hue
// kept, until it stands at least minRatio against the base.
QColor ReadableOn(const QColor& text, const QColor& base, double minRatio = 4.5);
