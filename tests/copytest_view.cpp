// The copy-test form: first display, settings, Start and Stop, the stream
// against a recording device, and the evaluation. Offscreen platform.
#include "FormFixture.h"
#include "TestRegistry.h"
#include "engine/MorseTable.h"
#include "text/Cp932.h"

#include <QClipboard>
#include <QScrollBar>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <sys/stat.h>

// The runs of text in the results box with their colours.
struct Run {
    QString text;
    QColor color;
    bool operator==(const Run&) const = default;
};
static QList<Run> ResultRuns(QTextEdit* box)
{
    QList<Run> runs;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next()) {
        if (b != box->document()->begin()) // the line feed that began this block
            runs.append({QStringLiteral("\n"), b.charFormat().foreground().color()});
        for (auto it = b.begin(); !it.atEnd(); ++it)
            runs.append({it.fragment().text(), it.fragment().charFormat().foreground().color()});
    }
    QList<Run> merged; // neighbours of one colour as one run
    for (const Run& r : runs) {
        if (!merged.isEmpty() && r.color == merged.last().color)
            merged.last().text += r.text;
        else
            merged.append(r);
    }
    return merged;
}

class TestView : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString WritePhrase(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath("phrase.txt");
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }

private slots:
    void initTestCase() { SetPreparePause(&NoPause); }
    void init() { CRecordingWaveOut::Install(true); }
    void cleanup()
    {
        // Let released devices deliver their close and go.
        QTRY_COMPARE(CRecordingWaveOut::s_log.nLive, 0);
        CRecordingWaveOut::Uninstall();
    }

    // ---- the form ----

    void firstDisplay()
    {
        CForm f;
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("800"));
        QCOMPARE(f.WpmBox()->text(), QStringLiteral("12"));
        QVERIFY(f.Item<QRadioButton>(IDC_RADIO_LATIN_RANDOM1)->isChecked());
        QCOMPARE(f.view.m_nMode, 0);
        QCOMPARE(f.Slider()->GetPos(), 80);
        QCOMPARE(f.view.m_nVolume, 20);
        QCOMPARE(f.Slider()->GetTics(), (std::set<int>{0, 10, 50, 90, 100}));
        QCOMPARE(f.view.focusWidget(), static_cast<QWidget*>(f.Answer()));
        QVERIFY(!f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
        QVERIFY(!f.GraphShown());
        QCOMPARE(f.view.m_ctlGraph->geometry().topLeft(), f.Results()->geometry().topLeft());
        QCOMPARE(g_crGreen, COLORREF(0x008000));
        QCOMPARE(g_crRed, COLORREF(0x0000FF));
        // Fixed pitch: every column of the results is one width wide.
        const QFontMetrics fm(f.Results()->font());
        QCOMPARE(fm.horizontalAdvance('i'), fm.horizontalAdvance('W'));
        QCOMPARE(fm.horizontalAdvance(QStringLiteral("ｱ")), fm.horizontalAdvance('W'));
        QCOMPARE(QFontInfo(f.Answer()->font()).pixelSize(), 16);
        // Every addressed control of the template exists, and is what it should be.
        for (int id : {IDC_EDIT_FREQ, IDC_EDIT_WPM, IDC_SPIN_FREQ, IDC_SPIN_WPM, IDC_SLIDER_VOLUME, IDC_BUTTON_START,
                       IDC_BUTTON_STOP, IDC_BUTTON_EVALUATE, IDC_STATIC_GRAPH, IDC_RICHEDIT_RESULTS, IDC_EDIT_ANSWER})
            QVERIFY2(f.view.GetDlgItem(id), qPrintable(QString::number(id)));
        QCOMPARE(f.Item<QPushButton>(IDC_BUTTON_START)->text(), QStringLiteral("ｽﾀｰﾄ"));
    }

    void sliderSetsVolume_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("volume");
        QTest::newRow("top") << 0 << 100;
        QTest::newRow("bottom") << 100 << 0;
        QTest::newRow("tick 50") << 50 << 50;
        QTest::newRow("tick 90") << 90 << 10;
    }
    void sliderSetsVolume()
    {
        QFETCH(int, pos);
        QFETCH(int, volume);
        CForm f;
        f.Slider()->setValue(pos); // as a drag of the thumb does
        QCOMPARE(f.view.m_nVolume, volume);
    }

    void sliderKeysMoveTheVolume()
    {
        CForm f;
        f.Slider()->setFocus();
        QTest::keyClick(f.Slider(), Qt::Key_End);
        QCOMPARE(f.view.m_nVolume, 0);
        QTest::keyClick(f.Slider(), Qt::Key_Home);
        QCOMPARE(f.view.m_nVolume, 100);
    }

    void spinsLeaveTheVolumeAndStopAtBounds()
    {
        CForm f;
        auto* spin = f.Item<CSpinButtonCtrl>(IDC_SPIN_WPM);
        for (int i = 0; i < 200; ++i)
            spin->UpButton()->click();
        QCOMPARE(f.WpmBox()->text(), QStringLiteral("120"));
        auto* freq = f.Item<CSpinButtonCtrl>(IDC_SPIN_FREQ);
        f.FreqBox()->setText("260");
        for (int i = 0; i < 20; ++i)
            freq->DownButton()->click();
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("250"));
        QCOMPARE(f.view.m_nVolume, 20);
        // Spins and typing change the boxes, not the members, until Start.
        QCOMPARE(f.view.m_nWpm, 12);
        f.FreqBox()->setText("2000");
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("2000"));
        QCOMPARE(f.view.m_nFreq, 800);
    }

    void answerBoxStoresCapitalsAndCrLf()
    {
        CForm f;
        QTest::keyClicks(f.Answer(), "cq de");
        QTest::keyClick(f.Answer(), Qt::Key_Return);
        QTest::keyClicks(f.Answer(), "k");
        QCOMPARE(f.Answer()->GetWindowTextBytes(), std::string("CQ DE\r\nK"));
        f.Answer()->clear();
        QApplication::clipboard()->setText(QStringLiteral("tnx 73"));
        f.Answer()->paste();
        QCOMPARE(f.Answer()->GetWindowTextBytes(), std::string("TNX 73"));
    }

    void notAnIntegerKeepsTheMember()
    {
        CForm f;
        f.FreqBox()->setText("abc");
        f.WpmBox()->setText("30");
        f.Click(IDC_BUTTON_START);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("整数を入力してください。"));
        // The frequency and everything exchanged after it keep their values.
        QCOMPARE(f.view.m_nFreq, 800);
        QCOMPARE(f.view.m_nWpm, 12);
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("800"));
        QVERIFY(f.view.m_bPlaying); // Start goes on with what it has
        f.Click(IDC_BUTTON_STOP);
    }

    // ---- Start and Stop ----

    void startClampsAndDerivesTheDot_data()
    {
        QTest::addColumn<QString>("freq");
        QTest::addColumn<QString>("wpm");
        QTest::addColumn<int>("nFreq");
        QTest::addColumn<int>("nWpm");
        QTest::addColumn<int>("dotMs");
        QTest::newRow("100 Hz, 0 wpm") << "100" << "0" << 250 << 5 << 243;
        QTest::newRow("5000 Hz, 200 wpm") << "5000" << "200" << 1000 << 120 << 10;
        QTest::newRow("-5 Hz, -3 wpm") << "-5" << "-3" << 250 << 5 << 243;
        QTest::newRow("12 wpm") << "800" << "12" << 800 << 12 << 100;
        QTest::newRow("110 wpm") << "700" << "110" << 700 << 110 << 10;
        QTest::newRow("7 wpm") << "700" << "7" << 700 << 7 << 172;
        QTest::newRow("13 wpm") << "700" << "13" << 700 << 13 << 92;
        QTest::newRow("35 wpm") << "700" << "35" << 700 << 35 << 34;
    }
    void startClampsAndDerivesTheDot()
    {
        QFETCH(QString, freq);
        QFETCH(QString, wpm);
        QFETCH(int, nFreq);
        QFETCH(int, nWpm);
        QFETCH(int, dotMs);
        CRecordingWaveOut::Install(false);
        CForm f;
        f.FreqBox()->setText(freq);
        f.WpmBox()->setText(wpm);
        QTest::keyClicks(f.Answer(), "early");
        f.Click(IDC_BUTTON_START);
        QCOMPARE(f.Answer()->toPlainText(), QString()); // typed before Start: gone
        QCOMPARE(f.view.m_nFreq, nFreq);
        QCOMPARE(f.view.m_nWpm, nWpm);
        QCOMPARE(f.view.m_nDotMs, dotMs);
        QCOMPARE(g_nGraphWpm, nWpm);
        QCOMPARE(f.FreqBox()->text(), QString::number(nFreq));
        QCOMPARE(f.WpmBox()->text(), QString::number(nWpm));
        QVERIFY(f.boxes.boxes.isEmpty());
        // The test layout.
        QVERIFY(f.view.m_bPlaying);
        QVERIFY(f.GraphShown());
        QVERIFY(!f.ResultsShown());
        QVERIFY(!f.Evaluate()->isEnabled());
        QCOMPARE(f.view.focusWidget(), static_cast<QWidget*>(f.Answer()));
        QCOMPARE(CRecordingWaveOut::s_log.volumes.front(), 13107u | (13107u << 16));
        f.Click(IDC_BUTTON_STOP);
    }

    void startDuringATestIsIgnored()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        f.Click(IDC_BUTTON_START);
        const std::string sent = f.view.m_strSent;
        QTest::keyClicks(f.Answer(), "abc");
        f.FreqBox()->setText("300");
        f.Click(IDC_BUTTON_START);
        QCOMPARE(f.view.m_strSent, sent);
        QCOMPARE(f.Answer()->GetWindowTextBytes(), std::string("ABC"));
        QCOMPARE(f.view.m_nFreq, 800);
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("300"));
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 1);
        f.Click(IDC_BUTTON_STOP);
    }

    void missingPhraseFileKeepsTheFormAtRest()
    {
        CForm f;
        // A finished test leaves Evaluate enabled.
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        QVERIFY(f.Evaluate()->isEnabled());
        g_strPhraseFile = m_dir.filePath("missing.txt").toStdString();
        f.SelectMode(kLatinPhrase);
        f.FreqBox()->setText("5000");
        f.Click(IDC_BUTTON_START);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("定型文ファイルがないよ"));
        QCOMPARE(f.boxes.boxes[0].caption, QStringLiteral("警告！"));
        QCOMPARE(f.boxes.boxes[0].style, MB_OK | MB_ICONEXCLAMATION);
        QVERIFY(!f.view.m_bPlaying);
        QVERIFY(f.ResultsShown());
        QVERIFY(f.Evaluate()->isEnabled()); // as it was
        QVERIFY(f.view.m_strSent.empty());
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("1000"));
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 1);
    }

    void noAudioDeviceKeepsTheFormAtRest()
    {
        CRecordingWaveOut::s_bRefuseOpen = true;
        CForm f;
        f.Click(IDC_BUTTON_START);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].caption, QStringLiteral("警告！"));
        QVERIFY(!f.view.m_bPlaying);
        QVERIFY(f.ResultsShown());
        QVERIFY(!f.GraphShown());
        QVERIFY(!f.Evaluate()->isEnabled());
        QVERIFY(g_hWaveOut == nullptr);
        // The answer box was not switched either.
        QCOMPARE(ImmGetOpenStatus(ImmGetContext(f.Answer())), 0);
    }

    void wabunTestTypesHalfWidthKatakana()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        HIMC himc = ImmGetContext(f.Answer());
        ImmSetConversionStatus(himc, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, IME_SMODE_NONE);
        f.SelectMode(kWabunRandom1);
        f.Click(IDC_BUTTON_START);
        QVERIFY(himc->bOpen);
        QCOMPARE(himc->dwConversion, IME_CMODE_NATIVE | IME_CMODE_KATAKANA);
        QCOMPARE(f.view.m_dwSavedConversion, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE);
        QTest::keyClicks(f.Answer(), "kitte mo-rusu");
        QTest::keyClick(f.Answer(), Qt::Key_Return); // ends the pending romaji
        QCOMPARE(QByteArray::fromStdString(f.Answer()->GetWindowTextBytes()),
                 QByteArray::fromStdString(QStringToCp932(QStringLiteral("ｷｯﾃ ﾓｰﾙｽ\n").replace("\n", "\r\n"))));
        f.Click(IDC_BUTTON_STOP);
        QCOMPARE(himc->bOpen, 0);
        QCOMPARE(himc->dwConversion, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE);
        // Closed, letters pass through as capitals; so they do in a Latin test.
        f.Answer()->clear();
        QTest::keyClicks(f.Answer(), "ka");
        QCOMPARE(f.Answer()->GetWindowTextBytes(), std::string("KA"));
        f.SelectMode(kLatinRandom5);
        f.Click(IDC_BUTTON_START);
        QVERIFY(himc->bOpen);
        QCOMPARE(himc->dwConversion, IME_CMODE_ALPHANUMERIC);
        QTest::keyClicks(f.Answer(), "kana");
        QCOMPARE(f.Answer()->GetWindowTextBytes(), std::string("KANA"));
        f.Click(IDC_BUTTON_STOP);
    }

    void testEndingByItselfLeavesTheInputMode()
    {
        CForm f;
        f.SelectMode(kWabunRandom5);
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        HIMC himc = ImmGetContext(f.Answer());
        QVERIFY(himc->bOpen);
        QCOMPARE(himc->dwConversion, IME_CMODE_NATIVE | IME_CMODE_KATAKANA);
        QVERIFY(f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
        QVERIFY(!f.GraphShown());
        // A later Stop only closes the phrase file; the next Start saves the test's modes.
        f.Click(IDC_BUTTON_STOP);
        QVERIFY(himc->bOpen);
        f.SelectMode(kLatinRandom1);
        CRecordingWaveOut::Install(false);
        f.Click(IDC_BUTTON_START);
        QCOMPARE(f.view.m_dwSavedConversion, IME_CMODE_NATIVE | IME_CMODE_KATAKANA);
        f.Click(IDC_BUTTON_STOP);
    }

    void stopMidCharacterAndStopTwice()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        f.Click(IDC_BUTTON_START);
        CRecordingWaveOut* dev = CRecordingWaveOut::s_pLast;
        QVERIFY(dev && dev->Pending());
        f.Click(IDC_BUTTON_STOP);
        QCOMPARE(CRecordingWaveOut::s_log.nResets, 1);
        QVERIFY(!f.view.m_bPlaying);
        QVERIFY(f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
        // The sent record holds the cut-off character and the one after it.
        QCOMPARE(int(f.view.m_strSent.size()), 2);
        f.Click(IDC_BUTTON_STOP);
        QCOMPARE(CRecordingWaveOut::s_log.nResets, 1);
        QVERIFY(f.WaitForRest());
        QCOMPARE(CRecordingWaveOut::s_log.nCloses, 1);
        QCOMPARE(CRecordingWaveOut::s_log.nWrites, 1);
        QCOMPARE(CRecordingWaveOut::s_log.nBadCalls, 0);
        QVERIFY(f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
    }

    void failingDeviceEndsTheTestAsStopWould_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("textEnded"); // the last character was draining
        QTest::newRow("latin playing") << int(kLatinRandom1) << false;
        QTest::newRow("wabun playing") << int(kWabunRandom5) << false;
        QTest::newRow("phrase playing") << int(kLatinPhrase) << false;
        QTest::newRow("draining") << int(kLatinRandom1) << true;
    }
    void failingDeviceEndsTheTestAsStopWould()
    {
        QFETCH(int, mode);
        QFETCH(bool, textEnded);
        CRecordingWaveOut::Install(false);
        g_strPhraseFile = WritePhrase("CQ CQ DE JA1ZZZ").toStdString();
        CForm f;
        f.SelectMode(mode);
        f.Click(IDC_BUTTON_START);
        CRecordingWaveOut* dev = CRecordingWaveOut::s_pLast;
        for (int i = 0; i < (textEnded ? 60 : 3) && f.view.m_bPlaying; ++i) {
            dev->Complete();
            QTRY_VERIFY(dev->Pending());
        }
        QCOMPARE(f.view.m_bPlaying != 0, !textEnded);
        const std::string sent = f.view.m_strSent;
        QVERIFY(!sent.empty());
        dev->Fail();
        QTRY_COMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].caption, QStringLiteral("警告！"));
        QCOMPARE(f.boxes.boxes[0].style, MB_OK | MB_ICONEXCLAMATION);
        QVERIFY(!f.view.m_bPlaying);
        QVERIFY(f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
        QVERIFY(!f.view.m_pPhraseFile);
        QCOMPARE(f.view.m_strSent, sent); // kept for Evaluate
        QCOMPARE(f.view.m_editAnswer->InputContext().bOpen, textEnded ? 1 : 0);
        QVERIFY(g_hWaveOut == nullptr);
        QTRY_COMPARE(CRecordingWaveOut::s_log.nLive, 0); // released
        QCOMPARE(CRecordingWaveOut::s_log.nBadCalls, 0);
        // A later Start opens a new device.
        f.SelectMode(kLatinRandom1);
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.view.m_bPlaying);
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 2);
        f.Click(IDC_BUTTON_STOP);
    }

    void phraseFileMustBeARegularFile_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("fifo");
        QTest::newRow("latin fifo") << int(kLatinPhrase) << true;
        QTest::newRow("wabun fifo") << int(kWabunPhrase) << true;
        QTest::newRow("latin directory") << int(kLatinPhrase) << false;
        QTest::newRow("wabun directory") << int(kWabunPhrase) << false;
    }
    void phraseFileMustBeARegularFile()
    {
        QFETCH(int, mode);
        QFETCH(bool, fifo);
        const QString path = m_dir.filePath(fifo ? "phrases.fifo" : "phrases.dir");
        if (fifo) {
            QFile::remove(path);
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QVERIFY(QDir().mkpath(path));
        }
        g_strPhraseFile = QFile::encodeName(path).toStdString();
        CForm f;
        f.SelectMode(mode);
        f.Click(IDC_BUTTON_START); // used to hang on the FIFO, or play nothing
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("定型文ファイルがないよ"));
        QVERIFY(!f.view.m_bPlaying);
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 0);
    }

    void stopClosesThePhraseFile()
    {
        CRecordingWaveOut::Install(false);
        g_strPhraseFile = WritePhrase("CQ CQ DE JA1ZZZ").toStdString();
        CForm f;
        f.SelectMode(kLatinPhrase);
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.view.m_pPhraseFile);
        f.Click(IDC_BUTTON_STOP);
        QVERIFY(!f.view.m_pPhraseFile);
    }

    void startWhileTheLastTestDrains()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        f.Click(IDC_BUTTON_START);
        CRecordingWaveOut* first = CRecordingWaveOut::s_pLast;
        f.Click(IDC_BUTTON_STOP); // the device's done and close are still queued
        f.Click(IDC_BUTTON_START);
        QVERIFY(CRecordingWaveOut::s_pLast != first);
        QCOMPARE(CRecordingWaveOut::s_log.nOpens, 2);
        QVERIFY(f.view.m_bPlaying);
        QVERIFY(f.GraphShown());
        QVERIFY(!f.Evaluate()->isEnabled());
        // The old device's late notices change nothing.
        QTest::qWait(20);
        QVERIFY(f.view.m_bPlaying);
        QVERIFY(f.GraphShown());
        QCOMPARE(CRecordingWaveOut::s_log.nLive, 1);
        // The new test runs to its end.
        CRecordingWaveOut::s_bAuto = true;
        CRecordingWaveOut::s_pLast->Complete();
        QVERIFY(f.WaitForRest());
        QCOMPARE(CRecordingWaveOut::s_log.nCloses, 2);
        QCOMPARE(CRecordingWaveOut::s_log.nBadCalls, 0);
        QCOMPARE(int(f.view.m_strSent.size()), 50);
    }

    void viewDestroyedWhilePlaying()
    {
        CRecordingWaveOut::Install(false);
        {
            CForm f;
            f.SelectMode(kWabunRandom1);
            f.Click(IDC_BUTTON_START);
            QCOMPARE(CRecordingWaveOut::s_log.nLive, 1);
        }
        QCOMPARE(CRecordingWaveOut::s_log.nCloses, 1);
        QVERIFY(g_hWaveOut == nullptr);
        QTRY_COMPARE(CRecordingWaveOut::s_log.nLive, 0);
    }

    // ---- the stream ----

    void wholeTestWritesAndCompletes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("buffers");
        QTest::newRow("latin random 1") << int(kLatinRandom1) << 50;
        QTest::newRow("latin random 5") << int(kLatinRandom5) << 50;
        QTest::newRow("wabun random 1") << int(kWabunRandom1) << 52;
        QTest::newRow("wabun random 5") << int(kWabunRandom5) << 52;
    }
    void wholeTestWritesAndCompletes()
    {
        QFETCH(int, mode);
        QFETCH(int, buffers);
        CForm f;
        f.SelectMode(mode);
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        const WaveOutLog& log = CRecordingWaveOut::s_log;
        QCOMPARE(log.nOpens, 1);
        QCOMPARE(log.nWrites, buffers);
        QCOMPARE(log.nDones, buffers);
        QCOMPARE(log.nCloses, 1);
        QCOMPARE(log.nBadCalls, 0);
        QCOMPARE(int(log.volumes.size()), buffers); // at the start and before every further buffer
        for (int k = 0; k < buffers; ++k)
            QCOMPARE(log.bufferIndex[size_t(k)], k % 2);
        QVERIFY(f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
        // What reached the device is the record, character by character.
        const int first = buffers - 50;
        std::string keyed;
        for (int k = first; k < buffers; ++k) {
            const std::string& b = log.buffers[size_t(k)];
            QVERIFY(b.find_first_not_of(std::string("\0\x40\xC0", 3)) == std::string::npos);
            keyed += b.substr(0, 4);
        }
        for (int k = 0; k < first; ++k) // the start signal begins with a dash
            QCOMPARE(int(static_cast<unsigned char>(log.buffers[size_t(k)][0])), 192);
        std::string record = f.view.m_strSent;
        record.erase(std::remove(record.begin(), record.end(), ' '), record.end());
        QCOMPARE(int(record.size()), 50);
        // The graph got every buffer: 3 fixed entries each, more for tones.
        QVERIFY(f.view.m_ctlGraph->QueuedCount() >= buffers * 3);
    }

    void volumeFollowsTheSliderFromTheNextBuffer()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        f.Click(IDC_BUTTON_START);
        f.Slider()->setValue(0);
        QCOMPARE(CRecordingWaveOut::s_log.volumes.size(), size_t(1));
        CRecordingWaveOut::s_pLast->Complete();
        QTRY_COMPARE(CRecordingWaveOut::s_log.volumes.size(), size_t(2));
        QCOMPARE(CRecordingWaveOut::s_log.volumes[1], 0xFFFFFFFFu);
        f.Click(IDC_BUTTON_STOP);
    }

    void phraseTestSendsTheFile()
    {
        g_strPhraseFile = WritePhrase("CQ DE\r\nK").toStdString();
        CForm f;
        f.SelectMode(kLatinPhrase);
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        QCOMPARE(f.view.m_strSent, std::string("CQ DE\nK"));
        QCOMPARE(CRecordingWaveOut::s_log.nWrites, 7);
        // The file stays open after a test that ends by itself.
        QVERIFY(f.view.m_pPhraseFile);
    }

    // ---- the evaluation ----

    void evaluateNormal()
    {
        CForm f;
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        std::string sent = f.view.m_strSent;
        std::string typed = sent.substr(0, 10);
        typed[3] = typed[3] == 'Q' ? 'X' : 'Q'; // one wrong
        QTest::keyClicks(f.Answer(), QString::fromStdString(typed).toLower());
        f.Click(IDC_BUTTON_EVALUATE);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("符号を覚えていないな！(正解率 18%)"));
        QCOMPARE(f.boxes.boxes[0].caption, QStringLiteral("評価"));
        QCOMPARE(f.boxes.boxes[0].style, MB_OK | MB_ICONINFORMATION);
        const QList<Run> want = {
            {"\n", Qt::black},
            {QString::fromStdString(sent), QColor(0, 128, 0)},
            {"\n" + QString::fromStdString(typed.substr(0, 3)), Qt::black},
            {QString::fromStdString(typed.substr(3, 1)), QColor(255, 0, 0)},
            {QString::fromStdString(typed.substr(4)) + "\n", Qt::black},
        };
        QCOMPARE(ResultRuns(f.Results()), want);
        QVERIFY(!f.Evaluate()->isEnabled());
        QCOMPARE(f.Answer()->toPlainText(), QString());
    }

    void evaluatePhraseCopiedLineForLine()
    {
        CForm f;
        f.view.m_strSent = "CQ CQ\nDE JA1ZZZ\n";
        f.Evaluate()->setEnabled(true);
        QTest::keyClicks(f.Answer(), "cq cq");
        QTest::keyClick(f.Answer(), Qt::Key_Return);
        QTest::keyClicks(f.Answer(), "de ja1zzz");
        QTest::keyClick(f.Answer(), Qt::Key_Return);
        f.Click(IDC_BUTTON_EVALUATE);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("合格まちがいなし！(正解率 100%)"));
        // Each line break shows as one, the typed lines under the sent ones.
        QCOMPARE(f.Results()->toPlainText(), QStringLiteral("\nCQ CQ\nDE JA1ZZZ\n\nCQ CQ\nDE JA1ZZZ\n\n"));
    }

    void evaluateGuards()
    {
        CForm f;
        // Nothing typed.
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        const QString sent = QString::fromStdString(f.view.m_strSent);
        f.Click(IDC_BUTTON_EVALUATE);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("信号を聞いたらキーボードで文字を入力してね！"));
        QCOMPARE(ResultRuns(f.Results()),
                 (QList<Run>{{"\n", Qt::black}, {sent, QColor(0, 128, 0)}, {"\n\n", Qt::black}}));
        QVERIFY(!f.Evaluate()->isEnabled());
        // Nothing sent: a finished test, then a Start that fails on the phrase file.
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.WaitForRest());
        g_strPhraseFile = m_dir.filePath("missing.txt").toStdString();
        f.SelectMode(kWabunPhrase);
        f.Click(IDC_BUTTON_START);
        QVERIFY(f.Evaluate()->isEnabled());
        f.Results()->clear();
        f.boxes.boxes.clear();
        f.Click(IDC_BUTTON_EVALUATE);
        QCOMPARE(f.boxes.boxes.size(), 1);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("スタートボタンを押してテストしてからね！"));
        QCOMPARE(ResultRuns(f.Results()), (QList<Run>{{"\n\n\n", Qt::black}}));
        QVERIFY(!f.Evaluate()->isEnabled());
    }

    void evaluateWabunShowsKanaInTheirColumns()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        f.view.m_strSent = "\xB1\xB2\xB3";
        f.Answer()->setPlainText(QStringLiteral("ｱｶ"));
        f.Evaluate()->setEnabled(true);
        f.Click(IDC_BUTTON_EVALUATE);
        QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("毎日10分は聞き取り練習が必要！(正解率 33%)"));
        const QList<Run> want = {{"\n", Qt::black},
                                 {QStringLiteral("ｱｲｳ"), QColor(0, 128, 0)},
                                 {QStringLiteral("\nｱ"), Qt::black},
                                 {QStringLiteral("ｶ"), QColor(255, 0, 0)},
                                 {QStringLiteral("\n"), Qt::black}};
        QCOMPARE(ResultRuns(f.Results()), want);
    }

    void resultsBoxKeepsTheNewestAtItsLimit()
    {
        CRecordingWaveOut::Install(false);
        CForm f;
        for (int i = 0; i < CDravikView::kResultsMaxLines + 10; ++i)
            f.view.AppendResultText("OLD\n", g_crBlack);
        f.view.AppendResultText("NEWEST", g_crRed);
        QTextDocument* doc = f.Results()->document();
        QCOMPARE(doc->blockCount(), CDravikView::kResultsMaxLines);
        QCOMPARE(doc->lastBlock().text(), QStringLiteral("NEWEST"));
        QScrollBar* bar = f.Results()->verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
    }
};

DRAVIK_REGISTER_TEST(TestView)
#include "copytest_view.moc"
