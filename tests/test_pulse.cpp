// SPDX-License-Identifier: GPL-3.0-or-later
// PulseAudio's device against a private server with a null sink, whose
// monitor is recorded: skipped where no server can be started. Waits
// sleep between rounds: the sound takes its real time anyway.
#include "AudioClient.h"
#include "TestWait.h" // DRAVIK_ROW
#include "audio/PulseWaveOut.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The engine's source: buffers of tone (an 800 Hz square) and key-up.
class CListSource : public IKeyedSource {
public:
    std::vector<std::vector<unsigned char>> bufs;
    size_t nNext = 0;
    bool Next(std::vector<unsigned char>& buf) override
    {
        if (nNext >= bufs.size())
            return false;
        buf = bufs[nNext++];
        return true;
    }
};

static std::vector<unsigned char> KeyedBuffer(int toneMs, int gapMs)
{
    std::vector<unsigned char> buf(size_t(8 * (toneMs + gapMs)), 0);
    for (int i = 0; i < 8 * toneMs; ++i)
        buf[size_t(i)] = i % 10 < 5 ? 192 : 64;
    return buf;
}

class TestPulse : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_socket = m_dir.filePath("native");

    static QProcessEnvironment PrivateEnv(const QString& dir)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* var : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            env.insert(QString::fromLatin1(var), dir);
        return env;
    }

