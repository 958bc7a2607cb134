// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

class QWidget;

// Message box styles and results with their Windows values.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box and returns the button that closed it: IDOK, or
// IDYES / IDNO for MB_YESNO (No is the default: nothing is lost by it).
int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style);

// Tests answer boxes through this hook instead of a modal loop.
using MessageBoxHook = std::function<int(const QString& text, const QString& caption, unsigned style)>;
void SetMessageBoxHook(MessageBoxHook hook);
