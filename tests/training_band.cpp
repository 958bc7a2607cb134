// SPDX-License-Identifier: GPL-3.0-or-later
// Band conditions measured as a listener's tools would: noise power in the
// band around the tone, fading depth, the filter's width, other stations'
// pitch and speed, the fist's spread, and the sound file they make.
#include "Spectrum.h"
#include "TestFiles.h"
#include "TestRegistry.h"
#include "TestWait.h"
#include "audio/Band.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"
#include "drills/Apply.h"
#include "drills/Conditions.h"
#include "settings/Options.h"
#include "drills/WaveExport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <numeric>

class TestBand : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    static std::vector<int16_t> Render(CBandRender& band, const std::vector<int16_t>& main, double volume = 1)
    {
        std::vector<int16_t> out(main.size());
        band.Process(main.data(), main.size(), volume, out.data());
        return out;
    }
    static std::vector<int16_t> Sine(double hz, int rate, size_t n, int level)
    {
        std::vector<int16_t> s(n);
        for (size_t i = 0; i < n; ++i)
            s[i] = int16_t(std::lround(level * std::sin(2 * std::numbers::pi * hz * double(i) / rate)));
        return s;
    }
private slots:
    void noiseIsAddedAtTheSetLevel()
    {
        for (int snr : {-5, 0, 10, 20, 30}) {
            const int rate = 48000;
            BandConditions c;
            c.bNoise = true;
            c.dSnrDb = snr;
            c.dToneHz = 727.27;
            c.nSeed = 11;
            const size_t n = 1 << 17;
            CBandRender quiet(c, false, rate), keyed(c, false, rate);
            const std::vector<int16_t> noise = Render(quiet, std::vector<int16_t>(n, 0));
            const std::vector<int16_t> tone = Sine(c.dToneHz, rate, n, kToneLevel);
            const std::vector<int16_t> both = Render(keyed, tone);
            // Added, never multiplied: what the tone brings is the tone alone,
            // exactly where nothing needs scaling.
            const double g = keyed.Headroom();
            for (size_t i = 0; i < n; ++i)
                QVERIFY(std::abs(both[i]) == 32767 || std::abs(both[i] - noise[i] - g * tone[i]) <= (g < 1 ? 0.5 : 0.0));
            // Noise within 500 Hz of the tone against the tone's power.
            const std::vector<double> spectrum = PowerSpectrum(std::vector<double>(noise.begin(), noise.end()));
            const double inBand = PowerBetween(spectrum, rate, c.dToneHz - 250, c.dToneHz + 250);
            const double tonePower = g * g * kToneLevel * double(kToneLevel) / 2;
            const double measured = 10 * std::log10(tonePower / inBand);
            QVERIFY2(std::abs(measured - snr) < 0.5, qPrintable(QString::number(measured)));
            // Never clipped but rarely, and only scaled down when it must be.
            const auto clipped = std::count_if(both.begin(), both.end(), [](int16_t x) { return std::abs(x) >= 32767; });
            QVERIFY(clipped < qsizetype(n / 10000));
            QCOMPARE(g == 1.0, snr >= 20);
        }
    }

    void fadingSpansItsDepthOncePerPeriod()
    {
        for (auto [depth, period] : {std::pair{20, 10}, {6, 4}, {30, 30}}) {
            const int rate = 8000; // the gain's course is the same at any rate
            BandConditions c;
            c.nQsbDepthDb = depth;
            c.nQsbPeriodS = period;
            c.nSeed = 5;
            CBandRender band(c, true, rate);
            const int seconds = std::max(120, 10 * period);
            const std::vector<int16_t> out = Render(band, std::vector<int16_t>(size_t(rate) * seconds, 10000));
            // Loudest over quietest, each minute.
            for (int m = 0; m + 60 <= seconds; m += 60) {
                const auto [lo, hi] = std::minmax_element(out.begin() + m * rate, out.begin() + (m + 60) * rate);
                const double span = 20 * std::log10(double(*hi) / std::max<int16_t>(*lo, 1));
                QVERIFY2(span > 0.8 * depth && span < depth + 0.5, qPrintable(QString::number(span)));
            }
            // Fades: times the gain goes below its middle.
            const double middle = 10000 * std::pow(10.0, -depth / 40.0);
            int fades = 0;
            bool below = out[0] < middle;
            for (int16_t x : out) {
                if (!below && x < middle)
                    ++fades;
                below = x < middle;
            }
            const double expected = double(seconds) / period;
            QVERIFY2(std::abs(fades - expected) <= expected * 0.3 + 1, qPrintable(QString::number(fades)));
        }
    }

    void filterIsAsWideAsSet()
    {
        for (int width : {150, 500, 2400}) {
            const int rate = 48000;
            const double centre = 800;
            // The steady gain of a sine through the filter, measured.
            auto gain = [&](double hz) {
                std::vector<CBandRender::Biquad> f = CBandRender::FilterFor(centre, width, rate);
                const size_t settle = size_t(rate) / 4, n = size_t(rate) / 4;
                double in = 0, out = 0;
                for (size_t i = 0; i < settle + n; ++i) {
                    const double x = std::sin(2 * std::numbers::pi * hz * double(i) / rate);
                    double y = x;
                    for (auto& s : f)
                        y = s.Run(y);
                    if (i >= settle) {
                        in += x * x;
                        out += y * y;
                    }
                }
                return out / in;
            };
            QVERIFY(std::abs(gain(centre) - 1) < 0.01);
            // The half-power points on each side, by bisection.
            auto edge = [&](double inside, double outside) {
                for (int i = 0; i < 18; ++i) {
                    const double mid = (inside + outside) / 2;
                    (gain(mid) > 0.5 ? inside : outside) = mid;
                }
                return (inside + outside) / 2;
            };
            const double measured = edge(centre, centre + 4 * width) - edge(centre, std::max(1.0, centre - 4 * width));
            QVERIFY2(std::abs(measured - width) < 0.05 * width, qPrintable(QString::number(measured)));
        }
    }

    void otherStationsKeepTheirDistanceAndSpeed()
    {
        TrainingOptions o;
        o.nQrmStations = 3;
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            const BandConditions c = ConditionsFor(o, 20, 700, seed);
            QCOMPARE(int(c.qrm.size()), 3);
            for (size_t i = 0; i < c.qrm.size(); ++i) {
                const QrmStation& s = c.qrm[i];
                QVERIFY(std::abs(s.dOffsetHz) >= 100 && std::abs(s.dOffsetHz) <= 600);
                for (size_t j = 0; j < i; ++j)
                    QVERIFY(std::abs(s.dOffsetHz - c.qrm[j].dOffsetHz) >= 60);
                // The shortest key-down is the station's dot.
                QVERIFY(s.spans.size() % 2 == 0);
                int dot = INT_MAX;
                for (size_t k = 0; k < s.spans.size(); k += 2)
                    dot = std::min(dot, s.spans[k]);
                const double wpm = 9600.0 / dot;
                QVERIFY2(wpm >= 20 * 0.7 - 0.5 && wpm <= 20 * 1.3 + 0.5, qPrintable(QString::number(wpm)));
            }
        }
        // Every character of their texts is keyed.
        CBandRandom random(3);
        for (int i = 0; i < 50; ++i)
            for (unsigned char ch : QrmText(random))
                QVERIFY(ch == ' ' || *MorsePattern(ch) != '\0');
        // The same seed, the same stations.
        QCOMPARE(ConditionsFor(o, 20, 700, 9), ConditionsFor(o, 20, 700, 9));
        QVERIFY(ConditionsFor(o, 20, 700, 9) != ConditionsFor(o, 20, 700, 10));
    }

    void fistVariesEachLengthKeepingTheMean()
    {
        for (int jitter : {0, 10, 30}) {
            // Each run of a buffer against the nearest of its nominal lengths,
            // over a few tests.
            std::vector<double> errors;
            for (int seed = 77; seed < 81; ++seed) {
                CMorseEngine e;
                e.SetSettings({ kLatinRandom1, 800, 12, 50 });
                TrainingOptions o;
                o.nFistJitterPercent = jitter;
                o.nBandSeed = seed;
                ApplyTrainingOptions(o, e);
                const int dot = 8 * e.DotMs();
                QCOMPARE(e.KeyWholeTest([&](const unsigned char* p, int n) {
                    int from = 0;
                    for (int i = 1; i <= n; ++i) {
                        if (i < n && (p[i] == 0) == (p[from] == 0))
                            continue;
                        if (i < n || p[from] != 0) { // the gap ending a buffer is its own
                            const int len = i - from;
                            const int nominal = p[from] != 0 && len > 2 * dot ? 3 * dot : dot;
                            errors.push_back(double(len - nominal) / dot);
                        }
                        from = i;
                    }
                    return true;
                }),
                    0);
            }
            const double mean = std::accumulate(errors.begin(), errors.end(), 0.0) / double(errors.size());
            double sq = 0;
            for (double x : errors)
                sq += (x - mean) * (x - mean);
            const double sd = 100 * std::sqrt(sq / double(errors.size()));
            QVERIFY(errors.size() > 800);
            QVERIFY2(std::abs(mean) < 0.03, qPrintable(QString::number(mean)));
            QVERIFY2(std::abs(sd - jitter) <= 0.15 * jitter + 0.5, qPrintable(QString::number(sd)));
        }
    }

    void exportsRepeatAndCarryTheNoiseOnTop()
    {
        g_strPhraseFile = PhraseFile(m_dir.filePath("phrase.txt"), "CQ CQ DE JA1ZZZ K\n");
        auto exportWith = [&](const TrainingOptions& o, const QString& name) {
            CMorseEngine e;
            e.SetSettings({ kLatinPhrase, 700, 25, 60 });
            const QString path = m_dir.filePath(name);
            const WaveExportResult r = ExportTestAsWave(e, o, path, [](int) { return true; });
            return r.eStatus == WaveExportResult::Written ? WavePcm(ReadAll(path)) : std::vector<int> {};
        };
        TrainingOptions clean;
        clean.eToneShape = ToneShape::Shaped;
        TrainingOptions noisy = clean;
        noisy.nNoiseSnrDb = 25;
        noisy.nBandSeed = 1234;
        const std::vector<int> a = exportWith(noisy, "a.wav"), b = exportWith(noisy, "b.wav");
        QVERIFY(!a.empty());
        QVERIFY(a == b);
        // The noisy file less the clean one is the noise the renderer makes
        // alone from the same seed.
        const std::vector<int> c = exportWith(clean, "c.wav");
        QCOMPARE(a.size(), c.size());
        CBandRender alone(ConditionsFor(noisy, 25, KeyedPitch(700), 1234), false, 48000);
        const std::vector<int16_t> noise = Render(alone, std::vector<int16_t>(a.size(), 0), 60 * 65535 / 100 / 65535.0);
        for (size_t i = 0; i < a.size(); ++i)
            QVERIFY(a[i] - c[i] == noise[i]);
        QVERIFY(std::any_of(noise.begin(), noise.end(), [](int16_t x) { return x != 0; }));
        // Every condition on: the same again, and not the noise-only file.
        TrainingOptions all = noisy;
        all.nQsbDepthDb = 12;
        all.nQrmStations = 2;
        all.nFistJitterPercent = 15;
        all.nFilterHz = 400;
        const std::vector<int> d = exportWith(all, "d.wav");
        QVERIFY(d == exportWith(all, "e.wav"));
        QVERIFY(d != a);
        g_strPhraseFile.clear();
    }

};

DRAVIK_REGISTER_TEST(TestBand)
#include "training_band.moc"
