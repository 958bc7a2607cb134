// SPDX-License-Identifier: GPL-3.0-or-later
// The spoken answer: what is said after which character, the silence the
// keying leaves for it, the voice laid clean over the band conditions on
// the device's stream, and the sound files it goes into. Its timing and
// level are measured in bench/voice_bench.
#include "TestFiles.h"
#include "TestRegistry.h"
#include "audio/KeyedStream.h"
#include "drills/Apply.h"
#include "drills/SoundFile.h"
#include "drills/WaveExport.h"
#include "engine/ToneBuffers.h"
#include "engine/VoiceText.h"
#include "settings/Settings.h"
#include "text/Cp932.h"

#include <QTemporaryDir>
#include <QtTest>

class TestVoice : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // The lines said after a text's bytes: "index:line" each.
    static QStringList Said(int nMode, const char* pszUtf8, int nUnit, bool bIcao, size_t nFirst = 0)
    {
        const std::string bytes = FoldProsigns(QStringToCp932(QString::fromUtf8(pszUtf8)));
        const std::vector<unsigned char> plan(bytes.begin(), bytes.end());
        QStringList said;
        for (const SpokenLine& s : VoiceLinesFor(plan, nFirst, nMode, true, {VoiceUnit(nUnit), bIcao, 300, 700}))
            said << QStringLiteral("%1:%2").arg(s.nAfter).arg(QString::fromStdString(s.line.strText));
        return said;
    }

