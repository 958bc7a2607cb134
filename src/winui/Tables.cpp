// SPDX-License-Identifier: GPL-3.0-or-later
#include "winui/Tables.h"

#include <QHeaderView>
#include <QTableWidget>

QTableWidget* ReadOnlyTable(const QStringList& headers, QWidget* parent)
{
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->verticalHeader()->hide();
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setFocusPolicy(Qt::NoFocus);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return t;
}

void AppendRow(QTableWidget* table, const QStringList& cells)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int c = 0; c < int(cells.size()); ++c)
        table->setItem(row, c, new QTableWidgetItem(cells[c]));
}
