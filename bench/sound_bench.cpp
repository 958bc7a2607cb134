// SPDX-License-Identifier: GPL-3.0-or-later
// Whole tests of the real program, heard as the sound server receives
// them. Run by bench/sound_bench.sh, which starts Xvfb and a PulseAudio
// null sink; this records the sink's monitor with parec while the shown
// form plays mode-0 tests, then checks every element and every gap
// against the dot length.
//
//   sound_bench LABEL [tests per speed]
#include "app/DravikApp.h"
#include "audio/PulseWaveOut.h"
#include "audio/Band.h"
#include "drills/Conditions.h"
#include "MeanSpectrum.h"
#include "app/MainFrame.h"
#include "copytest/DravikView.h"
#include "settings/Options.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"
#include "winui/MessageBox.h"
#include "winui/TickSlider.h"
#include "res/Resource.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 48000; // recording rate

// The monitor of the default sink, read as it arrives so that each
// sample's arrival time is known (for Stop -> silence). With SDL's disk
// driver (SDL_DISKAUDIOFILE set), the device's own output file instead,
// at the device's rate.
class CRecorder {
public:
    CRecorder() : m_file(qEnvironmentVariable("SDL_DISKAUDIOFILE")) {}
    bool FromDisk() const { return !m_file.isEmpty(); }
    int Rate() const { return FromDisk() ? 8000 : kRate; }
    void Start()
    {
        m_pcm.clear();
        m_arrivals.clear();
        if (FromDisk())
            return;
        m_proc.start("parec", {"-d", "@DEFAULT_MONITOR@", "--format=s16le", "--rate=" + QString::number(kRate),
                               "--channels=1", "--raw", "--latency-msec=10"});
        m_proc.waitForStarted();
        QObject::connect(&m_proc, &QProcess::readyReadStandardOutput, [this] {
            m_pcm += m_proc.readAllStandardOutput();
            m_arrivals.push_back({m_clock.nsecsElapsed(), m_pcm.size() / 2});
        });
        QTest::qWait(300);
    }
    void Stop()
    {
        if (FromDisk()) {
            // Complete once the device is released.
            if (!QTest::qWaitFor([] { return CStreamWaveOut::ClosingCount() == 0; }, 5000))
                std::fprintf(stderr, "device still closing\n");
            QFile f(m_file);
            if (f.open(QIODevice::ReadOnly))
                m_pcm = f.readAll();
            return;
        }
        QTest::qWait(300);
        m_proc.terminate();
        m_proc.waitForFinished();
        QObject::disconnect(&m_proc, nullptr, nullptr, nullptr);
    }
    int Samples() const { return int(m_pcm.size() / 2); }
    int At(int i) const { return reinterpret_cast<const qint16*>(m_pcm.constData())[i]; }
    // When sample i reached us, in ns of the shared clock.
    qint64 ArrivalNs(int i) const
    {
        for (const auto& [ns, end] : m_arrivals)
            if (end > i)
                return ns - qint64(end - 1 - i) * 1000000000 / kRate;
        return m_arrivals.empty() ? 0 : m_arrivals.back().first;
    }
    QElapsedTimer m_clock;

private:
    QString m_file;
    QProcess m_proc;
    QByteArray m_pcm;
    std::vector<std::pair<qint64, qsizetype>> m_arrivals;
};

struct Run {
    double start;
    double end; // in samples, [start, end)
};

// Runs of tone: samples above a third of the peak, joined across the dips
// of a square wave's transitions (shorter than 1 ms).
std::vector<Run> ToneRuns(const CRecorder& rec)
{
    int peak = 0;
    for (int i = 0; i < rec.Samples(); ++i)
        peak = std::max(peak, std::abs(rec.At(i)));
    const int thr = peak / 3;
    std::vector<Run> runs;
    const int join = rec.Rate() / 1000;
    for (int i = 0; i < rec.Samples(); ++i) {
        if (std::abs(rec.At(i)) <= thr)
            continue;
        if (!runs.empty() && i - runs.back().end < join)
            runs.back().end = i + 1;
        else
            runs.push_back({double(i), double(i + 1)});
    }
    return runs;
}

