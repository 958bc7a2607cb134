// SPDX-License-Identifier: GPL-3.0-or-later
// Band conditions measured from sound files written as the device plays:
// the noise's SNR, the fading's depth and period, other stations' pitch
// and speed, the fist's spread, the filter's width, and the time the
// renderer takes per second of sound with everything on.
//
//   band_bench [runs] [folder]   (runs: repeats of the timing, 5 by
//   default; with a folder, example files to listen to are written there)
#include "Check.h"
#include "MeanSpectrum.h"
#include "audio/Band.h"
#include "engine/ToneBuffers.h"
#include "drills/Conditions.h"
#include "drills/WaveExport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <initializer_list>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

static QTemporaryDir* g_pDir;

static int g_nRate = 0; // of the last file

static std::vector<double> Export(const TrainingOptions& o, int nMode, int nWpm, int nFreq = 700, int nVolume = 50)
{
    CMorseEngine e;
    e.SetSettings({ nMode, nFreq, nWpm, nVolume });
    const QString path = g_pDir->filePath("b.wav");
    if (ExportTestAsWave(e, o, path, [](int) { return true; }).eStatus != WaveExportResult::Written)
        return {};
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray all = f.readAll();
    g_nRate = int(qFromLittleEndian<quint32>(all.constData() + 24));
    const QByteArray bytes = all.mid(44);
    std::vector<double> pcm(size_t(bytes.size() / 2));
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return pcm;
}

static std::vector<double> MeanSpectrum(const std::vector<double>& x) { return MeanPowerSpectrum(x); }

static void Snr(const TrainingOptions& base, const char* tone, std::initializer_list<int> levels)
{
    std::printf("SNR (%s tone 727 Hz, 20 WPM phrase, noise = noisy - G x clean, the tone's power within 500 Hz):\n"
                "  set   measured  headroom\n", tone);
    std::vector<double> clean = Export(base, kLatinPhrase, 20);
    if (g_nRate == 8000) { // the square tone without conditions: held six times, as they render it
        std::vector<double> held;
        for (double v : clean)
            held.insert(held.end(), 6, v);
        clean.swap(held);
    }
    const double keyed = double(std::count_if(clean.begin(), clean.end(), [](double v) { return v != 0; })) / double(clean.size());
    const double from = KeyedPitch(700) - 250, to = KeyedPitch(700) + 250;
    // The clean tone in the band while keyed down; heard at G² of it.
    const double cleanPower = PowerBetween(MeanSpectrum(clean), 48000, from, to) / keyed;
    for (int snr : levels) {
        TrainingOptions o = base;
        o.nNoiseSnrDb = snr;
        o.nBandSeed = 100 + snr;
        const std::vector<double> noisy = Export(o, kLatinPhrase, 20);
        // G by least squares, then the rest is the noise.
        double xy = 0, xx = 0;
        for (size_t i = 0; i < clean.size(); ++i) {
            xy += noisy[i] * clean[i];
            xx += clean[i] * clean[i];
        }
        const double g = xy / xx;
        std::vector<double> noise(clean.size());
        for (size_t i = 0; i < clean.size(); ++i)
            noise[i] = noisy[i] - g * clean[i];
        const double tonePower = g * g * cleanPower;
        const double inBand = PowerBetween(MeanSpectrum(noise), 48000, from, to);
        const double measured = 10 * std::log10(tonePower / inBand);
        std::printf("  %4d  %8.2f  %8.3f\n", snr, measured, g);
        Within("SNR, dB against the set", measured - snr, -0.5, 0.5);
    }
}

