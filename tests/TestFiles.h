// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files the tests write and read back.
#include <QFile>
#include <QtEndian>

#include <string>
#include <vector>

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}
inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// Writes a phrase file and gives its name as the engine takes it.
inline std::string PhraseFile(const QString& path, const QByteArray& bytes)
{
    return WriteBytes(path, bytes) ? QFile::encodeName(path).toStdString() : std::string();
}
// The 16-bit samples of one of our wave files (a 44-byte header).
inline std::vector<int> WavePcm(const QByteArray& wav)
{
    std::vector<int> pcm(wav.size() > 44 ? size_t(wav.size() - 44) / 2 : 0);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i);
    return pcm;
}