struct Expected {
    double ms;
    bool tone;
};

// Mode 0: each element, a 1-dot gap after it, 5 more dots after a character.
std::vector<Expected> ExpectedTimeline(const std::string& sent, int dotMs)
{
    std::vector<Expected> out;
    for (unsigned char ch : sent) {
        const char* p = MorsePattern(ch);
        for (int e = 0; p[e]; ++e) {
            out.push_back({double((p[e] == '-' ? 3 : 1) * dotMs), true});
            out.push_back({double((p[e + 1] ? 1 : 6) * dotMs), false});
        }
    }
    if (!out.empty())
        out.pop_back(); // nothing follows the last character
    return out;
}

double CpuSeconds()
{
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

template <class T> T Median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? T() : v[v.size() / 2];
}

std::vector<double> Samples(const CRecorder& rec)
{
    std::vector<double> x(size_t(rec.Samples()));
    for (int i = 0; i < rec.Samples(); ++i)
        x[size_t(i)] = rec.At(i) / 32768.0;
    return x;
}

// Band-pass 100..600 Hz: a Blackman-windowed sinc of 50 ms, which takes
// the 800 Hz tone down by more than 70 dB.
std::vector<double> BandPass(const std::vector<double>& x)
{
    const int taps = kRate / 20 + 1;
    const int mid = taps / 2;
    std::vector<double> h(static_cast<size_t>(taps));
    const double lo = 100.0 / kRate, hi = 600.0 / kRate;
    for (int n = 0; n < taps; ++n) {
        const int k = n - mid;
        const double ideal = k == 0 ? 2 * (hi - lo) : (std::sin(2 * M_PI * hi * k) - std::sin(2 * M_PI * lo * k)) / (M_PI * k);
        const double w = 0.42 - 0.5 * std::cos(2 * M_PI * n / (taps - 1)) + 0.08 * std::cos(4 * M_PI * n / (taps - 1));
        h[size_t(n)] = ideal * w;
    }
    std::vector<double> y(x.size(), 0.0);
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i] == 0.0)
            continue; // sparse: add each sample's response
        for (int n = 0; n < taps; ++n) {
            const long j = long(i) + n - mid;
            if (j >= 0 && size_t(j) < y.size())
                y[size_t(j)] += x[i] * h[size_t(n)];
        }
    }
    return y;
}

// Power at a frequency over Hann-windowed segments (Goertzel), averaged.
double PowerAt(const std::vector<double>& x, double freq)
{
    const int seg = 8192;
    double sum = 0;
    int count = 0;
    for (size_t start = 0; start + seg <= x.size(); start += seg / 2) {
        const double w = 2 * std::cos(2 * M_PI * freq / kRate);
        double s1 = 0, s2 = 0;
        for (int n = 0; n < seg; ++n) {
            const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * n / (seg - 1));
            const double s0 = x[start + size_t(n)] * hann + w * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        sum += s1 * s1 + s2 * s2 - w * s1 * s2;
        ++count;
    }
    return count ? sum / count : 0;
}