private slots:
    void initTestCase()
    {
        SetWaveOutFactory(&OpenSoundDevice);
        qputenv("DRAVIK_AUDIO", "pulse");
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty()
            || QStandardPaths::findExecutable("parec").isEmpty())
            QSKIP("no pulseaudio and parec here");
        m_server.setProcessEnvironment(PrivateEnv(m_dir.path()));
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                                      "--use-pid-file=no", "--log-level=error",
                                      "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket,
                                      "--load=module-null-sink sink_name=test rate=48000"});
        if (!QTest::qWaitFor([&] { return QFile::exists(m_socket); }))
            QSKIP("the private PulseAudio server did not start");
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + m_socket));
    }

    void cleanupTestCase()
    {
        m_server.kill(); // nothing of it is kept
        m_server.waitForFinished(3000);
    }

    void choosesTheDevice()
    {
        // Choice, SDL's driver, a server listening, and PulseAudio plays.
        const struct { const char *choice, *sdlDriver; bool bServer, bPulse; } rows[] = {
            {"", "", true, true},              {"", "", false, false},
            {"", "pulseaudio", true, true},    {"", "pipewire", true, true},
            {"", "disk", true, false},         {"", "alsa", true, false},
            {"sdl", "", true, false},          {"pulse", "disk", false, true},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QByteArray(r.choice) + "/" + r.sdlDriver + "/" + (r.bServer ? "server" : "none"));
            QCOMPARE(PreferPulse(r.choice, r.sdlDriver, r.bServer), r.bPulse);
        }
    }

    void serverPresentOnlyWhenListening()
    {
        // The session socket: missing, left by a server that died, one
        // that listens (a link to the private server's).
        const QByteArray server = qgetenv("PULSE_SERVER"), runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("PULSE_SERVER");
        for (const char* kind : {"missing", "stale", "listening"}) {
            DRAVIK_ROW(kind);
            QTemporaryDir dir;
            QVERIFY(QDir(dir.path()).mkdir("pulse"));
            const QByteArray path = QFile::encodeName(dir.filePath("pulse/native"));
            if (QByteArray(kind) == "stale") {
                const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                sockaddr_un addr{};
                addr.sun_family = AF_UNIX;
                std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
                QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
                ::close(fd);
            } else if (QByteArray(kind) == "listening") {
                QVERIFY(QFile::link(m_socket, dir.filePath("pulse/native")));
            }
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
            QCOMPARE(CPulseWaveOut::ServerPresent(), QByteArray(kind) == "listening");
        }
        if (runtime.isNull())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime);
        qputenv("PULSE_SERVER", server);
        QVERIFY(CPulseWaveOut::ServerPresent());
    }

    void keyingHeardAsWrittenAndDoneOnceHeard()
    {
        QProcess rec;
        rec.setProcessEnvironment(PrivateEnv(m_dir.path()));
        rec.start("parec", {"-s", "unix:" + m_socket, "-d", "test.monitor", "--format=s16le", "--rate=8000",
                            "--channels=1", "--latency-msec=10"});
        QVERIFY(rec.waitForStarted());
        QTest::qWait(300);

        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        auto source = std::make_unique<CListSource>();
        for (int ms : {100, 60, 300})
            source->bufs.push_back(KeyedBuffer(ms, 200));
        const auto bufs = source->bufs;
        waveOutPlayAhead(hwo, std::move(source));
        QVERIFY(QTest::qWaitFor([&] { return hwo->IsOpen(); }));
        // Written as the engine writes: the next on each done.
        QElapsedTimer t;
        t.start();
        std::vector<qint64> doneMs;
        WAVEHDR hdr;
        for (auto buf : bufs) {
            QCOMPARE(Write(hwo, hdr, buf.data(), uint32_t(buf.size())), MMSYSERR_NOERROR);
            const int before = client.nDone;
            QVERIFY(QTest::qWaitFor([&] { return client.nDone > before; }));
            doneMs.push_back(t.elapsed());
            waveOutUnprepareHeader(hwo, &hdr, sizeof hdr);
        }
        QCOMPARE(waveOutClose(hwo), MMSYSERR_NOERROR);
        QVERIFY(QTest::qWaitFor([&] { return client.nClose == 1; }));
        const qint64 closeMs = t.elapsed();
        QCOMPARE(client.nError, 0);
        QTest::qWait(200);
        rec.terminate();
        QVERIFY(rec.waitForFinished(3000));

        // A buffer is done once the server has played it: not before its
        // sound and all before it were heard.
        const qint64 heardMs[] = {300, 560, 1060};
        for (size_t i = 0; i < doneMs.size(); ++i)
            QVERIFY2(doneMs[i] >= heardMs[i], qPrintable(QString::number(doneMs[i])));
        QVERIFY(closeMs >= heardMs[2]);
        // Every tone and gap at its length, give or take the resampling.
        const std::vector<int> want = {100, 200, 60, 200, 300};
        std::vector<int> got = ToneRuns(rec.readAllStandardOutput(), 2000, 24); // 3 ms of quiet: a gap
        for (int& run : got)
            run /= 8;
        QCOMPARE(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i)
            QVERIFY2(std::abs(got[i] - want[i]) <= 2, qPrintable(QString("run %1: %2 ms").arg(i).arg(got[i])));
    }

    void noServerIsReported()
    {
        const QByteArray server = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", "unix:" + QFile::encodeName(m_dir.filePath("none")));
        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        QVERIFY(QTest::qWaitFor([&] { return client.nError == 1; }));
        QVERIFY(!hwo->IsOpen());
        QCOMPARE(waveOutClose(hwo), MMSYSERR_NOERROR);
        QVERIFY(QTest::qWaitFor([&] { return client.nClose == 1; }));
        qputenv("PULSE_SERVER", server);
    }

    // Last: the server goes.
    void serverGoneIsReported()
    {
        CCountingClient client;
        HWAVEOUT hwo = client.Open();
        QVERIFY(hwo);
        auto tone = KeyedBuffer(5000, 0);
        WAVEHDR hdr;
        QCOMPARE(Write(hwo, hdr, tone.data(), uint32_t(tone.size())), MMSYSERR_NOERROR);
        QVERIFY(QTest::qWaitFor([&] { return hwo->IsOpen(); }));
        m_server.kill();
        QVERIFY(QTest::qWaitFor([&] { return client.nError == 1; }));
        QCOMPARE(client.nDone, 0);
        waveOutReset(hwo);
        waveOutUnprepareHeader(hwo, &hdr, sizeof hdr);
        QCOMPARE(waveOutClose(hwo), MMSYSERR_NOERROR);
        QVERIFY(QTest::qWaitFor([&] { return client.nClose == 1; }));
    }
};

QTEST_GUILESS_MAIN(TestPulse)
#include "test_pulse.moc"
