// SPDX-License-Identifier: GPL-3.0-or-later
// Morse table, keying and practice text, without a display.
#include "engine/MorseEngine.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"

#include <QTemporaryDir>
#include <QtTest>

#include <QDir>
#include <sys/stat.h>

#include <set>


class CEngineProbe : public CMorseEngine {
public:
    // Runs a test's text to its end without a device.
    void RunText(int freq, int dot)
    {
        m_bPlaying = 1;
        for (int guard = 0; m_bPlaying && guard < 100000; ++guard) {
            g_nCurBuf ^= 1;
            NextChar(freq, dot);
        }
    }
    void SetSentCount(int n) { m_nSentCount = n; }
    void Reset(int mode)
    {
        ClosePhraseFile();
        m_nMode = mode;
        m_strSent.clear();
        m_nSentCount = 0;
        g_nCurBuf = 0;
        g_nGroupPos = 0;
    }
};

class TestEngine : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString WriteFile(const char* name, const QByteArray& bytes)
    {
        QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

private slots:

    void tableSpotChecks()
    {
        // A few codes from each block of the table, read from a printed
        // chart; the table itself is data, laid out against its source.
        const std::pair<int, const char*> codes[] = {
            {'A', ".-"}, {'Z', "--.."}, {'a', ".-"}, {'0', "-----"}, {'9', "----."}, {'?', "..--.."},
            {'/', "-..-."}, {0xB1, "--.--"}, {0xDD, ".-.-."}, {0xA6, ".---"}, {0xDE, ".."}, {0xDF, "..--."},
            {0xA3, ".-.-.."}, {0xA4, ".-.-.-"}, {0xA5, "-..---"}, {' ', ""}, {0x82, ""}, {0xFF, ""},
        };
        for (const auto& [b, code] : codes)
            QCOMPARE(std::string(MorsePattern(static_cast<unsigned char>(b))), std::string(code));
        int mapped = 0;
        for (int b = 0; b < 256; ++b)
            mapped += *MorsePattern(static_cast<unsigned char>(b)) ? 1 : 0;
        QCOMPARE(mapped, 129);
    }

    void sampleCounts_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("dotMs");
        QTest::addColumn<int>("count");
        QTest::newRow("E phrase 12wpm") << 2 << int('E') << 100 << 3200;
        QTest::newRow("T random1 12wpm") << 0 << int('T') << 100 << 7200;
        QTest::newRow("E wabun random1") << 3 << int('E') << 100 << 5600;
        QTest::newRow("E random5 inside group") << 1 << int('E') << 100 << 3200;
        QTest::newRow("0 phrase 5wpm") << 2 << int('0') << 243 << 22 * 1944; // 5 x (3 + 1) + 2
        QTest::newRow("space random1") << 0 << 0x20 << 100 << 3200;
        QTest::newRow("space random5") << 1 << 0x20 << 100 << 3200;
        QTest::newRow("LF phrase") << 5 << 0x0A << 60 << 1920;
        QTest::newRow("lead byte 0x82") << 2 << 0x82 << 100 << 3200;
        QTest::newRow("0xFF") << 2 << 0xFF << 10 << 320;
        QTest::newRow("start signal 120wpm") << 5 << 0xA5 << 10 << 80 * 22; // -..--- is 20 units
    }
    void sampleCounts()
    {
        QFETCH(int, mode);
        QFETCH(int, ch);
        QFETCH(int, dotMs);
        QFETCH(int, count);
        CEngineProbe e;
        e.Reset(mode);
        QCOMPARE(e.MakeWave(g_ToneBuf[0], 800, dotMs, static_cast<unsigned char>(ch)), count);
        QCOMPARE(g_nGroupPos, mode == 1 && ch != 0x20 ? 1 : 0);
        QVERIFY(e.Sent().empty());
    }

    void toneShape()
    {
        // E at 700 Hz: period 11, 5 high then 6 low, then key up.
        CEngineProbe e;
        e.Reset(2);
        const int n = e.MakeWave(g_ToneBuf[0], 700, 100, 'E');
        QCOMPARE(n, 3200);
        for (int i = 0; i < 800; ++i)
            QCOMPARE(int(g_ToneBuf[0][i]), (i % 11) < 5 ? 192 : 64);
        for (int i = 800; i < kToneBufSamples; ++i)
            QCOMPARE(int(g_ToneBuf[0][i]), 0);
        // Each element starts on a high half: the dash of A at 1600 + 800 = 2400... of N.
        e.MakeWave(g_ToneBuf[0], 700, 100, 'N');
        QCOMPARE(int(g_ToneBuf[0][3200]), 192);
        QCOMPARE(int(g_ToneBuf[0][3199]), 0);
    }

    void onlyThreeSampleValues()
    {
        CEngineProbe e;
        for (int mode : {0, 2, 4}) {
            e.Reset(mode);
            for (int b = 0; b < 256; ++b) {
                const int n = e.MakeWave(g_ToneBuf[1], 250 + b * 3, 243, static_cast<unsigned char>(b));
                QVERIFY(n > 0 && n <= kToneBufSamples);
                for (int i = 0; i < kToneBufSamples; ++i) {
                    const int s = g_ToneBuf[1][i];
                    if (i >= n)
                        QCOMPARE(s, 0);
                    else if (s != 0 && s != 64 && s != 192)
                        QFAIL(qPrintable(QString("byte %1 sample %2 = %3").arg(b).arg(i).arg(s)));
                }
            }
        }
    }

    void frequenciesSharingAPeriod_data()
    {
        QTest::addColumn<int>("f1");
        QTest::addColumn<int>("f2");
        QTest::newRow("900=1000") << 900 << 1000;
        QTest::newRow("750=800") << 750 << 800;
    }
    void frequenciesSharingAPeriod()
    {
        QFETCH(int, f1);
        QFETCH(int, f2);
        CEngineProbe e;
        e.Reset(0);
        QCOMPARE(e.MakeWave(g_ToneBuf[0], f1, 100, '?'), e.MakeWave(g_ToneBuf[1], f2, 100, '?'));
        QVERIFY(std::memcmp(g_ToneBuf[0], g_ToneBuf[1], kToneBufSamples) == 0);
    }

    void randomFiveGroups_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("latin") << 1;
        QTest::newRow("wabun") << 4;
    }
    void randomFiveGroups()
    {
        QFETCH(int, mode);
        CEngineProbe e;
        e.Reset(mode);
        QCOMPARE(e.PrepareText(800, 100), 0);
        QCOMPARE(g_nGroupPos, mode == 1 ? 2 : 0);
        e.RunText(800, 100);
        QCOMPARE(e.SentCount(), 50);
        QCOMPARE(int(e.Sent().size()), 59);
        for (int i = 0; i < 59; ++i) {
            const auto c = static_cast<unsigned char>(e.Sent()[i]);
            if (i % 6 == 5) {
                QCOMPARE(int(c), 0x20);
            } else if (mode == 1) {
                QVERIFY(c >= 'A' && c <= 'Z');
            } else {
                QVERIFY((c >= 0xB1 && c <= 0xDD) || c == 0xA6);
            }
        }
        // The fiftieth character ends its group with the long gap.
        QCOMPARE(g_nGroupPos, 0);
    }

    void fifthCharacterGap()
    {
        CEngineProbe e;
        e.Reset(1);
        g_nGroupPos = 3;
        e.SetSentCount(4);
        const int inside = e.MakeWave(g_ToneBuf[0], 800, 100, 'K');
        e.SetSentCount(5);
        const int fifth = e.MakeWave(g_ToneBuf[0], 800, 100, 'K');
        QCOMPARE(fifth - inside, 8 * 800);
        QCOMPARE(e.Sent(), std::string(" "));
        g_nGroupPos = 4;
        e.SetSentCount(50);
        e.MakeWave(g_ToneBuf[0], 800, 100, 'K');
        QCOMPARE(e.Sent(), std::string(" "));
    }

    void randomSingles_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("latin") << 0;
        QTest::newRow("wabun") << 3;
    }
    void randomSingles()
    {
        QFETCH(int, mode);
        CEngineProbe e;
        e.Reset(mode);
        QCOMPARE(e.PrepareText(800, 100), 0);
        if (mode == 3) {
            // Start signal twice, not recorded.
            QVERIFY(e.Sent().empty());
            QCOMPARE(g_nToneLen[0], (20 + 5) * 800);
            QCOMPARE(g_nToneLen[1], g_nToneLen[0]);
        } else {
            QCOMPARE(int(e.Sent().size()), 2);
        }
        e.RunText(800, 100);
        QCOMPARE(int(e.Sent().size()), 50);
        std::set<unsigned char> seen(e.Sent().begin(), e.Sent().end());
        for (unsigned char c : seen)
            QVERIFY(mode == 0 ? (c >= 'A' && c <= 'Z') : ((c >= 0xB1 && c <= 0xDD) || c == 0xA6));
    }

    void drawsCoverTheWholeSet()
    {
        // Over many draws every letter and every kana turns up.
        std::srand(7919);
        for (bool bWabun : {false, true}) {
            std::set<unsigned char> seen;
            for (int i = 0; i < 2000; ++i)
                seen.insert(DrawFrom({}, bWabun));
            QCOMPARE(seen, std::set<unsigned char>(WholeSet(bWabun).begin(), WholeSet(bWabun).end()));
        }
    }

    void phraseFile_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("crlf") << 2 << QByteArray("AB\r\nC\r\n") << QByteArray("AB\nC\n");
        QTest::newRow("lone cr") << 2 << QByteArray("A\rB\r") << QByteArray("A\rB\r");
        QTest::newRow("cr cr lf") << 2 << QByteArray("A\r\r\nB") << QByteArray("A\r\nB");
        QTest::newRow("crlf first") << 2 << QByteArray("\r\nX") << QByteArray("\nX");
        QTest::newRow("two bytes") << 2 << QByteArray("EE") << QByteArray("EE");
        QTest::newRow("nul ff dbcs") << 2 << QByteArray("\x00\xFF\x82\xA0\x88\x9F", 6)
                                     << QByteArray("\x00\xFF\x82\xA0\x88\x9F", 6);
        QTest::newRow("wabun kana") << 5 << QByteArray("\xB1\xB2 \xDD") << QByteArray("\xB1\xB2 \xDD");
        QTest::newRow("wabun empty") << 5 << QByteArray() << QByteArray();
    }
    void phraseFile()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, sent);
        g_strPhraseFile = WriteFile("phrase.txt", content).toStdString();
        CEngineProbe e;
        e.Reset(mode);
        QCOMPARE(e.PrepareText(800, 20), 0);
        QVERIFY(e.HasPhraseFile());
        e.RunText(800, 20);
        QCOMPARE(QByteArray::fromStdString(e.Sent()), sent);
        QCOMPARE(e.SentCount(), int(sent.size()));
        // A phrase test always begins at the first byte.
        e.Reset(mode);
        QCOMPARE(e.PrepareText(800, 20), 0);
        e.RunText(800, 20);
        QCOMPARE(QByteArray::fromStdString(e.Sent()), sent);
    }

    void phraseFileUnusable_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<bool>("leftOpen");
        QTest::newRow("latin missing") << 2 << QByteArray() << false;
        QTest::newRow("wabun missing") << 5 << QByteArray() << false;
        QTest::newRow("latin empty") << 2 << QByteArray("") << true;
        QTest::newRow("latin one byte") << 2 << QByteArray("A") << true;
        QTest::newRow("latin lone crlf") << 2 << QByteArray("\r\n") << true;
    }
    void phraseFileUnusable()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, content);
        QFETCH(bool, leftOpen);
        g_strPhraseFile = content.isNull() ? m_dir.filePath("none.txt").toStdString()
                                           : WriteFile("short.txt", content).toStdString();
        CEngineProbe e;
        e.Reset(mode);
        QCOMPARE(e.PrepareText(800, 100), -2);
        QVERIFY(e.Sent().empty());
        QCOMPARE(e.HasPhraseFile(), leftOpen);
    }

    void phraseFileMustBeRegular_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("result");
        for (int mode : {2, 5}) {
            const QByteArray m = QByteArray::number(mode);
            QTest::newRow(m + " fifo") << mode << "fifo" << -2;
            QTest::newRow(m + " directory") << mode << "dir" << -2;
            QTest::newRow(m + " link to directory") << mode << "linkdir" << -2;
            QTest::newRow(m + " link to file") << mode << "linkfile" << 0;
        }
    }
    void phraseFileMustBeRegular()
    {
        QFETCH(int, mode);
        QFETCH(QString, kind);
        QFETCH(int, result);
        const QString path = m_dir.filePath("phrase-" + kind);
        QFile::remove(path);
        QDir(path).removeRecursively();
        const QString file = WriteFile("target.txt", "AB");
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == "dir")
            QVERIFY(QDir().mkpath(path));
        else if (kind == "linkdir")
            QVERIFY(QFile::link(m_dir.path(), path));
        else
            QVERIFY(QFile::link(file, path));
        g_strPhraseFile = QFile::encodeName(path).toStdString();
        CEngineProbe e;
        e.Reset(mode);
        // A FIFO with no writer used to hang here in open().
        QCOMPARE(e.PrepareText(800, 100), result);
        QCOMPARE(e.HasPhraseFile(), result == 0);
    }

    void anyBytesKeyedSafely()
    {
        QByteArray junk;
        std::srand(12345);
        for (int i = 0; i < 3000; ++i)
            junk.append(char(std::rand() & 0xFF));
        g_strPhraseFile = WriteFile("junk.bin", junk).toStdString();
        CEngineProbe e;
        e.Reset(2);
        QCOMPARE(e.PrepareText(1000, 243), 0);
        e.RunText(1000, 243);
        QCOMPARE(QByteArray::fromStdString(e.Sent()), QByteArray(junk).replace("\r\n", "\n"));
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