static void Qsb()
{
    std::printf("QSB (square tone, 50 letters at 10 WPM, gain from each element's level against the clean file):\n"
                "  set dB / s   measured dB per minute          fades  s per fade\n");
    for (auto [depth, period] : { std::pair { 10, 8 }, { 20, 10 }, { 30, 20 } }) {
        TrainingOptions o;
        o.nQsbDepthDb = depth;
        o.nQsbPeriodS = period;
        o.nBandSeed = 7;
        const std::vector<double> faded = Export(o, kLatinRandom1, 10);
        // The clean level of a square tone is constant: compare against it.
        const double level = std::abs(*std::max_element(
            faded.begin(), faded.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
        std::vector<std::pair<double, double>> gains; // seconds, dB against the loudest
        for (size_t i = 0; i < faded.size(); ++i)
            if (faded[i] != 0)
                gains.push_back({ double(i) / 48000, 20 * std::log10(std::abs(faded[i]) / level) });
        std::printf("  %2d / %2d      ", depth, period);
        const double seconds = double(faded.size()) / 48000;
        for (int m = 0; m + 60 <= int(seconds); m += 60) {
            double lo = 0, hi = -100;
            for (auto [t, g] : gains)
                if (t >= m && t < m + 60) {
                    lo = std::min(lo, g);
                    hi = std::max(hi, g);
                }
            std::printf("%6.1f", hi - lo);
            Within("fading span a minute, dB", hi - lo, 0.8 * depth, depth + 0.5);
        }
        int fades = 0;
        bool below = false;
        for (auto [t, g] : gains) {
            if (!below && g < -depth / 2.0)
                ++fades;
            below = g < -depth / 2.0;
        }
        std::printf("%*s %5d  %8.1f   (%.0f s)\n", 20, "", fades, seconds / std::max(fades, 1), seconds);
        const double expected = seconds / period;
        Within("fades", fades, expected * 0.7 - 1, expected * 1.3 + 1);
    }
}

static void Qrm()
{
    std::printf("QRM (3 stations at 0 dB beside the main signal, 727 Hz at 20 WPM):\n");
    TrainingOptions o;
    o.nQrmStations = 3;
    o.nQrmLevelDb = 0;
    o.nBandSeed = 31;
    const std::vector<double> pcm = Export(o, kLatinRandom5, 20);
    const BandConditions c = ConditionsFor(o, 20, KeyedPitch(700), 31);
    const std::vector<double> spectrum = MeanSpectrum(pcm);
    const double bin = 48000.0 / (2.0 * double(spectrum.size()));
    for (const QrmStation& s : c.qrm) {
        // The strongest bin within 30 Hz of where the station should be.
        const double want = KeyedPitch(700) + s.dOffsetHz;
        size_t best = 0;
        for (size_t k = size_t((want - 30) / bin); k < size_t((want + 30) / bin); ++k)
            if (spectrum[k] > spectrum[best])
                best = k;
        // Its speed from its keying as heard: filter it out and time the
        // shortest key-down.
        std::vector<CBandRender::Biquad> f = CBandRender::FilterFor(double(best) * bin, 60, 48000);
        std::vector<double> env(pcm.size());
        double e = 0, peak = 0;
        for (size_t i = 0; i < pcm.size(); ++i) {
            double y = pcm[i];
            for (auto& b : f)
                y = b.Run(y);
            e += (std::abs(y) * std::numbers::pi / 2 - e) / (48000 * 0.002);
            env[i] = e;
            peak = std::max(peak, e);
        }
        std::vector<size_t> downs;
        size_t start = 0;
        bool on = false;
        for (size_t i = 0; i < env.size(); ++i) {
            const bool now = on ? env[i] > 0.4 * peak : env[i] > 0.6 * peak;
            if (now && !on)
                start = i;
            if (!now && on)
                downs.push_back(i - start);
            on = now;
        }
        std::sort(downs.begin(), downs.end());
        const double dotMs = downs.empty() ? 0 : double(downs[downs.size() / 10]) / 48.0;
        int keyedDot = INT_MAX;
        for (size_t k = 0; k < s.spans.size(); k += 2)
            keyedDot = std::min(keyedDot, s.spans[k]);
        std::printf("  offset %+6.1f Hz: heard at %7.1f Hz (set %7.1f), dot %5.1f ms = %4.1f WPM (set %4.1f WPM)\n",
            s.dOffsetHz, double(best) * bin, want, dotMs, 1200 / dotMs, 9600.0 / keyedDot);
        // Within a bin of its pitch, 100..600 Hz away; its speed within 30 %
        // of the main signal's, and heard as keyed.
        Within("station's pitch heard, Hz off", double(best) * bin - want, -bin, bin);
        Within("station's offset, Hz", std::abs(s.dOffsetHz), 100, 600);
        Within("station's speed against the main, share", 9600.0 / keyedDot / 20, 0.7, 1.3);
        Within("station's speed heard against keyed, share", 1200 / dotMs / (9600.0 / keyedDot), 0.85, 1.15);
    }
}

static void Jitter()
{
    std::printf("Fist (8 tests of Latin single letters at 15 WPM, square tone; runs measured in the files):\n"
                "  set %%   sd %% of a dot   mean error %% of a dot   runs\n");
    for (int jitter : { 0, 5, 10, 20, 30 }) {
        std::vector<double> errors;
        for (int seed = 3; seed < 11; ++seed) {
            TrainingOptions o;
            o.nFistJitterPercent = jitter;
            o.nBandSeed = seed;
            const std::vector<double> pcm = Export(o, kLatinRandom1, 15);
            const double dot = 80.0 * g_nRate / 1000; // 80 ms at 15 WPM
            size_t from = 0;
            for (size_t i = 1; i <= pcm.size(); ++i) {
                if (i < pcm.size() && (pcm[i] == 0) == (pcm[from] == 0))
                    continue;
                const double len = double(i - from);
                // Marks are 1 or 3 dots, gaps 1 dot within a character; the
                // longer gaps between characters are left out.
                if (pcm[from] != 0)
                    errors.push_back((len - (len > 2 * dot ? 3 * dot : dot)) / dot);
                else if (from > 0 && i < pcm.size() && len < 2 * dot)
                    errors.push_back((len - dot) / dot);
                from = i;
            }
        }
        const double mean = std::accumulate(errors.begin(), errors.end(), 0.0) / double(errors.size());
        double sq = 0;
        for (double x : errors)
            sq += (x - mean) * (x - mean);
        const double sd = 100 * std::sqrt(sq / double(errors.size()));
        std::printf("  %4d   %12.2f   %20.2f   %5zu\n", jitter, sd, 100 * mean, errors.size());
        Within("fist's spread against the set, % of a dot", sd - jitter, -0.15 * jitter - 0.5, 0.15 * jitter + 0.5);
        Within("fist's mean error, % of a dot", 100 * mean, -3, 3);
    }
}

static void Filter()
{
    std::printf("Filter (noise at 0 dB through it; -3 dB width of the noise spectrum around 727 Hz):\n"
                "  set Hz   noise heard Hz   filter alone Hz (sines through it)\n");
    for (int width : { 150, 250, 500, 1000, 2400 }) {
        TrainingOptions o;
        o.nNoiseSnrDb = 0;
        o.nFilterHz = width;
        o.nBandSeed = 9;
        o.eToneShape = ToneShape::Shaped;
        TrainingOptions clean;
        clean.eToneShape = ToneShape::Shaped;
        // The tone is filtered too; its clean file through the same filter
        // is taken away, leaving the filtered noise.
        const std::vector<double> noisy = Export(o, kLatinPhrase, 20);
        std::vector<double> tone = Export(clean, kLatinPhrase, 20);
        CBandRender g(ConditionsFor(o, 20, KeyedPitch(700), 9), false, 48000);
        std::vector<CBandRender::Biquad> f = CBandRender::FilterFor(KeyedPitch(700), width, 48000);
        for (double& x : tone) {
            double y = x * g.Headroom();
            for (auto& b : f)
                y = b.Run(y);
            x = y;
        }
        std::vector<double> noise(noisy.size());
        for (size_t i = 0; i < noisy.size(); ++i)
            noise[i] = noisy[i] - tone[i];
        std::vector<double> s = MeanSpectrum(noise);
        // Smoothed over 11 bins, then the half-power points of the peak.
        std::vector<double> sm(s.size(), 0);
        for (size_t k = 5; k + 5 < s.size(); ++k)
            sm[k] = std::accumulate(s.begin() + long(k - 5), s.begin() + long(k + 6), 0.0) / 11;
        const double bin = 48000.0 / (2.0 * double(s.size()));
        const size_t centre = size_t(KeyedPitch(700) / bin);
        // The passband's slope moves the peak a little: take the peak near the centre.
        size_t peakAt = centre;
        for (size_t k = centre - size_t(width / 4 / bin); k < centre + size_t(width / 4 / bin); ++k)
            if (sm[k] > sm[peakAt])
                peakAt = k;
        size_t lo = peakAt, hi = peakAt;
        while (lo > 0 && sm[lo] > sm[peakAt] / 2)
            --lo;
        while (hi + 1 < sm.size() && sm[hi] > sm[peakAt] / 2)
            ++hi;
        // The filter alone, by steady sines through it.
        auto gain = [&](double hz) {
            std::vector<CBandRender::Biquad> chain = CBandRender::FilterFor(KeyedPitch(700), width, 48000);
            double in = 0, out = 0;
            for (int i = 0; i < 24000; ++i) {
                const double x = std::sin(2 * std::numbers::pi * hz * i / 48000);
                double y = x;
                for (auto& b : chain)
                    y = b.Run(y);
                if (i >= 12000) {
                    in += x * x;
                    out += y * y;
                }
            }
            return out / in;
        };
        auto edge = [&](double inside, double outside) {
            for (int i = 0; i < 16; ++i)
                ((gain((inside + outside) / 2) > 0.5) ? inside : outside) = (inside + outside) / 2;
            return inside;
        };
        const double c = KeyedPitch(700);
        const double alone = edge(c, c + 4 * width) - edge(c, std::max(1.0, c - 4 * width));
        std::printf("  %6d   %11.0f   %11.1f\n", width, double(hi - lo) * bin, alone);
        Within("filter's width against the set, share", alone / width, 0.95, 1.05);
    }
}

static void Cpu(int runs)
{
    std::printf(
        "CPU (every condition on: noise 0 dB, QSB 20 dB, 3 stations, filter 500 Hz; 60 s of sound at 48 kHz):\n");
    TrainingOptions o;
    o.nNoiseSnrDb = 0;
    o.nQsbDepthDb = 20;
    o.nQrmStations = 3;
    o.nFilterHz = 500;
    std::vector<double> shares;
    for (int r = 0; r < runs; ++r) {
        CBandRender band(ConditionsFor(o, 60, 700, uint32_t(r + 1)), false, 48000);
        std::vector<int16_t> in(2304, 0), out(2304);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = int16_t(8000 * std::sin(double(i) * 0.095));
        const std::clock_t c0 = std::clock();
        for (int block = 0; block < 60 * 48000 / 2304; ++block)
            band.Process(in.data(), in.size(), 0.5, out.data());
        shares.push_back(100.0 * double(std::clock() - c0) / CLOCKS_PER_SEC / 60.0);
    }
    std::sort(shares.begin(), shares.end());
    std::printf("  share of one core: min %.3f %%, median %.3f %%, max %.3f %% (%d runs)\n", shares.front(),
        shares[shares.size() / 2], shares.back(), runs);
    // CPU time, not wall time: a loaded machine does not move it much.
    Within("renderer's share of one core, %", shares[shares.size() / 2], 0, 5);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    g_pDir = &dir;
    const QString phrase = dir.filePath("phrase.txt");
    QFile f(phrase);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < 6; ++i)
        f.write("NOW IS THE TIME FOR ALL GOOD MEN TO COME TO THE AID OF THE PARTY 1234567890\n");
    f.close();
    g_strPhraseFile = QFile::encodeName(phrase).toStdString();
    TrainingOptions shaped;
    shaped.eToneShape = ToneShape::Shaped;
    Snr(shaped, "shaped", { -10, -5, 0, 10, 20, 30 });
    Snr(TrainingOptions{}, "square", { -10, 0, 20 }); // the same path: three levels suffice
    Qsb();
    Qrm();
    Jitter();
    Filter();
    Cpu(argc > 1 ? std::atoi(argv[1]) : 5);
    if (argc > 2) {
        // Files to listen to (and to decode): the phrase at 20 WPM, shaped.
        struct Example { const char* name; int snr, qsb, qrm, jitter, filter; };
        const Example examples[] = {{"clean", kNoiseOff, 0, 0, 0, 0},     {"snr0", 0, 0, 0, 0, 0},
                                    {"snr10", 10, 0, 0, 0, 0},            {"snr20", 20, 0, 0, 0, 0},
                                    {"qsb20", kNoiseOff, 20, 0, 0, 0},    {"all", 10, 10, 2, 10, 500}};
        for (const Example& x : examples) {
            TrainingOptions o = shaped;
            o.nNoiseSnrDb = x.snr;
            o.nQsbDepthDb = x.qsb;
            o.nQsbPeriodS = 8;
            o.nQrmStations = x.qrm;
            o.nFistJitterPercent = x.jitter;
            o.nFilterHz = x.filter;
            o.nBandSeed = 2026;
            CMorseEngine e;
            e.SetSettings({kLatinPhrase, 700, 20, 50});
            const QString path = QString::fromLocal8Bit(argv[2]) + "/" + x.name + ".wav";
            if (ExportTestAsWave(e, o, path, [](int) { return true; }).eStatus != WaveExportResult::Written)
                return 1;
            std::printf("wrote %s\n", qPrintable(path));
        }
    }
    return BenchResult();
}
