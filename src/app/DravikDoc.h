// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The document: always empty. It only carries the name it was opened by.
class CDravikDoc {
public:
    bool OnNewDocument();
    // Opening reads nothing; the name is kept and nothing else changes.
    bool OnOpenDocument(const QString& path);
    const QString& GetPathName() const { return m_strPathName; }

private:
    QString m_strPathName;
};
