// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers every message box at once (a question with nYesNo) and keeps
// what it showed.
#include "winui/MessageBox.h"

#include <QList>
#include <QString>

struct ShownBox {
    QString text;
    QString caption;
    unsigned style;
};

class CBoxRecorder {
public:
    CBoxRecorder()
    {
        SetMessageBoxHook([this](const QString& text, const QString& caption, unsigned style) {
            boxes.append({text, caption, style});
            return (style & 0x0F) == MB_YESNO ? nYesNo : IDOK;
        });
    }
    ~CBoxRecorder() { SetMessageBoxHook(nullptr); }
    QList<ShownBox> boxes;
    int nYesNo = IDYES;
};
