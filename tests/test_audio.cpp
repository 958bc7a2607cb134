// SPDX-License-Identifier: GPL-3.0-or-later
// The SDL2 wave-out device through SDL's disk driver: what reaches the
// device's output file.
#include "AudioClient.h"
#include "DiskAudio.h"
#include "TestWait.h"
#include "audio/SdlWaveOut.h"

#include <SDL2/SDL.h>

#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

// A FIFO as the disk driver's output, with a reader that never reads.
struct CStuckPipe {
    QString path;
    int fdReader = -1;
    explicit CStuckPipe(const QString& p) : path(p)
    {
        QFile::remove(path);
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) == 0)
            fdReader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        if (fdReader >= 0)
            ::fcntl(fdReader, F_SETPIPE_SZ, 4096); // full after half a second
    }
    void CloseReader()
    {
        if (fdReader >= 0)
            ::close(fdReader);
        fdReader = -1;
    }
    ~CStuckPipe() { CloseReader(); }
};

class TestAudio : public QObject {
    Q_OBJECT
    CDiskAudio m_disk;
    QTemporaryDir m_dir;

    // The captured output as the device's 16-bit samples.
    std::vector<qint16> Captured16() const
    {
        const QByteArray raw = m_disk.Captured();
        return std::vector<qint16>(reinterpret_cast<const qint16*>(raw.constData()),
                                   reinterpret_cast<const qint16*>(raw.constData()) + raw.size() / 2);
    }
    static int FirstNonZero(const std::vector<qint16>& pcm, size_t from = 0)
    {
        for (size_t i = from; i < pcm.size(); ++i)
            if (pcm[i] != 0)
                return int(i);
        return -1;
    }
private slots:
    void initTestCase()
    {
        m_disk.Use();
        SetWaveOutFactory(&CSdlWaveOut::Open);
    }

    void writeCloseAndKeyUp()
    {
        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        waveOutSetVolume(hwo, 0xFFFFFFFF);
        unsigned char buf[2000];
        for (int i = 0; i < 2000; ++i)
            buf[i] = i < 800 ? (i % 10 < 5 ? 192 : 64) : 0;
        WAVEHDR hdr;
        QCOMPARE(Write(hwo, hdr, buf, sizeof buf), MMSYSERR_NOERROR);
        // The device took a copy: the buffer may change at once.
        std::memset(buf, 0x55, sizeof buf);
        QCOMPARE(waveOutWrite(hwo, &hdr, sizeof hdr), WAVERR_STILLPLAYING);
        QTRY_COMPARE(client.nDone, 1);
        QVERIFY(hdr.dwFlags & WHDR_DONE);
        QCOMPARE(waveOutUnprepareHeader(hwo, &hdr, sizeof hdr), MMSYSERR_NOERROR);
        QCOMPARE(waveOutClose(hwo), MMSYSERR_NOERROR);
        QTRY_COMPARE(client.nClose, 1);
        QCOMPARE(client.nDone, 1);

        // Tone as written at half scale, key-up and idle silent, and all of it.
        const std::vector<qint16> out = Captured16();
        const int start = FirstNonZero(out);
        QVERIFY(start >= 0);
        QVERIFY(int(out.size()) >= start + 2000);
        for (int i = 0; i < 800; ++i)
            QCOMPARE(int(out[size_t(start + i)]), i % 10 < 5 ? 16384 : -16384);
        for (size_t i = size_t(start) + 800; i < out.size(); ++i)
            QCOMPARE(int(out[i]), 0);
    }

    void resetStopsAtOnce()
    {
        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        waveOutSetVolume(hwo, 0x80008000);
        static unsigned char tone[80000];
        for (int i = 0; i < 80000; ++i)
            tone[i] = i % 8 < 4 ? 192 : 64;
        WAVEHDR hdr;
        Write(hwo, hdr, tone, sizeof tone); // 10 s
        QTest::qWait(30);
        QCOMPARE(waveOutReset(hwo), MMSYSERR_NOERROR);
        QVERIFY(!(hdr.dwFlags & WHDR_INQUEUE)); // the buffer is back at once
        QTRY_COMPARE(client.nDone, 1);
        waveOutUnprepareHeader(hwo, &hdr, sizeof hdr);
        waveOutClose(hwo);
        QTRY_COMPARE(client.nClose, 1);
        const std::vector<qint16> out = Captured16();
        QVERIFY(out.size() < 40000); // far less than the 10 s written
        QCOMPARE(*std::max_element(out.begin(), out.end()), qint16(8192)); // half volume
    }


