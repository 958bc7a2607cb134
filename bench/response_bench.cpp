// SPDX-License-Identifier: GPL-3.0-or-later
// The one-character drill's response time on the real path: the drill
// plays through the PulseAudio server (bench/sound_bench.sh response
// starts one with a null sink); a thread records the sink's monitor, finds
// each character's end as the monitor hears it, and presses the right
// key at a known delay after it, through the window's key events. The
// response time the drill records is compared with that delay.
//
//   response_bench [characters] [busy threads]
#include "Check.h"
#include "audio/KeyedStream.h"
#include "audio/PulseWaveOut.h"
#include "chardrill/CharDrillDlg.h"
#include "drills/Drills.h"
#include "engine/MorseEngine.h"
#include "text/Cp932.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

namespace {

constexpr int kRate = 8000;
constexpr int kChunk = 80; // 10 ms
constexpr int kDelaysMs[] = {150, 300, 450, 600};

void SleepUntilNs(long long ns)
{
    timespec ts{time_t(ns / 1000000000), long(ns % 1000000000)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

// Presses the keys of the character asked, now.
void PressAnswer(CCharDrillDlg& dlg)
{
    if (!dlg.Asking())
        return;
    const unsigned char ch = dlg.Asked();
    const QString name = Cp932ToQString(ShowProsigns(std::string(1, char(ch))));
    for (QChar c : name) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&dlg, &press);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int nChars = argc > 1 ? std::atoi(argv[1]) : 24;
    const int nBusy = argc > 2 ? std::atoi(argv[2]) : 0;
    SetWaveOutFactory(&OpenSoundDevice);

    // A learner who knows every character, none due: each one played is
    // asked, none introduced.
    QTemporaryDir dir;
    CHistory history;
    history.Open(dir.filePath(QStringLiteral("h.sqlite")));
    const std::vector<unsigned char> order = KochOrder(false, kLatinProsigns);
    for (unsigned char ch : order)
        for (int i = 0; i < 20; ++i) {
            HistoryAnswer a;
            a.when = QDateTime::currentDateTimeUtc().addSecs(-3600);
            a.nMode = kLatinChars;
            a.ch = ch;
            a.strTyped = std::string(1, char(ch));
            a.nMs = 300;
            a.bRight = true;
            a.nWpm = 20;
            history.AddAnswer(a);
        }
    TrainingOptions options;
    CCharDrillDlg dlg(700, 20, 80, options, &history);
    dlg.SetMode(kLatinChars);

    std::atomic<bool> bDone{false};
    std::vector<std::thread> busy;
    for (int i = 0; i < nBusy; ++i)
        busy.emplace_back([&bDone] {
            volatile unsigned long n = 0;
            while (!bDone)
                n = n + 1;
        });

    // The monitor, read 10 ms at a time on a thread of its own.
    std::vector<int> delays; // the delay each key was pressed at
    int nJudgedAtKey = 0;    // told right or wrong as the key came
    std::thread recorder([&] {
        pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
        pa_buffer_attr attr{};
        attr.maxlength = uint32_t(-1);
        attr.fragsize = kChunk * 2;
        int error = 0;
        pa_simple* rec = pa_simple_new(nullptr, "response_bench", PA_STREAM_RECORD, "@DEFAULT_MONITOR@", "monitor",
                                       &format, nullptr, &attr, &error);
        if (!rec) {
            std::fprintf(stderr, "no monitor: %s\n", pa_strerror(error));
            bDone = true;
            return;
        }
        long long index = 0, lastTone = -1;
        int pressed = 0;
        std::vector<int16_t> buf(kChunk);
        while (!bDone && pressed < nChars) {
            if (pa_simple_read(rec, buf.data(), buf.size() * 2, &error) < 0)
                break;
            const long long now = SteadyNowNs();
            const pa_usec_t latency = pa_simple_get_latency(rec, &error);
            for (int16_t v : buf) {
                if (std::abs(int(v)) > 3000)
                    lastTone = index;
                ++index;
            }
            // A character has ended once 150 ms have passed without tone.
            if (lastTone >= 0 && index - lastTone > kRate * 150 / 1000) {
                const long long endNs =
                    now - static_cast<long long>(latency) * 1000 - (index - (lastTone + 1)) * 1000000000LL / kRate;
                const int delay = kDelaysMs[pressed % std::size(kDelaysMs)];
                lastTone = -1;
                SleepUntilNs(endNs + delay * 1000000LL);
                QMetaObject::invokeMethod(&dlg, [&dlg, &delays, &nJudgedAtKey, delay] {
                    const bool asking = dlg.Asking();
                    PressAnswer(dlg);
                    if (asking) {
                        delays.push_back(delay);
                        nJudgedAtKey += dlg.Asking() ? 0 : 1;
                    }
                });
                ++pressed;
            }
        }
        pa_simple_free(rec);
        QThread::msleep(1500);
        bDone = true;
    });
    QTimer::singleShot(300, &dlg, &CCharDrillDlg::OnStart);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (bDone)
            app.quit();
    });
    poll.start(50);
    app.exec();
    dlg.OnStop();
    recorder.join();
    for (std::thread& t : busy)
        t.join();

    // The drill's answers of this run, in order, against the delays.
    std::vector<HistoryAnswer> answers = history.Answers(QDateTime::currentDateTimeUtc().addSecs(-1800), kLatinChars);
    std::vector<double> errors;
    for (size_t i = 0; i < answers.size() && i < delays.size(); ++i) {
        if (!answers[i].bRight)
            continue;
        errors.push_back(answers[i].nMs - delays[i]);
    }
    std::printf("%zu answers timed of %zu keys (%d busy threads of the bench's own); %d judged as the key came\n",
                errors.size(), delays.size(), nBusy, nJudgedAtKey);
    if (errors.empty())
        return 1;
    std::vector<double> sorted = errors;
    std::sort(sorted.begin(), sorted.end());
    std::printf("  response time less the key's delay: min %+.0f  median %+.0f  max %+.0f ms\n", sorted.front(),
                sorted[sorted.size() / 2], sorted.back());
    Within("worst error, ms", std::max(std::abs(sorted.front()), std::abs(sorted.back())), 0, 10);
    Within("share of keys timed", double(errors.size()) / double(delays.size()), 0.9, 1.0);
    return BenchResult();
}
