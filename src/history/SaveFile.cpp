// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/SaveFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>

bool CCheckedSave::Check(bool ok)
{
    // Read before anything else touches the file: cancelling replaces
    // the error with "cancelled by the application". A write that runs
    // out of disk leaves Qt with no reason but "Unknown error"; the
    // system's is in errno.
    const int nErrno = errno;
    if (!ok && m_strError.isEmpty()) {
        m_strError = m_file.errorString();
        if ((m_strError.isEmpty() || m_strError == QFile().errorString()) && nErrno != 0)
            m_strError = QString::fromLocal8Bit(std::strerror(nErrno));
        if (m_strError.isEmpty())
            m_strError = QStringLiteral("?");
    }
    return ok && m_strError.isEmpty();
}

bool CCheckedSave::Open() { return Check(m_file.open(QIODevice::WriteOnly)); }

bool CCheckedSave::Write(const char* data, qint64 len) { return Check(!Failed() && m_file.write(data, len) == len); }

bool CCheckedSave::Seek(qint64 pos) { return Check(!Failed() && m_file.seek(pos)); }

// QSaveFile::commit() does not report a failed final flush: flush first.
bool CCheckedSave::Flush() { return Check(!Failed() && m_file.flush()); }

bool CCheckedSave::Commit()
{
    if (!Flush() || !Check(m_file.commit())) {
        m_file.cancelWriting();
        return false;
    }
    return true;
}

bool SaveWhole(const QString& path, const QByteArray& bytes, QString* pError)
{
    CCheckedSave file(path);
    if (file.Open() && file.Write(bytes) && file.Commit())
        return true;
    file.Cancel();
    if (pError)
        *pError = file.Error();
    return false;
}
