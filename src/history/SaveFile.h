// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file written whole or not at all: through a temporary file that
// replaces the old one only once every write, the flush and the commit
// have succeeded. On any failure the old file stays as it was, and the
// first error is kept in the system's own words.
#include <QSaveFile>
#include <QString>

class CCheckedSave {
public:
    explicit CCheckedSave(const QString& path) : m_file(path) {}
    bool Open();
    bool Write(const char* data, qint64 len);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), bytes.size()); }
    bool Seek(qint64 pos);
    // Everything written has reached the disk's temporary file; nothing
    // has been replaced yet.
    bool Flush();
    // Flushes, then puts the file in place of the old one.
    bool Commit();
    void Cancel() { m_file.cancelWriting(); }
    bool Failed() const { return !m_strError.isEmpty(); }
    const QString& Error() const { return m_strError; }

private:
    bool Check(bool ok);
    QSaveFile m_file;
    QString m_strError;
};

// bytes written to path as above; false with the error when it failed.
bool SaveWhole(const QString& path, const QByteArray& bytes, QString* pError);
