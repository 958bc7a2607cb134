// Extra silence between consecutive characters, beyond what the tone
// buffers hold, as a real audio device receives it. Runs whole mode-0
// tests through the form and decodes the captured output.
//
//   gap_bench disk               SDL's disk driver, paced in real time
//   gap_bench pulse              the running PulseAudio server; records the
//                                default sink's monitor with parec
#include "platform/MessageBox.h"
#include "res/Resource.h"
#include "copytest/DravikView.h"
#include "engine/ToneBuffers.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <algorithm>
#include <cstdio>

// Silence runs between characters, in samples: a tone sample is one more
// than 8 away from the mid level; a run of silence shorter than 1 ms
// (resampling ripple inside a tone) does not end the tone.
static std::vector<int> CharacterGaps(const QByteArray& pcm, int minGap)
{
    std::vector<int> gaps;
    const int n = int(pcm.size());
    int i = 0;
    auto tone = [&](int k) { return std::abs(int(quint8(pcm[k])) - 128) > 8; };
    while (i < n && !tone(i))
        ++i;
    while (i < n) {
        while (i < n && tone(i))
            ++i;
        int j = i;
        while (j < n && !tone(j))
            ++j;
        if (j < n && j - i >= minGap)
            gaps.push_back(j - i);
        i = j;
    }
    return gaps;
}

int main(int argc, char** argv)
{
    const QByteArray driver = argc > 1 ? QByteArray(argv[1]) : QByteArray("disk");
    QTemporaryDir dir;
    const QString capture = dir.filePath("capture.raw");
    qputenv("SDL_AUDIODRIVER", driver == "pulse" ? "pulseaudio" : "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(capture));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetMessageBoxHook([](const QString& text, const QString&, unsigned) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return IDOK;
    });

    std::printf("driver %s\n", driver.constData());
    std::printf("%5s %6s %10s %10s %10s\n", "wpm", "gaps", "median ms", "max ms", "min ms");
    for (int wpm : {12, 60}) {
        QFile::remove(capture);
        QProcess parec;
        if (driver == "pulse") {
            parec.setStandardOutputFile(capture);
            parec.start("parec", {"-d", "@DEFAULT_MONITOR@", "--format=u8", "--rate=8000", "--channels=1", "--raw",
                                  "--latency-msec=20"});
            parec.waitForStarted();
            QThread::msleep(300);
        }
        {
            CDravikView view;
            view.OnInitialUpdate();
            qobject_cast<QLineEdit*>(view.GetDlgItem(IDC_EDIT_WPM))->setText(QString::number(wpm));
            view.GetDlgItem(IDC_SLIDER_VOLUME)->setProperty("value", 0); // full volume
            view.OnStart();
            if (!QTest::qWaitFor([&] { return !view.m_bPlaying && g_hWaveOut == nullptr; }, 120000)) {
                std::fprintf(stderr, "the test did not end\n");
                return 1;
            }
            QTest::qWait(50);
            const int dot = 8 * view.m_nDotMs;
            if (driver == "pulse") {
                QThread::msleep(500);
                parec.terminate();
                parec.waitForFinished();
            }
            QFile f(capture);
            f.open(QIODevice::ReadOnly);
            // Between characters the buffers hold 6 dots of silence (mode 0).
            std::vector<int> gaps = CharacterGaps(f.readAll(), 4 * dot);
            if (gaps.size() < 40) {
                std::fprintf(stderr, "%d wpm: only %zu character gaps decoded\n", wpm, gaps.size());
                return 1;
            }
            std::vector<double> extra;
            for (int g : gaps)
                extra.push_back((g - 6 * dot) / 8.0);
            std::sort(extra.begin(), extra.end());
            std::printf("%5d %6zu %10.2f %10.2f %10.2f\n", wpm, extra.size(), extra[extra.size() / 2], extra.back(),
                        extra.front());
        }
    }
    return 0;
}
