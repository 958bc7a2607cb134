// SPDX-License-Identifier: GPL-3.0-or-later
// Band conditions as behaviour: other stations apart and drawn from the
// seed, and the sound file they make, the same from the same seed, with
// the noise added on top of the clean tone. Their figures (noise level,
// fading, filter width, stations' speed, the fist's spread) are measured
// in bench/band_bench.
#include "TestFiles.h"
#include "TestRegistry.h"
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

class TestBand : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    static std::vector<int16_t> Render(CBandRender& band, const std::vector<int16_t>& main, double volume = 1)
    {
        std::vector<int16_t> out(main.size());
        band.Process(main.data(), main.size(), volume, out.data());
        return out;
    }
private slots:
    void otherStationsApartAndFromTheSeed()
    {
        TrainingOptions o;
        o.nQrmStations = 3;
        for (uint32_t seed = 1; seed <= 30; ++seed) {
            const BandConditions c = ConditionsFor(o, 20, 700, seed);
            QCOMPARE(int(c.qrm.size()), 3);
            for (size_t i = 0; i < c.qrm.size(); ++i) {
                QVERIFY(c.qrm[i].spans.size() % 2 == 0); // key-down and key-up in pairs
                for (size_t j = 0; j < i; ++j)
                    QVERIFY(std::abs(c.qrm[i].dOffsetHz - c.qrm[j].dOffsetHz) >= 60);
            }
        }
        // Every character of their texts is keyed.
        CBandRandom random(3);
        for (int i = 0; i < 50; ++i)
            for (unsigned char ch : QrmText(random))
                QVERIFY(ch == ' ' || *MorsePattern(ch) != '\0');
        QCOMPARE(ConditionsFor(o, 20, 700, 9), ConditionsFor(o, 20, 700, 9));
        QVERIFY(ConditionsFor(o, 20, 700, 9) != ConditionsFor(o, 20, 700, 10));
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
        // With every condition on, the same seed gives the same file too
        // (bench/keying_digest).
        g_strPhraseFile.clear();
    }

};

DRAVIK_REGISTER_TEST(TestBand)
#include "training_band.moc"