// What the server heard of a test with noise, against what the renderer
// makes from the same seed. The noise is found in the recording sample for
// sample, 5 ms at a time (a block of noise alone matches exactly; where
// the server skipped or repeated samples, the match moves: a jump), and
// taken away where it holds on both sides; what is left is the tone alone.
// Returns the SNR so heard (tone peak against noise within 500 Hz).
struct HeardBand {
    double dSnr = 0;
    int nMatched = 0; // blocks of noise alone found exactly
    int nJumps = 0;
};
HeardBand HearBand(const std::vector<int16_t>& heard, const BandConditions& c)
{
    CBandRender band(c, false, kRate);
    std::vector<int16_t> noise(heard.size() + size_t(kRate), 0), zeros(noise.size(), 0);
    band.Process(zeros.data(), zeros.size(), 1.0, noise.data());
    const long block = kRate / 200;
    auto matches = [&](long at, long d) {
        return at + d >= 0 && size_t(at + d + block) <= noise.size()
            && std::equal(heard.begin() + at, heard.begin() + at + block, noise.begin() + at + d);
    };
    HeardBand r;
    long d = 0;
    bool bHave = false;
    std::vector<long> offset(heard.size() / size_t(block), LONG_MIN); // per block, where it matched
    for (long b = 0; b < long(offset.size()); ++b) {
        const long at = b * block;
        if (bHave && matches(at, d)) {
            offset[size_t(b)] = d;
            ++r.nMatched;
            continue;
        }
        // Before the first match, and after a mismatch: look around.
        for (long k = -kRate; k <= kRate; ++k)
            if (matches(at, bHave ? d + k : k + kRate / 2)) {
                if (bHave)
                    ++r.nJumps;
                d = bHave ? d + k : k + kRate / 2;
                bHave = true;
                offset[size_t(b)] = d;
                ++r.nMatched;
                break;
            }
    }
    // The tone: blocks between two matches 50 ms apart at the same offset.
    double peak = 0;
    for (size_t b = 0; b < offset.size(); ++b) {
        if (offset[b] != LONG_MIN)
            continue;
        size_t lo = b, hi = b;
        while (lo > 0 && offset[lo] == LONG_MIN && b - lo < 20)
            --lo;
        while (hi + 1 < offset.size() && offset[hi] == LONG_MIN && hi - b < 20)
            ++hi;
        if (offset[lo] == LONG_MIN || offset[lo] != offset[hi])
            continue;
        for (long i = long(b) * block; i < long(b + 1) * block; ++i)
            peak = std::max(peak, double(std::abs(heard[size_t(i)] - noise[size_t(i + offset[lo])])));
    }
    // The noise as rendered, over the recording's length.
    noise.resize(heard.size());
    const std::vector<double> sum = MeanPowerSpectrum(noise);
    r.dSnr = 10 * std::log10(peak * peak / 2 / PowerBetween(sum, kRate, c.dToneHz - 250, c.dToneHz + 250));
    return r;
}

