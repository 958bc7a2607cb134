// SPDX-License-Identifier: GPL-3.0-or-later
// A whole test from the Start click to the close, through SDL's disk
// driver: what reached the device decodes to the sent text.
#include "AudioClient.h"
#include "FormFixture.h"
#include "TestRegistry.h"
#include "DiskAudio.h"
#include "audio/SdlWaveOut.h"
#include "drills/TextTest.h"
#include "engine/MorseTable.h"

#include <QTemporaryDir>

#include <chrono>
#include <thread>

class TestSdlWholeTest : public QObject {
    Q_OBJECT
    CDiskAudio m_disk;

    QByteArray Captured() const { return m_disk.Captured(); }

private slots:
    void initTestCase()
    {
        m_disk.Use();
        SetStartPause(0);
        SetWaveOutFactory(&CSdlWaveOut::Open);
    }

    void wholeTestFromStartToClose()
    {
        CForm f;
        f.WpmBox()->setText("60");
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.view.IsPlaying());
        // A window thread held up mid-test, as a starved one would be: the
        // sound goes on without it (the disk driver runs 24 times faster
        // than real time, so this is seconds of sound).
        QVERIFY(RunUntil([&] { return f.view.SentCount() >= 10; }));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        QVERIFY(f.WaitForRest(30000));
        QVERIFY(f.boxes.boxes.isEmpty());
        QVERIFY(f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());

        // Morse heard: an element is a run of tone, a character ends at a
        // silence of 2 dots or more.
        const int dot = 8 * f.view.DotMs();
        const QByteArray raw = Captured();
        const std::vector<int> runs = ToneRuns(raw, 1, 1);
        std::vector<std::string> heard(1);
        std::vector<int> gaps;
        for (size_t k = 0; k < runs.size(); k += 2) {
            heard.back() += runs[k] > 2 * dot ? '-' : '.';
            if (k + 1 < runs.size() && runs[k + 1] >= 2 * dot) {
                gaps.push_back(runs[k + 1]);
                heard.emplace_back();
            }
        }
        // At the form's volume.
        const auto* pcm = reinterpret_cast<const qint16*>(raw.constData());
        QCOMPARE(*std::max_element(pcm, pcm + raw.size() / 2),
                 ScaleToVolume(kToneLevel, CMorseEngine::VolumeWord(f.view.Volume())));
        QCOMPARE(int(heard.size()), 50);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(heard[size_t(i)], std::string(MorsePattern(static_cast<unsigned char>(f.view.Sent()[size_t(i)]))));
        // Every gap between characters is the keyed one (an element's dot
        // and 5 more), though the window's thread fell behind the sound.
        QCOMPARE(gaps, std::vector<int>(49, 6 * dot));
    }

    void toneHeardFromItsFirstElementToItsLast_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("wpm");
        QTest::addColumn<int>("dots"); // from the first element's start to the last one's end
        QTest::newRow("K") << QByteArray("K ") << 12 << 9;
        QTest::newRow("E at 60") << QByteArray("E ") << 60 << 1;
        QTest::newRow("two characters") << QByteArray("TE") << 20 << 7;
    }
    void toneHeardFromItsFirstElementToItsLast()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, wpm);
        QFETCH(int, dots);
        QObject context;
        CTextTest player(&context);
        bool ended = false;
        player.onEnded = [&] { ended = true; };
        player.SetSettings({kLatinPhrase, 700, wpm, 50});
        QVERIFY(player.Play(text.toStdString()));
        QVERIFY(RunUntil([&] { return ended; }));
        ToneHeard heard;
        QVERIFY(player.Heard(heard));
        QCOMPARE((heard.llEndNs - heard.llStartNs) / 1000000, static_cast<long long>(dots * player.DotMs()));
    }

    void startStopStartInThePause()
    {
        // F5, F8 within the second before the first tone, F5: the second
        // device opens once the first is released, without a false error.
        SetStartPause(300);
        CForm f;
        f.WpmBox()->setText("60");
        for (int i = 0; i < 3; ++i) {
            f.Click(IDC_BUTTON_START);
            QVERIFY(f.view.IsPlaying());
            f.Click(IDC_BUTTON_STOP);
        }
        f.Click(IDC_BUTTON_START);
        QVERIFY(RunUntil([&] { return !f.view.Sent().empty() && CSdlWaveOut::ClosingCount() == 0; }));
        QTest::qWait(CSdlWaveOut::kWatchMs * 2); // the watch would have reported a failed open
        QVERIFY2(f.boxes.boxes.isEmpty(), qPrintable(f.boxes.boxes.value(0).text));
        QVERIFY(f.view.IsPlaying());
        f.Click(IDC_BUTTON_STOP);
        SetStartPause(0);
        QVERIFY(f.WaitForRest());
    }
};

DRAVIK_REGISTER_TEST(TestSdlWholeTest)
#include "copytest_sdl.moc"