    void volumeHeardFromTheNextBuffer()
    {
        // A change while a buffer waits to be played is heard from the next
        // buffer on, not inside this one.
        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        unsigned char buf[800];
        for (int i = 0; i < 800; ++i)
            buf[i] = i % 10 < 5 ? 192 : 64;
        WAVEHDR hdr;
        for (uint32_t volume : {0xFFFFFFFFu, 0x80008000u}) {
            waveOutSetVolume(hwo, volume);
            QCOMPARE(Write(hwo, hdr, buf, sizeof buf), MMSYSERR_NOERROR);
            waveOutSetVolume(hwo, 0x80008000u); // while it waits to be played
            QVERIFY(RunUntil([&] { return hdr.dwFlags & WHDR_DONE; }));
            waveOutUnprepareHeader(hwo, &hdr, sizeof hdr);
        }
        waveOutClose(hwo);
        QVERIFY(RunUntil([&] { return client.nClose == 1; }));
        const std::vector<qint16> out = Captured16();
        const int start = FirstNonZero(out);
        QVERIFY(start >= 0 && int(out.size()) >= start + 1600);
        QCOMPARE(int(out[size_t(start)]), 16384);        // the first at full volume
        QCOMPARE(int(out[size_t(start + 799)]), -16384);
        // The next at half (on a loaded machine it may come after a gap).
        const int next = FirstNonZero(out, size_t(start + 800));
        QVERIFY(next >= 0);
        QCOMPARE(int(out[size_t(next)]), 8192);
    }

    void openFailsThenWorks()
    {
        // The device opens in the background: a driver that cannot start
        // is reported to the window, and fails this open only.
        QVERIFY(RunUntil([] { return CSdlWaveOut::ClosingCount() == 0; }));
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        CCountingClient client;
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        QElapsedTimer t;
        t.start();
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        QVERIFY(t.elapsed() < 100); // the GUI thread did not wait for the driver
        QVERIFY(RunUntil([&] { return client.nError == 1; }));
        QVERIFY(!hwo->IsOpen());
        waveOutClose(hwo);
        QVERIFY(RunUntil([&] { return client.nClose == 1; }));
        m_disk.Use();
        hwo = client.Open();
        QVERIFY(RunUntil([&] { return hwo->IsOpen(); }));
        waveOutClose(hwo);
        QVERIFY(RunUntil([&] { return client.nClose == 2; }));
        QCOMPARE(client.nError, 1);
    }

    void stalledOrFailingDeviceIsReportedAndReleasedAtOnce_data()
    {
        QTest::addColumn<bool>("readerGoes"); // write errors instead of a stall
        QTest::newRow("server stops taking data") << false;
        QTest::newRow("write errors") << true;
    }
    void stalledOrFailingDeviceIsReportedAndReleasedAtOnce()
    {
        QFETCH(bool, readerGoes);
        CStuckPipe pipe(m_dir.filePath("stuck.fifo"));
        QVERIFY(pipe.fdReader >= 0);
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(pipe.path));
        qputenv("SDL_DISKAUDIODELAY", "0");
        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        static unsigned char tone[80000];
        std::memset(tone, 192, sizeof tone);
        WAVEHDR hdr;
        Write(hwo, hdr, tone, sizeof tone); // 10 s, far more than the pipe takes
        if (readerGoes) {
            // The device opens the pipe for writing only while a reader is
            // there: let it open first, or it waits for the open timeout.
            QVERIFY(RunUntil([&] { return hwo->IsOpen(); }));
            QTest::qWait(100);
            pipe.CloseReader();
        }
        QTRY_COMPARE_WITH_TIMEOUT(client.nError, 1, CSdlWaveOut::kStallMs + 2000);
        QCOMPARE(client.nDone, 0);

        // Releasing the device must not wait for its stuck audio thread.
        QElapsedTimer t;
        t.start();
        waveOutReset(hwo);
        waveOutUnprepareHeader(hwo, &hdr, sizeof hdr);
        waveOutClose(hwo);
        QTRY_COMPARE(client.nClose, 1);
        QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
        m_disk.Use();
    }
};

QTEST_GUILESS_MAIN(TestAudio)
#include "test_audio.moc"