private slots:
    void whatIsSaidAfterWhich_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit");
        QTest::addColumn<bool>("icao");
        QTest::addColumn<QStringList>("said");
        const QString spell = QStringLiteral(
            "<speak><prosody rate=\"85%\"><say-as interpret-as=\"characters\">%1</say-as></prosody> </speak>");
        QTest::newRow("off") << int(kLatinRandom1) << "KM" << 0 << false << QStringList {};
        QTest::newRow("each character") << int(kLatinRandom1) << "KM" << 1 << false
                                        << QStringList {"0:" + spell.arg("K"), "1:" + spell.arg("M")};
        QTest::newRow("groups of five spelled") << int(kLatinRandom5) << "ABCDEFGHIJ" << 2 << false
                                                << QStringList {"4:" + spell.arg("ABCDE"), "9:" + spell.arg("FGHIJ")};
        QTest::newRow("a text's words read")
            << int(kLatinPhrase) << "CQ DE A<B" << 2 << false
            << QStringList {"1:<speak>CQ</speak>", "4:<speak>DE</speak>", "8:<speak>A&lt;B</speak>"};
        QTest::newRow("a line at a time") << int(kLatinPhrase) << "TU 73\nGM" << 3 << false
                                          << QStringList {"4:<speak>TU 73</speak>", "7:<speak>GM</speak>"};
        QTest::newRow("call sign by ICAO")
            << int(kLatinCallSigns) << "JA1B" << 3 << true
            << QStringList {"3:<speak>Juliett Alfa <prosody rate=\"85%\"><say-as interpret-as=\"characters\">1</say-as>"
                            "</prosody> Bravo </speak>"};
        QTest::newRow("punctuation and prosigns by name")
            << int(kLatinRandom1) << "?<AR>" << 1 << false
            << QStringList {"0:<speak>question mark </speak>", "1:" + spell.arg("AR")};
        QTest::newRow("kana with its mark as one")
            << int(kWabunPhrase) << "ﾊﾞﾗ" << 1 << false << QStringList {"1:ﾊﾞ", "2:ﾗ"};
        QTest::newRow("a sign alone by its name") << int(kWabunRandom1) << "ｰ" << 1 << false << QStringList {"0:ﾁｮｳｵﾝ"};
        QTest::newRow("a 和文 word as a word")
            << int(kWabunPhrase) << "ｺｰﾋｰ ｦ" << 2 << false << QStringList {"3:ｺｰﾋｰ", "5:ｦ"};
    }
    void whatIsSaidAfterWhich()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(bool, icao);
        QFETCH(QStringList, said);
        QCOMPARE(Said(mode, text.toUtf8().constData(), unit, icao), said);
    }

    void theStartSignalsAreNeverSaid()
    {
        QCOMPARE(Said(kWabunRandom5, "･･ｱｲｳｴｵ", 2, false, 2), QStringList {"6:ｱｲｳｴｵ"});
    }

    void theVoiceTakesTheSilenceAfterItsUnit()
    {
        // Keyed with the voice on: each voiced buffer's last element, then
        // the pause, the voice and the pause after; the text sent as without.
        std::vector<int> silence, voiceAt, voiceLen, count;
        std::string sent[2];
        for (int unit : {0, 1}) {
            CMorseEngine e;
            e.SetSettings({kLatinPhrase, 800, 20, 20});
            e.SetFixedText("EM");
            TrainingOptions o;
            o.nVoice = unit;
            ApplyTrainingOptions(o, e);
            QCOMPARE(e.KeyWholeTest([&](const unsigned char* p, int n) {
                if (unit == 1 && e.SinkVoice().pSamples) {
                    int end = n;
                    while (end > 0 && p[end - 1] == kKeyUp)
                        --end;
                    voiceAt.push_back(e.SinkVoice().nAtKeyed - end);
                    voiceLen.push_back(int(e.SinkVoice().pSamples->size()));
                    count.push_back(n - e.SinkVoice().nAtKeyed);
                }
                return true;
            }),
                0);
            sent[unit] = e.Sent();
        }
        QCOMPARE(sent[1], sent[0]);
        QCOMPARE(int(voiceAt.size()), 2);
        for (size_t i = 0; i < voiceAt.size(); ++i) {
            QCOMPARE(voiceAt[i], 300 * kSamplesPerMs);
            QVERIFY(voiceLen[i] > 8000 / 10); // a letter's name, said
            QCOMPARE(count[i], voiceLen[i] + 700 * kSamplesPerMs); // square: 8000 a second, as keyed
        }
    }

    void theVoiceIsHeardCleanOverTheBand()
    {
        // The stream's fill: a voiced buffer through band noise and without
        // it. Before the voice the two differ (the noise); during it they
        // are the same samples: the voice alone.
        class CVoicedSource : public IKeyedSource {
        public:
            bool Next(std::vector<unsigned char>& buf) override
            {
                if (m_bDone)
                    return false;
                m_bDone = true;
                buf.assign(16000, kKeyUp);
                return true;
            }
            bool NextVoice(KeyedVoice& voice) override
            {
                voice = {SpeakLine({"K", false, false}, 48000), 4000};
                return voice.pSamples != nullptr;
            }
            bool m_bDone = false;
        };
        std::vector<int16_t> heard[2];
        for (bool bNoise : {false, true}) {
            ToneShaping shaping {ToneShape::Shaped, 5, 0, {}};
            shaping.band.bNoise = bNoise;
            KeyedStream s;
            s.pChain = std::make_unique<CToneChain>(shaping);
            s.pSource = std::make_unique<CVoicedSource>();
            s.bAhead = true;
            s.nWritten = 1;
            std::vector<int16_t> out(480);
            for (int i = 0; i < 200; ++i) { // 2 s at 48000
                s.Fill(out.data(), int(out.size()));
                heard[bNoise].insert(heard[bNoise].end(), out.begin(), out.end());
            }
        }
        constexpr size_t kAt = 4000 * 6;
        QVERIFY(std::all_of(heard[0].begin(), heard[0].begin() + kAt, [](int16_t v) { return v == 0; }));
        QVERIFY(heard[0][kAt] != 0);
        QVERIFY(!std::equal(heard[0].begin(), heard[0].begin() + kAt, heard[1].begin()));
        const size_t len = SpeakLine({"K", false, false}, 48000)->size();
        QVERIFY(std::equal(heard[0].begin() + kAt, heard[0].begin() + kAt + len, heard[1].begin() + kAt));
        QVERIFY(heard[1][kAt + len + 4800] != 0); // the noise again after it
    }

    void anMp3IsWrittenWholeWithItsTagsOrNotAtAll()
    {
        const QString path = m_dir.filePath("calls.mp3");
        TrainingOptions o;
        o.nVoice = int(VoiceUnit::Item);
        for (bool bCancel : {true, false}) {
            CMorseEngine e;
            e.SetSettings({kLatinRandom1, 800, 40, 20});
            int calls = 0;
            const WaveExportResult r
                = ExportSound(e, o, path, {SoundExport::CallSigns, 1}, [&](int) { return !bCancel || ++calls < 5; });
            QCOMPARE(r.eStatus, bCancel ? WaveExportResult::Cancelled : WaveExportResult::Written);
            QCOMPARE(QFile::exists(path), !bCancel);
            QCOMPARE(QFile::exists(TextPathFor(path)), !bCancel);
            if (!bCancel) { // a minute at least, less than a test more
                QVERIFY(r.llSamples >= 60LL * r.nRate);
                QVERIFY(r.llSamples < 120LL * r.nRate);
            }
        }
        const QByteArray mp3 = ReadAll(path);
        const QByteArray text = ReadAll(TextPathFor(path));
        QVERIFY(mp3.startsWith("ID3\x03"));
        const int tagSize = (mp3[6] << 21) | (mp3[7] << 14) | (mp3[8] << 7) | mp3[9];
        // The lyrics are the text written beside it; the first frame follows the tag.
        const int lyrics = mp3.indexOf("USLT");
        QVERIFY(lyrics > 0 && lyrics < tagSize);
        const QString firstCall = QString::fromUtf8(text.left(text.indexOf('\n')));
        QVERIFY(!firstCall.isEmpty());
        const QByteArray utf16(reinterpret_cast<const char*>(firstCall.utf16()), firstCall.size() * 2);
        QVERIFY(mp3.indexOf(utf16, lyrics) > lyrics);
        QVERIFY(mp3.indexOf(utf16, lyrics) < 10 + tagSize);
        QCOMPARE(uchar(mp3[10 + tagSize]), uchar(0xFF));
        QCOMPARE(uchar(mp3[10 + tagSize + 1]) & 0xE0, 0xE0);
    }

    void theVoiceIsAmongTheOptionsInForce()
    {
        TrainingOptions o;
        QVERIFY(SettingsText(o, SettingDef::Test).contains("\nVoice=off"));
        QVERIFY(!SettingsText(o, SettingDef::Test).contains("VoiceBeforeMs"));
        o.nVoice = int(VoiceUnit::Group);
        o.bVoiceIcao = true;
        const QString text = SettingsText(o, SettingDef::Test);
        QVERIFY(text.contains("\nVoice=group\nVoiceIcao=1\nVoiceBeforeMs=300\nVoiceAfterMs=700"));
    }
};

DRAVIK_REGISTER_TEST(TestVoice)
#include "training_voice.moc"
