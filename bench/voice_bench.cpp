// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken answer, measured. (1) On the device's path (SDL's disk
// driver, which runs the stream's own fill; with the argument "pulse",
// PulseAudio's device, heard on the server's monitor): for each voice, the time from
// the last element of its unit to its first sample against the pause set,
// and its active level and K-weighted loudness against the tone's, for
// Latin and 和文 and at two volumes. (2) Sound files of 10 minutes of call
// signs, each with its voice: the time (and CPU) to write them as WAV and
// MP3, and, where ffmpeg is installed, the MP3 decoded against the length
// written and its tags. Thresholds: onset within 20 ms of the pause, level
// and loudness within 3 dB, 10 minutes written in under 30 s, decoded
// length within one frame.
#include "Check.h"
#include "audio/PulseWaveOut.h"
#include "audio/SdlWaveOut.h"
#include "audio/Voice.h"
#include "drills/Apply.h"
#include "drills/TextTest.h"
#include "drills/WaveExport.h"
#include "engine/PracticeModes.h"
#include "text/Cp932.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <thread>
#include <vector>

namespace {

struct VoiceSeen {
    double dOnsetMs;
    double dLevelDb; // active RMS against the tone's
    double dLoudnessDb; // the same K-weighted (ITU-R BS.1770), a loudness
};

// ITU-R BS.1770's K-weighting at any rate: its high shelf and high pass
// from their analogue prototypes, as libebur128 derives them.
std::vector<double> KWeighted(const std::vector<int16_t>& pcm, int nRate)
{
    struct Biquad {
        double b0, b1, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        double Run(double x)
        {
            const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = x, y2 = y1, y1 = y;
            return y;
        }
    };
    double K = std::tan(M_PI * 1681.974450955533 / nRate);
    double Q = 0.7071752369554196;
    const double Vh = std::pow(10.0, 3.999843853973347 / 20), Vb = std::pow(Vh, 0.4996667741545416);
    double a0 = 1 + K / Q + K * K;
    Biquad shelf {(Vh + Vb * K / Q + K * K) / a0, 2 * (K * K - Vh) / a0, (Vh - Vb * K / Q + K * K) / a0,
        2 * (K * K - 1) / a0, (1 - K / Q + K * K) / a0};
    K = std::tan(M_PI * 38.13547087602444 / nRate);
    Q = 0.5003270373238773;
    a0 = 1 + K / Q + K * K;
    Biquad pass {1, -2, 1, 2 * (K * K - 1) / a0, (1 - K / Q + K * K) / a0};
    std::vector<double> y(pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i)
        y[i] = pass.Run(shelf.Run(pcm[i]));
    return y;
}

double KRms(const std::vector<double>& k, size_t from, size_t to, int nRate)
{
    std::vector<float> part(k.begin() + std::ptrdiff_t(from), k.begin() + std::ptrdiff_t(to));
    return ActiveRms(part.data(), part.size(), nRate);
}

// Voices in a square-wave recording: the tone is runs of samples at the
// tone's exact level, anything else that is not silence is voice.
std::vector<VoiceSeen> FindVoices(const std::vector<int16_t>& pcm, int nRate, int nToneLevel)
{
    std::vector<VoiceSeen> seen;
    const auto isTone = [&](size_t i) { return std::abs(int(pcm[i])) == nToneLevel; };
    const std::vector<double> k = KWeighted(pcm, nRate);
    double toneK = 0; // the tone's K-weighted mean square, inside its runs
    size_t toneN = 0;
    long long lastToneEnd = -1; // one past the last sample of a tone run
    size_t i = 0;
    while (i < pcm.size()) {
        size_t run = 0;
        while (i + run < pcm.size() && isTone(i + run))
            ++run;
        if (run >= 16) { // a tone run, never a voice's few equal samples
            for (size_t t = i + run / 4; t < i + run * 3 / 4; ++t, ++toneN) // clear of its edges
                toneK += k[t] * k[t];
            i += run;
            lastToneEnd = static_cast<long long>(i);
            continue;
        }
        if (pcm[i] == 0 || lastToneEnd < 0) {
            ++i;
            continue;
        }
        // A voice from here to the next tone run.
        const size_t from = i;
        size_t to = i;
        for (size_t k = i; k < pcm.size(); ++k) {
            size_t r = 0;
            while (k + r < pcm.size() && r < 16 && isTone(k + r))
                ++r;
            if (r >= 16)
                break;
            if (pcm[k] != 0)
                to = k + 1;
        }
        const double rms = ActiveRms(pcm.data() + from, to - from, nRate);
        seen.push_back({double(static_cast<long long>(from) - lastToneEnd) * 1000.0 / nRate,
            20 * std::log10(rms / nToneLevel), 20 * std::log10(KRms(k, from, to, nRate))});
        lastToneEnd = -1;
        i = to;
    }
    for (VoiceSeen& v : seen) // against the tone's, now that all of it is heard
        v.dLoudnessDb -= 10 * std::log10(toneK / double(std::max<size_t>(1, toneN)));
    return seen;
}

// Plays a text through the device installed, to its end.
bool Play(int nMode, const std::string& text, int nVolume, const TrainingOptions& o)
{
    QObject context;
    CTextTest player(&context);
    bool bEnded = false;
    player.onEnded = [&] { bEnded = true; };
    player.onFailed = [&] { bEnded = true; };
    player.SetSettings({nMode, 800, 20, nVolume});
    ApplyTrainingOptions(o, player);
    return player.Play(QStringToCp932(QString::fromUtf8(text.c_str())))
        && QTest::qWaitFor([&] { return bEnded; }, 120000)
        && QTest::qWaitFor([] { return CSdlWaveOut::ClosingCount() == 0; }, 10000);
}

std::vector<int16_t> ReadRaw(const QString& rawFile)
{
    QFile f(rawFile);
    f.open(QIODevice::ReadOnly);
    const QByteArray raw = f.readAll();
    std::vector<int16_t> pcm(size_t(raw.size()) / 2);
    std::memcpy(pcm.data(), raw.constData(), pcm.size() * 2);
    return pcm;
}

// The default sink's monitor, recorded while play runs.
constexpr int kMonitorRate = 16000;
std::vector<int16_t> RecordMonitor(const std::function<void()>& play)
{
    std::atomic<bool> bStop{false};
    std::vector<int16_t> pcm;
    std::thread recorder([&] {
        const pa_sample_spec format{PA_SAMPLE_S16LE, kMonitorRate, 1};
        int error = 0;
        pa_simple* rec = pa_simple_new(nullptr, "voice_bench", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "monitor",
                                       &format, nullptr, nullptr, &error);
        if (!rec) {
            std::fprintf(stderr, "no monitor: %s\n", pa_strerror(error));
            return;
        }
        std::vector<int16_t> buf(kMonitorRate / 100);
        while (!bStop && pa_simple_read(rec, buf.data(), buf.size() * 2, &error) >= 0)
            pcm.insert(pcm.end(), buf.begin(), buf.end());
        pa_simple_free(rec);
    });
    QThread::msleep(300);
    play();
    QThread::msleep(500);
    bStop = true;
    recorder.join();
    return pcm;
}

// As heard from a sound server, whose resampling blurs the tone's exact
// level: sounds are runs above a floor (the null sink's silence is 0) (gaps under 2 ms bridged), a tone
// one whose power lies mostly at 800 Hz (Goertzel), a voice any other.
// The time from each tone's end to a voice after it, in ms.
std::vector<double> VoiceOnsetsHeard(const std::vector<int16_t>& pcm, int nRate)
{
    struct Sound {
        size_t from, to;
        bool bTone;
    };
    std::vector<Sound> sounds;
    // Low, for a voice may begin with a fricative, most of whose power lies
    // above the square tone's 8 kHz stream's band (the s of "seven").
    constexpr int kFloor = 20;
    const size_t bridge = size_t(nRate) / 500, shortest = size_t(nRate) * 15 / 1000;
    for (size_t i = 0; i < pcm.size();) {
        if (std::abs(int(pcm[i])) <= kFloor) {
            ++i;
            continue;
        }
        size_t last = i;
        for (size_t j = i; j < pcm.size() && j - last <= bridge; ++j)
            if (std::abs(int(pcm[j])) > kFloor)
                last = j;
        if (last + 1 - i >= shortest) {
            const double c = 2 * std::cos(2 * M_PI * 800 / nRate);
            double s1 = 0, s2 = 0, total = 0;
            for (size_t k = i; k <= last; ++k) {
                const double s0 = pcm[k] + c * s1 - s2;
                s2 = s1, s1 = s0;
                total += double(pcm[k]) * pcm[k];
            }
            const double n = double(last + 1 - i);
            const double tone = (s1 * s1 + s2 * s2 - c * s1 * s2) * 2 / (n * n);
            sounds.push_back({i, last + 1, tone > 0.4 * total / n});
        }
        i = last + 1;
    }
    std::vector<double> onsets;
    for (size_t k = 1; k < sounds.size(); ++k)
        if (sounds[k - 1].bTone && !sounds[k].bTone && sounds[k].from - sounds[k - 1].to > size_t(nRate) / 10)
            onsets.push_back(double(sounds[k].from - sounds[k - 1].to) * 1000.0 / nRate);
    return onsets;
}

// "min / median / max".
std::string Span(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.empty())
        return "-";
    char text[64];
    std::snprintf(text, sizeof text, "%+.1f / %+.1f / %+.1f", v.front(), v[v.size() / 2], v.back());
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    SetStartPause(0);
    struct Case {
        const char* pszName;
        int nMode;
        const char* pszText;
        int nUnit;
    };
    const Case cases[] = {
        {"Latin, each character", kLatinPhrase, "PARIS 73 K", 1},
        {"Latin, each word", kLatinPhrase, "CQ DE JA1ABC K", 2},
        {"Latin call sign, ICAO", kLatinCallSigns, "JA1ABC", 3},
        {"Wabun, each character", kWabunPhrase, "ｻｸﾗ ﾊﾞﾗ", 1},
        {"Wabun, each word", kWabunPhrase, "ｻｸﾗ ｶﾞ ｻｲﾀ", 2},
    };
    const auto optionsFor = [](const Case& c) {
        TrainingOptions o;
        o.nVoice = c.nUnit;
        o.bVoiceIcao = c.nMode == kLatinCallSigns;
        return o;
    };
    if (argc > 1 && QLatin1String(argv[1]) == QLatin1String("pulse")) {
        // On the sound server (bench/sound_bench.sh with VOICE=1 starts one
        // with a null sink): the voice's start as its monitor hears it.
        SetWaveOutFactory(&OpenSoundDevice);
        std::printf("On PulseAudio, from its monitor (square tone, 20 WPM, volume 20, pause before 300 ms):\n");
        for (const Case& c : cases) {
            const TrainingOptions o = optionsFor(c);
            std::vector<double> onsets = VoiceOnsetsHeard(
                RecordMonitor([&] { Play(c.nMode, c.pszText, 20, o); }), kMonitorRate);
            for (double& d : onsets)
                d -= o.nVoiceBeforeMs;
            std::printf("  %-24s %2zu voices  onset - pause ms %s\n", c.pszName, onsets.size(), Span(onsets).c_str());
            Within("voices heard", double(onsets.size()), 1, 1e9);
            for (double d : onsets)
                Within("voice onset - pause (ms)", d, -20, 20);
        }
        return BenchResult();
    }
    QTemporaryDir dir;
    const QString raw = dir.filePath("out.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(raw));
    qputenv("SDL_DISKAUDIODELAY", "2");
    SetWaveOutFactory(&CSdlWaveOut::Open);

    std::printf("On the device's path (square tone, 20 WPM, pause before 300 ms):\n");
    for (int volume : {20, 100}) {
        for (const Case& c : cases) {
            const TrainingOptions o = optionsFor(c);
            QFile::remove(raw);
            const std::vector<int16_t> pcm =
                Play(c.nMode, c.pszText, volume, o) ? ReadRaw(raw) : std::vector<int16_t>{};
            const int level = std::abs(int(ScaleToVolume(kToneLevel, CMorseEngine::VolumeWord(volume))));
            const std::vector<VoiceSeen> seen = FindVoices(pcm, 8000, level);
            std::vector<double> onsets, levels, loudness;
            for (const VoiceSeen& v : seen) {
                onsets.push_back(v.dOnsetMs - o.nVoiceBeforeMs);
                levels.push_back(v.dLevelDb);
                loudness.push_back(v.dLoudnessDb);
            }
            std::printf("  volume %3d  %-24s %2zu voices  onset - pause ms %s  level dB %s  loudness dB %s\n", volume,
                c.pszName, seen.size(), Span(onsets).c_str(), Span(levels).c_str(), Span(loudness).c_str());
            Within("voices heard", double(seen.size()), 1, 1e9);
            for (double d : onsets)
                Within("voice onset - pause (ms)", d, -20, 20);
            for (double d : levels)
                Within("voice level against the tone (dB)", d, -3, 3);
            for (double d : loudness)
                Within("voice loudness against the tone (dB)", d, -3, 3);
        }
    }

    std::printf("\n10 minutes of call signs, each with its voice (ICAO), 20 WPM:\n");
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    struct Export {
        const char* pszName;
        ToneShape eShape;
        const char* pszSuffix;
    };
    for (const Export& x :
        {Export {"square, WAV", ToneShape::Square, "wav"}, Export {"square, MP3", ToneShape::Square, "mp3"},
            Export {"shaped, WAV", ToneShape::Shaped, "wav"}, Export {"shaped, MP3", ToneShape::Shaped, "mp3"}}) {
        TrainingOptions o;
        o.nVoice = 3;
        o.bVoiceIcao = true;
        o.eToneShape = x.eShape;
        CMorseEngine e;
        e.SetSettings({kLatinRandom1, 800, 20, 20});
        const QString path = dir.filePath(QStringLiteral("calls.") + QLatin1String(x.pszSuffix));
        QElapsedTimer wall;
        wall.start();
        const std::clock_t cpu0 = std::clock();
        const WaveExportResult r = ExportSound(e, o, path, {SoundExport::CallSigns, 10}, [](int) { return true; });
        const double cpuS = double(std::clock() - cpu0) / CLOCKS_PER_SEC;
        const double wallS = double(wall.elapsed()) / 1000.0;
        const double lenS = r.nRate ? double(r.llSamples) / r.nRate : 0;
        std::printf("  %-12s %.1f min of sound in %.2f s (CPU %.2f s), %lld bytes", x.pszName, lenS / 60, wallS, cpuS,
            static_cast<long long>(QFileInfo(path).size()));
        Within("written", r.eStatus == WaveExportResult::Written ? 1 : 0, 1, 1);
        Within("minutes written", lenS / 60, 10, 12);
        Within("seconds to write 10 minutes", wallS, 0, 30);
        if (!ffmpeg.isEmpty()) {
            QProcess decode;
            decode.start(ffmpeg,
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path, QStringLiteral("-f"),
                    QStringLiteral("s16le"), QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-")});
            decode.waitForFinished(120000);
            const qint64 decoded = decode.readAllStandardOutput().size() / 2;
            QProcess probe;
            probe.start(ffmpeg, {QStringLiteral("-hide_banner"), QStringLiteral("-i"), path});
            probe.waitForFinished(30000);
            const QString info = QString::fromUtf8(probe.readAllStandardError());
            const QRegularExpressionMatch hz = QRegularExpression(QStringLiteral("(\\d+) Hz")).match(info);
            const int decodedRate = hz.hasMatch() ? hz.captured(1).toInt() : r.nRate;
            const double decodedS = double(decoded) / decodedRate;
            std::printf(", decoded by ffmpeg: %.4f s against %.4f s written (%+.0f samples at %d Hz)", decodedS, lenS,
                (decodedS - lenS) * decodedRate, decodedRate);
            Within("decoded - written (samples)", (decodedS - lenS) * decodedRate, -1152, 1152);
            if (QLatin1String(x.pszSuffix) == QLatin1String("mp3")) {
                const bool bTags = info.contains(QStringLiteral("title")) && info.contains(QStringLiteral("lyrics"));
                std::printf(", tags %s", bTags ? "title and lyrics" : "MISSING");
                Within("title and lyrics tags", bTags ? 1 : 0, 1, 1);
            }
        }
        std::printf("\n");
    }
    if (ffmpeg.isEmpty())
        std::printf("  (ffmpeg not installed: the decoded lengths were not checked)\n");
    return BenchResult();
}
