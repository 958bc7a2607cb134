// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/WaveExport.h"
#include "audio/ToneRender.h"
#include "drills/Apply.h"
#include "engine/ToneBuffers.h"
#include "text/Cp932.h"
#include "history/SaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <memory>

#include <limits>

QString TextPathFor(const QString& wavePath)
{
    const QFileInfo info(wavePath);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".txt");
}

// The canonical 44-byte header of 16-bit mono PCM.
static QByteArray WaveHeader(int nRate, quint32 nDataBytes)
{
    QByteArray h(44, '\0');
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
    std::memcpy(h.data(), "RIFF", 4);
    put32(4, 36 + nDataBytes);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1); // PCM
    put16(22, 1); // mono
    put32(24, quint32(nRate));
    put32(28, quint32(nRate) * 2);
    put16(32, 2);
    put16(34, 16);
    std::memcpy(h.data() + 36, "data", 4);
    put32(40, nDataBytes);
    return h;
}

bool IsSameFile(const QString& a, const QString& b)
{
    const QFileInfo x(a), y(b);
    if (!x.exists() || !y.exists())
        return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
    return x.canonicalFilePath() == y.canonicalFilePath();
}

WaveExportResult ExportTestAsWave(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                                  const std::function<bool(int nPermille)>& progress)
{
    WaveExportResult result;
    const QString textPath = TextPathFor(path);
    const QString phraseFile = QFile::decodeName(QByteArray::fromStdString(g_strPhraseFile));
    if (IsSameFile(path, phraseFile) || IsSameFile(textPath, phraseFile)) {
        result.eStatus = WaveExportResult::PhraseFileInUse;
        return result;
    }
    ApplyTrainingOptions(options, engine);
    CToneChain chain(engine.GetKeyingOptions().shaping);
    const int rate = chain.Rate();
    const uint32_t volume = CMorseEngine::VolumeWord(engine.Volume());

    CCheckedSave wave(path);
    CCheckedSave text(textPath);
    auto fail = [&](const CCheckedSave& failed) {
        result.eStatus = WaveExportResult::Failed;
        result.strError = failed.Error();
        wave.Cancel();
        text.Cancel();
        return result;
    };
    if (!wave.Open() || !wave.Write(WaveHeader(rate, 0)))
        return fail(wave);
    quint64 dataBytes = 0;
    std::vector<int16_t> rendered;
    std::vector<int16_t> heard;
    QByteArray chunk;
    bool bTooLong = false;
    const int r = engine.KeyWholeTest([&](const unsigned char* samples, int count) {
        rendered.clear();
        chain.AppendKeyed(samples, uint32_t(count), volume, rendered);
        if (chain.HasBand()) {
            // The band conditions as the device works them in, from the same seed.
            heard.resize(rendered.size());
            chain.Band(rendered.data(), rendered.size(), volume, heard.data());
            rendered.swap(heard);
        }
        chunk.resize(qsizetype(rendered.size() * 2));
        for (size_t i = 0; i < rendered.size(); ++i)
            qToLittleEndian(rendered[i], chunk.data() + 2 * i);
        dataBytes += quint64(chunk.size());
        bTooLong = dataBytes > std::numeric_limits<quint32>::max() - 36;
        if (bTooLong || !wave.Write(chunk))
            return false;
        return progress(engine.ProgressPermille());
    });
    result.strSent = engine.Sent();
    if (r == -2) {
        wave.Cancel();
        result.eStatus = WaveExportResult::NoPhraseFile;
        return result;
    }
    if (bTooLong) {
        wave.Cancel();
        result.strError = QStringLiteral("WAVE の大きさの上限 (4 GiB) を超えます。");
        return result;
    }
    if (wave.Failed())
        return fail(wave);
    if (r == 1) {
        wave.Cancel();
        result.eStatus = WaveExportResult::Cancelled;
        return result;
    }
    // The real sizes, then everything on the disk, before either file
    // replaces an old one.
    if (!wave.Seek(0) || !wave.Write(WaveHeader(rate, quint32(dataBytes))) || !wave.Flush())
        return fail(wave);
    // The text as the user reads it: UTF-8.
    if (!text.Open() || !text.Write(Cp932ToQString(engine.Sent()).toUtf8()) || !text.Flush())
        return fail(text);
    if (!wave.Commit())
        return fail(wave);
    if (!text.Commit())
        return fail(text);
    result.eStatus = WaveExportResult::Written;
    return result;
}
