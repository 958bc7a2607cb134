// SPDX-License-Identifier: GPL-3.0-or-later
// The copy-test form's widgets: first display, the settings' controls,
// the exchange of the boxes, the answer box's input mode and the results
// box. What Start, Stop and Evaluate decide is tested without widgets.
#include "FormFixture.h"
#include "SentText.h"
#include "TestRegistry.h"
#include "winui/Contrast.h"
#include "text/Cp932.h"

#include <QScrollBar>
#include <QToolButton>
#include <QTextBlock>

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

private slots:
    void initTestCase() { SetStartPause(0); }
    void init() { CRecordingWaveOut::Install(false); }
    void cleanup()
    {
        QVERIFY(RunUntil([] { return CRecordingWaveOut::s_log.nLive == 0; }));
        CRecordingWaveOut::Uninstall();
    }

    void firstDisplay()
    {
        CForm f;
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("800"));
        QCOMPARE(f.WpmBox()->text(), QStringLiteral("12"));
        QVERIFY(f.Item<QRadioButton>(IDC_RADIO_LATIN_RANDOM1)->isChecked());
        QCOMPARE(f.view.Mode(), 0);
        QCOMPARE(f.Slider()->GetPos(), 80);
        QCOMPARE(f.view.Volume(), 20);
        QCOMPARE(f.Slider()->GetTics(), (std::set<int>{0, 10, 50, 90, 100}));
        QCOMPARE(f.view.focusWidget(), static_cast<QWidget*>(f.Answer()));
        QVERIFY(!f.Evaluate()->isEnabled());
        QVERIFY(f.ResultsShown());
        QVERIFY(!f.GraphShown());
        QCOMPARE(f.view.m_ctlGraph->geometry().topLeft(), f.Results()->geometry().topLeft());
        // Fixed pitch: every column of the results is one width wide.
        const QFontMetrics fm(f.Results()->font());
        QCOMPARE(fm.horizontalAdvance('i'), fm.horizontalAdvance('W'));
        QCOMPARE(fm.horizontalAdvance(QStringLiteral("ｱ")), fm.horizontalAdvance('W'));
        QCOMPARE(QFontInfo(f.Answer()->font()).pixelSize(), 16);
    }

    void spinsLeaveTheVolumeAndStopAtBounds()
    {
        CForm f;
        for (int i = 0; i < 200; ++i)
            f.Item<CSpinButtonCtrl>(IDC_SPIN_WPM)->UpButton()->click();
        QCOMPARE(f.WpmBox()->text(), QStringLiteral("120"));
        QCOMPARE(f.view.Volume(), 20);
        // Spins and typing change the boxes, not the members, until Start.
        QCOMPARE(f.view.Wpm(), 12);
        f.FreqBox()->setText("2000");
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("2000"));
        QCOMPARE(f.view.Settings().nFreq, 800);
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
        QCOMPARE(f.view.Settings().nFreq, 800);
        QCOMPARE(f.view.Wpm(), 12);
        QCOMPARE(f.FreqBox()->text(), QStringLiteral("800"));
        QVERIFY(f.view.IsPlaying()); // Start goes on with what it has
        f.Click(IDC_BUTTON_STOP);
    }

    void wabunTestTypesHalfWidthKatakana()
    {
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

    void evaluateShowsKanaInTheirColumnsReadably()
    {
        // On the designed light base in the designed colours, on a dark
        // desktop in colours readable on it.
        const QPalette before = QApplication::palette();
        for (bool dark : {false, true}) {
            DRAVIK_ROW(dark ? "dark" : "light");
            QPalette palette = before;
            if (dark) {
                palette.setColor(QPalette::Base, QColor(0x3D, 0x3D, 0x3D));
                palette.setColor(QPalette::Text, Qt::white);
            }
            QApplication::setPalette(palette);
            CForm f;
            SendText(f.view, "\xB1\xB2\xB3");
            f.Answer()->setPlainText(QStringLiteral("ｱｶ"));
            f.Evaluate()->setEnabled(true);
            f.Click(IDC_BUTTON_EVALUATE);
            QApplication::setPalette(before);
            QCOMPARE(f.boxes.boxes[0].text, QStringLiteral("毎日10分は聞き取り練習が必要！(正解率 33%)"));
            const QColor base = f.Results()->palette().color(QPalette::Base);
            const QList<Run> want = {{"\n", Qt::black}, {QStringLiteral("ｱｲｳ"), QColor(0, 128, 0)},
                                     {QStringLiteral("\nｱ"), Qt::black}, {QStringLiteral("ｶ"), QColor(255, 0, 0)},
                                     {QStringLiteral("\n"), Qt::black}};
            const QList<Run> runs = ResultRuns(f.Results());
            QCOMPARE(runs.size(), want.size());
            for (qsizetype i = 0; i < runs.size(); ++i) {
                QCOMPARE(runs[i].text, want[i].text);
                QVERIFY2(dark ? ContrastRatio(runs[i].color, base) >= 4.5 : runs[i].color == want[i].color,
                         qPrintable(runs[i].color.name()));
            }
        }
    }

    void resultsBoxKeepsTheNewestAtItsLimit()
    {
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
