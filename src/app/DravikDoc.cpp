// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DravikDoc.h"

bool CDravikDoc::OnNewDocument()
{
    m_strPathName.clear();
    return true;
}

bool CDravikDoc::OnOpenDocument(const QString& path)
{
    m_strPathName = path;
    return true;
}
