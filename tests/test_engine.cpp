// SPDX-License-Identifier: GPL-3.0-or-later
// Morse table, keying and practice text, without a display.
#include "TestFiles.h"
#include "TestWait.h"
#include "engine/Keying.h"
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
    // Runs a prepared test's text to its end without a device.
    void RunText() { KeyPreparedTest([](const unsigned char*, int) { return true; }); }
    void Reset(int mode)
    {
        ClosePhraseFile();
        SetSettings({mode, 800, 12, 20});
        BeginTest();
    }
};

class TestEngine : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::string WriteFile(const char* name, const QByteArray& bytes) { return PhraseFile(m_dir.filePath(name), bytes); }

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

    void wholeSetKeysTheSignsOfTheAir()
    {
        // ITU-R M.1677-1; the designed table is left as it is.
        const struct { unsigned char ch; const char* designed; const char* air; } rows[] = {
            {'.', "", ".-.-.-"}, {'@', "", ".--.-."}, {'(', "-.--.-", "-.--."}, {')', ".-..-.", "-.--.-"},
            {kProsignSK, "", "...-.-"}, {kProsignBK, "", "-...-.-"}, {'K', "-.-", "-.-"}, {0xB1, "--.--", "--.--"},
        };
        for (const auto& r : rows) {
            QCOMPARE(std::string(MorsePattern(r.ch)), std::string(r.designed));
            QCOMPARE(std::string(FullSetPattern(r.ch)), std::string(r.air));
        }
        // A prosign is one sign: no character gap inside it.
        CBandRandom fist;
        int group = 0;
        const KeyedChar k = KeyChar(kProsignBK, {kLatinPhrase, 8, 0, 0, 0, true}, fist, group);
        QCOMPARE(k.nSpans, 14);
        for (int s = 1; s + 1 < k.nSpans; s += 2)
            QCOMPARE(k.spans[size_t(s)].nSamples, 8);
    }

    void sampleCounts()
    {
        // Mode, byte, dot ms and the samples keyed. 0 at 5 wpm: 5 x (3 + 1)
        // + 2 dots; the start signal -..--- is 20 units and 2 more.
        const struct { int mode, ch, dotMs, count; } rows[] = {
            {2, 'E', 100, 3200},  {0, 'T', 100, 7200},  {3, 'E', 100, 5600},  {1, 'E', 100, 3200},
            {2, '0', 243, 22 * 1944}, {0, ' ', 100, 3200}, {1, ' ', 100, 3200}, {5, '\n', 60, 1920},
            {2, 0x82, 100, 3200}, {2, 0xFF, 10, 320},   {5, 0xA5, 10, 80 * 22},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString("mode %1, byte %2").arg(r.mode).arg(r.ch));
            CEngineProbe e;
            e.Reset(r.mode);
            QCOMPARE(e.MakeWave(g_ToneBuf[0], 800, r.dotMs, static_cast<unsigned char>(r.ch)), r.count);
            QCOMPARE(g_nGroupPos, r.mode == 1 && r.ch != ' ' ? 1 : 0);
            QVERIFY(e.Sent().empty());
        }
    }

    void squareWave()
    {
        // E at 700 Hz: period 11, 5 high then 6 low, then key up.
        CEngineProbe e;
        e.Reset(2);
        QCOMPARE(e.MakeWave(g_ToneBuf[0], 700, 100, 'E'), 3200);
        for (int i = 0; i < kToneBufSamples; ++i)
            QCOMPARE(int(g_ToneBuf[0][i]), i >= 800 ? 0 : (i % 11) < 5 ? 192 : 64);
        // Each element starts on a high half: the dash of N.
        e.MakeWave(g_ToneBuf[0], 700, 100, 'N');
        QCOMPARE(int(g_ToneBuf[0][3200]), 192);
        QCOMPARE(int(g_ToneBuf[0][3199]), 0);
        // Pitches of one period in samples key the same.
        for (auto [f1, f2] : {std::pair{900, 1000}, {750, 800}}) {
            QCOMPARE(e.MakeWave(g_ToneBuf[0], f1, 100, '?'), e.MakeWave(g_ToneBuf[1], f2, 100, '?'));
            QVERIFY(std::memcmp(g_ToneBuf[0], g_ToneBuf[1], kToneBufSamples) == 0);
        }
        // Any byte at any pitch: tone halves and silence only, key up after.
        for (int mode : {0, 2, 4}) {
            e.Reset(mode);
            for (int b = 0; b < 256; ++b) {
                const int n = e.MakeWave(g_ToneBuf[1], 250 + b * 3, 243, static_cast<unsigned char>(b));
                QVERIFY(n > 0 && n <= kToneBufSamples);
                for (int i = 0; i < kToneBufSamples; ++i) {
                    const int s = g_ToneBuf[1][i];
                    if (i >= n ? s != 0 : s != 0 && s != 64 && s != 192)
                        QFAIL(qPrintable(QString("byte %1 sample %2 = %3").arg(b).arg(i).arg(s)));
                }
            }
        }
    }

    static bool IsDrawn(unsigned char c, bool bWabun)
    {
        return bWabun ? (c >= 0xB1 && c <= 0xDD) || c == 0xA6 : c >= 'A' && c <= 'Z';
    }

    void randomTests()
    {
        // Mode, group position after Start, and the text sent: groups of
        // five get a space after each; Wabun begins with the start signal
        // twice, heard and not recorded.
        const struct { int mode, groupPos, prepared, sent; } rows[] = {
            {0, 0, 2, 50}, {1, 2, 2, 59}, {3, 0, 0, 50}, {4, 0, 0, 59},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(QString::number(r.mode));
            CEngineProbe e;
            e.Reset(r.mode);
            QCOMPARE(e.PrepareText(800, 100), 0);
            QCOMPARE(g_nGroupPos, r.groupPos);
            QCOMPARE(int(e.Sent().size()), r.prepared);
            if (r.mode == 3)
                QCOMPARE(g_nToneLen[0], (20 + 5) * 800);
            e.RunText();
            QCOMPARE(e.SentCount(), 50);
            QCOMPARE(int(e.Sent().size()), r.sent);
            const bool bGroups = r.sent == 59, bWabun = r.mode >= 3;
            for (int i = 0; i < r.sent; ++i) {
                const auto c = static_cast<unsigned char>(e.Sent()[size_t(i)]);
                QVERIFY(bGroups && i % 6 == 5 ? c == ' ' : IsDrawn(c, bWabun));
            }
            // The fiftieth character ends its group with the long gap.
            QCOMPARE(g_nGroupPos, 0);
        }
    }

    void fifthCharacterGap()
    {
        // The fifth character of a group ends it with the word gap, and a
        // space in the sent text (not after the fiftieth: randomTests).
        CEngineProbe e;
        e.Reset(1);
        g_nGroupPos = 3;
        const int inside = e.MakeWave(g_ToneBuf[0], 800, 100, 'K');
        QVERIFY(e.Sent().empty());
        const int fifth = e.MakeWave(g_ToneBuf[0], 800, 100, 'K');
        QCOMPARE(fifth - inside, 8 * 800);
        QCOMPARE(e.Sent(), std::string(" "));
        QCOMPARE(g_nGroupPos, 0);
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

    void phraseFile()
    {
        // Any bytes at all are keyed safely and sent as they are.
        QByteArray junk;
        std::srand(12345);
        for (int i = 0; i < 3000; ++i)
            junk.append(char(std::rand() & 0xFF));
        // Mode, the file, and what is sent: CR LF read as LF.
        const struct { int mode; QByteArray content, sent; } rows[] = {
            {2, junk, QByteArray(junk).replace("\r\n", "\n")},
            {2, "AB\r\nC\r\n", "AB\nC\n"}, {2, "A\rB\r", "A\rB\r"}, {2, "A\r\r\nB", "A\r\nB"}, {2, "\r\nX", "\nX"},
            {2, "EE", "EE"}, {2, QByteArray("\x00\xFF\x82\xA0\x88\x9F", 6), QByteArray("\x00\xFF\x82\xA0\x88\x9F", 6)},
            {5, "\xB1\xB2 \xDD", "\xB1\xB2 \xDD"}, {5, "", ""},
        };
        for (const auto& r : rows) {
            DRAVIK_ROW(r.content.left(16).toHex());
            g_strPhraseFile = WriteFile("phrase.txt", r.content);
            CEngineProbe e;
            // A phrase test always begins at the first byte.
            for (int again = 0; again < 2; ++again) {
                e.Reset(r.mode);
                QCOMPARE(e.PrepareText(800, 20), 0);
                QVERIFY(e.HasPhraseFile());
                e.RunText();
                QCOMPARE(QByteArray::fromStdString(e.Sent()), r.sent);
                QCOMPARE(e.SentCount(), int(r.sent.size()));
            }
        }
    }

    void phraseFileUnusable()
    {
        // What stands at the phrase file's path; Start's result, and whether
        // the text stays open (fewer than two bytes to send). Only a
        // regular file is read: a FIFO with no writer used to hang open().
        const struct { const char* kind; int mode, result; bool open; } rows[] = {
            {"none", 2, -2, false},  {"none", 5, -2, false},    {"", 2, -2, true},        {"A", 2, -2, true},
            {"\r\n", 2, -2, true}, {"fifo", 2, -2, false},    {"fifo", 5, -2, false},   {"dir", 2, -2, false},
            {"linkdir", 5, -2, false}, {"linkfile", 2, 0, true}, {"linkfile", 5, 0, true},
        };
        const QString file = QString::fromStdString(WriteFile("target.txt", "AB"));
        for (const auto& r : rows) {
            const QString kind = QString::fromLatin1(r.kind);
            DRAVIK_ROW(QString("mode %1: %2").arg(r.mode).arg(kind.toLatin1().toHex()));
            const QString path = m_dir.filePath("phrase-" + kind.toLatin1().toHex());
            QFile::remove(path);
            QDir(path).removeRecursively();
            if (kind == "fifo")
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            else if (kind == "dir")
                QVERIFY(QDir().mkpath(path));
            else if (kind.startsWith("link"))
                QVERIFY(QFile::link(kind == "linkdir" ? m_dir.path() : file, path));
            else if (kind != "none")
                WriteFile(qPrintable("phrase-" + kind.toLatin1().toHex()), r.kind);
            g_strPhraseFile = QFile::encodeName(path).toStdString();
            CEngineProbe e;
            e.Reset(r.mode);
            QCOMPARE(e.PrepareText(800, 100), r.result);
            QCOMPARE(e.HasPhraseFile(), r.open);
            if (r.result != 0)
                QVERIFY(e.Sent().empty());
        }
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
