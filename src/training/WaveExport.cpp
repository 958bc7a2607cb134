#include "training/WaveExport.h"
#include "audio/ToneRender.h"
#include "training/Apply.h"
#include "text/Cp932.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>

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

WaveExportResult ExportTestAsWave(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                                  const std::function<bool(int nPermille)>& progress)
{
    WaveExportResult result;
    ApplyTrainingOptions(options, engine);
    const ToneShaping shaping = engine.GetKeyingOptions().shaping;
    const int rate = RenderRate(shaping);
    const uint32_t volume = CMorseEngine::VolumeWord(engine.Volume());

    QSaveFile wave(path);
    if (!wave.open(QIODevice::WriteOnly)) {
        result.strError = wave.errorString();
        return result;
    }
    wave.write(WaveHeader(rate, 0));
    quint64 dataBytes = 0;
    std::vector<int16_t> rendered;
    QByteArray chunk;
    bool bWriteFailed = false;
    const int r = engine.KeyWholeTest([&](const unsigned char* samples, int count) {
        rendered.clear();
        RenderKeyed(samples, uint32_t(count), shaping, rendered);
        chunk.resize(qsizetype(rendered.size() * 2));
        for (size_t i = 0; i < rendered.size(); ++i)
            qToLittleEndian(ScaleToVolume(rendered[i], volume), chunk.data() + 2 * i);
        dataBytes += quint64(chunk.size());
        if (wave.write(chunk) != chunk.size() || dataBytes > std::numeric_limits<quint32>::max() - 36) {
            bWriteFailed = true;
            return false;
        }
        return progress(engine.ProgressPermille());
    });
    result.strSent = engine.Sent();
    if (r == -2) {
        wave.cancelWriting();
        result.eStatus = WaveExportResult::NoPhraseFile;
        return result;
    }
    if (r == 1) {
        wave.cancelWriting();
        result.eStatus = bWriteFailed ? WaveExportResult::Failed : WaveExportResult::Cancelled;
        result.strError = bWriteFailed ? wave.errorString() : QString();
        return result;
    }
    wave.seek(0);
    wave.write(WaveHeader(rate, quint32(dataBytes)));

    // The text as the user reads it: UTF-8.
    QSaveFile text(TextPathFor(path));
    const QString sent = Cp932ToQString(engine.Sent());
    if (!text.open(QIODevice::WriteOnly) || text.write(sent.toUtf8()) < 0 || !text.commit()) {
        wave.cancelWriting();
        result.strError = text.errorString();
        return result;
    }
    if (!wave.commit()) {
        QFile::remove(TextPathFor(path));
        result.strError = wave.errorString();
        return result;
    }
    result.eStatus = WaveExportResult::Written;
    return result;
}
