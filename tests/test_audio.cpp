// The SDL2 wave-out device through SDL's disk driver: what reaches the
// device's output file.
#include "audio/SdlWaveOut.h"

#include <QtTest>
#include <cstring>

#include <QTemporaryDir>

// A window that counts the device's notifications.
class CCountingClient : public QObject, public IWaveOutClient {
public:
    int nDone = 0;
    int nClose = 0;
    void OnWomDone(HWAVEOUT) override { ++nDone; }
    void OnWomClose(HWAVEOUT) override { ++nClose; }
    WaveOutWindow Window() { return {this, this}; }
};

class TestAudio : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_file;

    QByteArray Captured() const
    {
        QFile f(m_file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void initTestCase()
    {
        m_file = m_dir.filePath("out.raw");
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_file));
        qputenv("SDL_DISKAUDIODELAY", "2"); // 8 times real time
        SetWaveOutFactory(nullptr);
    }

    void writeCloseAndKeyUp()
    {
        CCountingClient client;
        const WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
        HWAVEOUT hwo = nullptr;
        QCOMPARE(waveOutOpen(&hwo, WAVE_MAPPER, &fmt, client.Window(), 0, CALLBACK_WINDOW), MMSYSERR_NOERROR);
        QVERIFY(hwo);
        waveOutSetVolume(hwo, 0xFFFFFFFF);
        unsigned char buf[2000];
        for (int i = 0; i < 2000; ++i)
            buf[i] = i < 800 ? (i % 10 < 5 ? 192 : 64) : 0;
        WAVEHDR hdr{};
        hdr.lpData = buf;
        hdr.dwBufferLength = sizeof buf;
        QCOMPARE(waveOutPrepareHeader(hwo, &hdr, sizeof hdr), MMSYSERR_NOERROR);
        QCOMPARE(waveOutWrite(hwo, &hdr, sizeof hdr), MMSYSERR_NOERROR);
        // The device took a copy: the buffer may change at once.
        std::memset(buf, 0x55, sizeof buf);
        QCOMPARE(waveOutWrite(hwo, &hdr, sizeof hdr), WAVERR_STILLPLAYING);
        QTRY_COMPARE(client.nDone, 1);
        QVERIFY(hdr.dwFlags & WHDR_DONE);
        QCOMPARE(waveOutUnprepareHeader(hwo, &hdr, sizeof hdr), MMSYSERR_NOERROR);
        QCOMPARE(waveOutClose(hwo), MMSYSERR_NOERROR);
        QTRY_COMPARE(client.nClose, 1);
        QCOMPARE(client.nDone, 1);

        // Tone as written, key-up and idle as the mid level, and all of it.
        const QByteArray out = Captured();
        const int start = int(out.indexOf(char(192)));
        QVERIFY(start >= 0);
        for (int i = 0; i < 800; ++i)
            QCOMPARE(quint8(out[start + i]), quint8(i % 10 < 5 ? 192 : 64));
        QVERIFY(out.size() >= start + 2000);
        for (int i = start + 800; i < out.size(); ++i)
            QCOMPARE(quint8(out[i]), quint8(128));
        for (int i = 0; i < start; ++i)
            QCOMPARE(quint8(out[i]), quint8(128));
    }

    void resetStopsAtOnce()
    {
        CCountingClient client;
        const WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
        HWAVEOUT hwo = nullptr;
        waveOutOpen(&hwo, WAVE_MAPPER, &fmt, client.Window(), 0, CALLBACK_WINDOW);
        QVERIFY(hwo);
        waveOutSetVolume(hwo, 0x80008000);
        static unsigned char tone[80000];
        for (int i = 0; i < 80000; ++i)
            tone[i] = i % 8 < 4 ? 192 : 64;
        WAVEHDR hdr{};
        hdr.lpData = tone;
        hdr.dwBufferLength = sizeof tone; // 10 s
        waveOutPrepareHeader(hwo, &hdr, sizeof hdr);
        waveOutWrite(hwo, &hdr, sizeof hdr);
        QTest::qWait(30);
        QCOMPARE(waveOutReset(hwo), MMSYSERR_NOERROR);
        QVERIFY(!(hdr.dwFlags & WHDR_INQUEUE)); // the buffer is back at once
        QTRY_COMPARE(client.nDone, 1);
        waveOutUnprepareHeader(hwo, &hdr, sizeof hdr);
        waveOutClose(hwo);
        QTRY_COMPARE(client.nClose, 1);
        const QByteArray out = Captured();
        QVERIFY(out.size() < 40000); // far less than the 10 s written
        // Half volume: the tone swings half as far around the mid level.
        QVERIFY(out.contains(char(160)) && out.contains(char(96)));
        QVERIFY(!out.contains(char(192)));
    }

};

QTEST_GUILESS_MAIN(TestAudio)
#include "test_audio.moc"