// Stretches of 1 ms or more of exact zeros between the first and last
// sample of a noisy stream.
int ZeroStretches(const std::vector<double>& x)
{
    size_t first = 0, last = x.size();
    while (first < last && x[first] == 0)
        ++first;
    while (last > first && x[last - 1] == 0)
        --last;
    int stretches = 0;
    size_t run = 0;
    for (size_t i = first; i < last; ++i) {
        run = x[i] == 0 ? run + 1 : 0;
        if (run == kRate / 1000)
            ++stretches;
    }
    return stretches;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString label = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("run");
    const bool bShapes = label == QStringLiteral("shapes");
    const int tests = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    SetMessageBoxHook([](const QString& text, const QString&, unsigned) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return IDOK;
    });
    SetWaveOutFactory(&OpenSoundDevice);
    CDravikApp theApp;
    if (!theApp.InitInstance({"dravik"}))
        return 1;
    CDravikView* view = theApp.View();
    auto* wpmBox = qobject_cast<QLineEdit*>(view->GetDlgItem(IDC_EDIT_WPM));
    auto* slider = qobject_cast<CSliderCtrl*>(view->GetDlgItem(IDC_SLIDER_VOLUME));
    auto* start = qobject_cast<QPushButton*>(view->GetDlgItem(IDC_BUTTON_START));
    auto* stop = qobject_cast<QPushButton*>(view->GetDlgItem(IDC_BUTTON_STOP));
    slider->setValue(0); // full volume
    if (!QTest::qWaitForWindowExposed(theApp.MainFrame()))
        return 1;

    CRecorder rec;
    rec.m_clock.start();
    // STALL_MS: the window's thread held up that long every 2 s, as a
    // machine too busy to run it would.
    QTimer stall;
    const int stallMs = qEnvironmentVariableIntValue("STALL_MS");
    QObject::connect(&stall, &QTimer::timeout, [stallMs] { QThread::msleep(stallMs); });
    if (stallMs > 0)
        stall.start(2000);
    auto runTest = [&](int wpm) {
        rec.Start();
        wpmBox->setText(QString::number(wpm));
        QTest::mouseClick(start, Qt::LeftButton);
        const bool ended = QTest::qWaitFor([&] { return !view->IsPlaying() && g_hWaveOut == nullptr; }, 300000);
        rec.Stop();
        return ended;
    };
    if (label == QStringLiteral("band")) {
        // SNR as the server hears it: the tone's power in 500 Hz around it
        // while keyed down, against the noise's in the gaps.
        std::printf("%-10s %10s %14s %6s\n", "SNR set dB", "heard dB", "noise blocks", "jumps");
        for (int snr : {-5, 0, 10, 20}) {
            TrainingOptions o;
            o.eToneShape = ToneShape::Shaped;
            o.nNoiseSnrDb = snr;
            o.nBandSeed = 500 + snr;
            view->SetOptions(o);
            if (!runTest(20))
                return 2;
            std::vector<int16_t> heard(size_t(rec.Samples()));
            for (int i = 0; i < rec.Samples(); ++i)
                heard[size_t(i)] = int16_t(rec.At(i));
            const HeardBand h
                = HearBand(heard, ConditionsFor(o, view->Wpm(), KeyedPitch(view->Settings().nFreq), 500 + snr));
            std::printf("%10d %10.2f %14d %6d\n", snr, h.dSnr, h.nMatched, h.nJumps);
            std::fflush(stdout);
        }
        // Every condition on at 60 WPM: the program's share of a core, and
        // dropouts (the null sink fills an underrun with exact zeros).
        std::printf("%-10s %8s %10s\n", "60 WPM", "cpu %", "dropouts");
        for (bool bAll : {false, true}) {
            TrainingOptions o;
            if (bAll) {
                o.nNoiseSnrDb = 10;
                o.nQsbDepthDb = 10;
                o.nQrmStations = 3;
                o.nFistJitterPercent = 10;
                o.nFilterHz = 500;
            }
            view->SetOptions(o);
            std::vector<double> cpu;
            int dropouts = 0;
            for (int t = 0; t < tests; ++t) {
                const double cpu0 = CpuSeconds();
                QElapsedTimer wall;
                wall.start();
                if (!runTest(60))
                    return 2;
                cpu.push_back(100.0 * (CpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9));
                if (bAll)
                    dropouts += ZeroStretches(Samples(rec));
            }
            std::printf("%-10s %8.2f %10s\n", bAll ? "all on" : "all off", Median(cpu),
                        bAll ? qPrintable(QString::number(dropouts)) : "-");
        }
        return 0;
    }
    if (bShapes) {
        // Key-down click and keying sidebands at 60 WPM, square against
        // shaped; then the gaps of an effective speed, at 12 WPM.
        std::printf("%-8s %12s %14s\n", "tone", "click dB", "+1 kHz dBc");
        for (ToneShape shape : {ToneShape::Square, ToneShape::Shaped}) {
            TrainingOptions shaped;
            shaped.eToneShape = shape;
            view->SetOptions(shaped);
            std::vector<double> clicks, sidebands;
            for (int t = 0; t < tests; ++t) {
                if (!runTest(60))
                    return 2;
                const std::vector<double> x = Samples(rec);
                const std::vector<Run> runs = ToneRuns(rec);
                const std::vector<double> band = BandPass(x);
                // Tone energy of 10 ms inside the longest run; band energy
                // within 25 ms of each key-down (the filter's reach).
                const Run* longest = &runs.front();
                for (const Run& r : runs)
                    longest = r.end - r.start > longest->end - longest->start ? &r : longest;
                double tone = 0;
                const int mid = int((longest->start + longest->end) / 2);
                for (int i = mid - kRate / 200; i < mid + kRate / 200; ++i)
                    tone += x[size_t(i)] * x[size_t(i)];
                double click = 0;
                for (const Run& r : runs)
                    for (int i = int(r.start) - kRate / 40; i < int(r.start) + kRate / 40; ++i)
                        if (i >= 0 && size_t(i) < band.size())
                            click += band[size_t(i)] * band[size_t(i)];
                clicks.push_back(10 * std::log10(click / runs.size() / tone));
                sidebands.push_back(10 * std::log10(PowerAt(x, 1800) / PowerAt(x, 800)));
            }
            std::printf("%-8s %12.1f %14.1f\n", shape == ToneShape::Square ? "square" : "shaped", Median(clicks),
                        Median(sidebands));
        }
        // Effective speed 8 at 12 WPM: the silence between characters.
        TrainingOptions farnsworth;
        farnsworth.nEffectiveWpm = 8;
        view->SetOptions(farnsworth);
        std::vector<double> gaps;
        for (int t = 0; t < tests; ++t) {
            if (!runTest(12))
                return 2;
            const std::vector<Run> runs = ToneRuns(rec);
            for (size_t i = 1; i < runs.size(); ++i) {
                const double gap = (runs[i].start - runs[i - 1].end) * 1000.0 / kRate;
                if (gap > 250) // between characters, not elements
                    gaps.push_back(gap);
            }
        }
        std::sort(gaps.begin(), gaps.end());
        // 6 dots of 100 ms plus (3 ta / 19 - 3 dots), ta = 4.4 s: 994.75 ms.
        std::printf("effective 8 at 12 WPM: character gap min %.2f, median %.2f, max %.2f ms (want 994.75; %zu gaps)\n",
                    gaps.front(), Median(gaps), gaps.back(), gaps.size());
        return 0;
    }

    std::printf("%-6s %4s %5s %9s %9s %9s %8s %8s\n", "load", "wpm", "spans", "min ms", "median", "max ms",
                ">1 ms", "cpu %");
    // Speeds: all three, or those listed as the third argument ("12,60");
    // "stop": Stop to silence alone.
    std::vector<int> speeds{12, 60, 120};
    const bool bStopsOnly = argc > 3 && QByteArray(argv[3]) == "stop";
    if (argc > 3) {
        speeds.clear();
        for (const QString& w : QString::fromLocal8Bit(argv[3]).split(QLatin1Char(',')))
            if (!bStopsOnly)
                speeds.push_back(w.toInt());
    }
    std::vector<double> lags;
    for (int wpm : speeds) {
        std::vector<double> errors;
        int over = 0;
        std::vector<double> cpu;
        for (int t = 0; t < tests; ++t) {
            rec.Start();
            wpmBox->setText(QString::number(wpm));
            const double cpu0 = CpuSeconds();
            QElapsedTimer wall;
            wall.start();
            // When the window's thread takes in each character (and feeds
            // it to the graph), on the recorder's clock.
            std::vector<qint64> fedNs;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                while (int(fedNs.size()) < view->HeardChars())
                    fedNs.push_back(rec.m_clock.nsecsElapsed());
            });
            poll.start(2);
            QTest::mouseClick(start, Qt::LeftButton);
            if (!QTest::qWaitFor([&] { return !view->IsPlaying() && g_hWaveOut == nullptr; }, 300000))
                return 2;
            poll.stop();
            cpu.push_back(100.0 * (CpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9));
            rec.Stop();
            const std::vector<Run> runs = ToneRuns(rec);
            const std::vector<Expected> want = ExpectedTimeline(view->Sent(), view->DotMs());
            // The graph's lag: each character taken in against its first
            // element heard (negative: taken in before it is heard).
            for (size_t c = 0, run = 0; !rec.FromDisk() && c < fedNs.size() && c < view->Sent().size() && run < runs.size(); ++c) {
                lags.push_back(double(fedNs[c] - rec.ArrivalNs(int(runs[run].start))) / 1e6);
                run += std::strlen(MorsePattern(static_cast<unsigned char>(view->Sent()[c])));
            }
            // Marks and spaces alternate from the first tone on.
            std::vector<double> got;
            for (size_t i = 0; i < runs.size(); ++i) {
                got.push_back((runs[i].end - runs[i].start) * 1000.0 / rec.Rate());
                if (i + 1 < runs.size())
                    got.push_back((runs[i + 1].start - runs[i].end) * 1000.0 / rec.Rate());
            }
            if (got.size() != want.size()) {
                size_t at = 0;
                while (at < got.size() && at < want.size() && std::abs(got[at] - want[at].ms) <= 1.0)
                    ++at;
                std::fprintf(stderr, "%d wpm: %zu marks heard, %zu sent; first off at span %zu: %.2f ms\n", wpm,
                             (got.size() + 1) / 2, (want.size() + 1) / 2, at, at < got.size() ? got[at] : -1.0);
                over += int(std::max(got.size(), want.size()));
                continue;
            }
            for (size_t i = 0; i < got.size(); ++i) {
                const double err = std::abs(got[i] - want[i].ms);
                errors.push_back(err);
                if (err > 1.0) {
                    ++over;
                    std::fprintf(stderr, "%d wpm test %d: %s %zu of %zu: %.2f ms, want %.0f\n", wpm, t,
                                 want[i].tone ? "mark" : "space", i, got.size(), got[i], want[i].ms);
                }
            }
        }
        std::sort(errors.begin(), errors.end());
        std::printf("%-6s %4d %5zu %9.2f %9.2f %9.2f %8d %8.2f\n", qPrintable(label), wpm, errors.size(),
                    errors.empty() ? -1.0 : errors.front(), Median(errors), errors.empty() ? -1.0 : errors.back(),
                    over, Median(cpu));
        std::fflush(stdout);
    }

    std::sort(lags.begin(), lags.end());
    if (!lags.empty())
        std::printf("%-6s graph takes each character in %.0f / %.0f / %.0f ms (min / median / max) after it is heard\n",
                    qPrintable(label), lags.front(), Median(lags), lags.back());

    // Stop in the middle of a long dash: how long the sound goes on.
    std::vector<double> stopMs;
    for (int t = 0; t < tests && (argc <= 3 || bStopsOnly) && !rec.FromDisk(); ++t) {
        rec.Start();
        wpmBox->setText(QStringLiteral("5"));
        QTest::mouseClick(start, Qt::LeftButton);
        QTest::qWait(300 + 97 * t);
        // Stop while a tone is heard, not in a gap.
        if (!QTest::qWaitFor([&] {
                const int n = rec.Samples();
                return n > kRate / 100 && std::abs(rec.At(n - 1)) + std::abs(rec.At(n - kRate / 2000)) > 2000;
            }, 5000))
            continue;
        const qint64 stopNs = rec.m_clock.nsecsElapsed();
        QTest::mouseClick(stop, Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return g_hWaveOut == nullptr; }, 5000))
            return 2;
        rec.Stop();
        const std::vector<Run> runs = ToneRuns(rec);
        if (runs.empty())
            continue;
        const int last = int(runs.back().end) - 1;
        stopMs.push_back(double(rec.ArrivalNs(last) - stopNs) / 1e6);
    }
    std::sort(stopMs.begin(), stopMs.end());
    if (!stopMs.empty())
        std::printf("%-6s Stop -> silence: min %.1f ms, median %.1f ms, max %.1f ms (%zu stops)\n",
                    qPrintable(label), stopMs.front(), Median(stopMs), stopMs.back(), stopMs.size());
    return 0;
}
