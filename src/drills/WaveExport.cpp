// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/WaveExport.h"
#include "audio/ToneRender.h"
#include "drills/Apply.h"
#include "drills/Drills.h"
#include "drills/SoundFile.h"
#include "engine/ToneBuffers.h"
#include "text/Cp932.h"
#include "history/SaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <memory>
#include <random>

QString TextPathFor(const QString& wavePath)
{
    const QFileInfo info(wavePath);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".txt");
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
    return ExportSound(engine, options, path, {}, progress);
}

// Items a test of call signs or words sends, one a line.
static std::string ItemText(SoundExport::Content eContent, CBandRandom& random)
{
    constexpr int kItemsPerTest = 20;
    std::string text;
    for (int i = 0; i < kItemsPerTest; ++i)
        text += (eContent == SoundExport::Words ? PracticeWord(random) : CallSign(random)) + '\n';
    return text;
}

WaveExportResult ExportSound(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                             const SoundExport& what, const std::function<bool(int nPermille)>& progress)
{
    WaveExportResult result;
    const QString textPath = TextPathFor(path);
    const QString phraseFile = QFile::decodeName(QByteArray::fromStdString(g_strPhraseFile));
    if (IsSameFile(path, phraseFile) || IsSameFile(textPath, phraseFile)) {
        result.eStatus = WaveExportResult::PhraseFileInUse;
        return result;
    }
    std::random_device device;
    CBandRandom random(device());
    if (what.eContent != SoundExport::Form) {
        const TestSettings form = engine.Settings();
        engine.SetSettings({what.eContent == SoundExport::Words ? kLatinWords : kLatinCallSigns, form.nFreq, form.nWpm,
                            form.nVolume});
        engine.SetFixedText(ItemText(what.eContent, random));
    }
    // The items keep their character speed, as the call-sign window sends them.
    TrainingOptions o = options;
    if (what.eContent != SoundExport::Form)
        o.nEffectiveWpm = 0;
    ApplyTrainingOptions(o, engine);
    CToneChain chain(engine.GetKeyingOptions().shaping);
    const int rate = chain.Rate();
    const uint32_t volume = CMorseEngine::VolumeWord(engine.Volume());
    const double voiceGain = chain.VoiceGain(volume);
    const long long llWanted = static_cast<long long>(std::clamp(what.nMinutes, 0, SoundExport::kMaxMinutes)) * 60 * rate;

    CCheckedSave sound(path);
    CCheckedSave text(textPath);
    const std::unique_ptr<CSoundFileWriter> writer = CSoundFileWriter::Make(SoundFormatFor(path));
    auto fail = [&](const CCheckedSave& failed) {
        result.eStatus = WaveExportResult::Failed;
        result.strError = failed.Error().isEmpty() ? writer->Limit() : failed.Error();
        if (result.strError.isEmpty())
            result.strError = QStringLiteral("音声の符号化に失敗しました。");
        sound.Cancel();
        text.Cancel();
        return result;
    };
    if (!sound.Open() || !writer->Begin(sound, rate))
        return fail(sound);
    long long llWritten = 0;
    std::vector<int16_t> rendered;
    std::vector<int16_t> heard;
    QString sent;
    for (int nTest = 0;; ++nTest) {
        const int r = engine.KeyWholeTest([&](const unsigned char* samples, int count) {
            rendered.clear();
            chain.AppendKeyed(samples, uint32_t(count), volume, rendered);
            if (chain.HasBand()) {
                // The band conditions as the device works them in, from the same seed.
                heard.resize(rendered.size());
                chain.Band(rendered.data(), rendered.size(), volume, heard.data());
                rendered.swap(heard);
            }
            // The voice over the band conditions, as the device lays it.
            if (const KeyedVoice& voice = engine.SinkVoice(); voice.pSamples)
                OverlayVoice(rendered.data(), rendered.size(), 0, *voice.pSamples,
                             chain.VoiceAt(voice.nAtKeyed, 0), voiceGain);
            llWritten += static_cast<long long>(rendered.size());
            if (!writer->Add(sound, rendered.data(), rendered.size()))
                return false;
            const int permille = llWanted > 0 ? int(std::min(999LL, llWritten * 1000 / llWanted))
                                              : engine.ProgressPermille();
            return progress(permille);
        });
        if (nTest == 0)
            result.strSent = engine.Sent();
        if (r == -2) {
            sound.Cancel();
            result.eStatus = WaveExportResult::NoPhraseFile;
            return result;
        }
        if (r == 1 && (sound.Failed() || !writer->Limit().isEmpty()))
            return fail(sound);
        if (r == 1) {
            sound.Cancel();
            result.eStatus = WaveExportResult::Cancelled;
            return result;
        }
        sent += (sent.isEmpty() ? QString() : QStringLiteral("\n\n")) + Cp932ToQString(engine.Sent()).trimmed();
        if (llWritten >= llWanted)
            break;
        // A second between tests; then the next, drawn anew.
        const std::vector<int16_t> pause(size_t(rate), 0);
        llWritten += rate;
        if (!writer->Add(sound, pause.data(), pause.size()))
            return fail(sound);
        if (what.eContent != SoundExport::Form)
            engine.SetFixedText(ItemText(what.eContent, random));
        else if (const std::string qso = PhraseTextFor(options, engine.Mode(), random.Next()); !qso.empty())
            engine.SetFixedText(qso);
        // A new fist for each test; the band conditions go on through the
        // file, as its one chain renders them.
        ApplyTrainingOptions(o, engine);
    }
    // Everything on the disk before either file replaces an old one.
    const QString title = QStringLiteral("Dravik %1 %2 WPM")
                              .arg(QString::fromUtf8(FindPracticeMode(engine.Mode())->pszName))
                              .arg(engine.Wpm());
    if (!writer->End(sound, title, sent) || !sound.Flush())
        return fail(sound);
    // The text as the user reads it: UTF-8.
    if (!text.Open() || !text.Write(sent.toUtf8()) || !text.Flush())
        return fail(text);
    if (!sound.Commit())
        return fail(sound);
    if (!text.Commit())
        return fail(text);
    result.eStatus = WaveExportResult::Written;
    result.llSamples = llWritten;
    result.nRate = rate;
    return result;
}
