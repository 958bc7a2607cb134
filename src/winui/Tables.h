// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The small read-only tables of the practice windows.
#include <QStringList>

class QTableWidget;
class QWidget;

// Columns with these headers, stretched to the width; no row numbers, no
// editing, no focus (the window's keys stay the window's).
QTableWidget* ReadOnlyTable(const QStringList& headers, QWidget* parent);
// A row of text cells at the end.
void AppendRow(QTableWidget* table, const QStringList& cells);
