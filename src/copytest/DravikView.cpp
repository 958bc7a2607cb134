#include "copytest/DravikView.h"
#include "display/GraphStatic.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"
#include "text/Cp932.h"
#include "winui/MessageBox.h"
#include "winui/SpinButton.h"
#include "winui/TickSlider.h"
#include "res/Menus.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "copytest/CharEdit.h"
#include "training/Scoring.h"
#include "training/Apply.h"
#include "training/WaveExport.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextEdit>

COLORREF g_crBlack;
COLORREF g_crGreen;
COLORREF g_crRed;

QColor ColorFromRef(COLORREF cr) { return QColor(int(cr & 0xFF), int((cr >> 8) & 0xFF), int((cr >> 16) & 0xFF)); }

static const int kModeRadios[] = {IDC_RADIO_LATIN_RANDOM1, IDC_RADIO_LATIN_RANDOM5, IDC_RADIO_LATIN_PHRASE,
                                  IDC_RADIO_WABUN_RANDOM1, IDC_RADIO_WABUN_RANDOM5, IDC_RADIO_WABUN_PHRASE};

CDravikView::CDravikView(QWidget* parent) : QWidget(parent)
{
    ControlFactory factory;
    factory.create = [](const DlgControl& ctl, QWidget* p) -> QWidget* {
        if (ctl.nId == IDC_EDIT_ANSWER)
            return new CCharEdit(p);
        if (ctl.nId == IDC_STATIC_GRAPH)
            return new CGraphStatic(p);
        return nullptr;
    };
    m_controls = BuildDialog(this, g_dlgForm, factory);
    setFixedSize(m_controls.ClientSize());
    m_ctlResults = qobject_cast<QTextEdit*>(GetDlgItem(IDC_RICHEDIT_RESULTS));
    m_ctlResults->document()->setMaximumBlockCount(kResultsMaxLines);
    ConnectMessageMap();
}

CDravikView::~CDravikView()
{
    OnDestroy();
}

void CDravikView::ConnectMessageMap()
{
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDC_BUTTON_START)), &QPushButton::clicked, this,
            &CDravikView::OnStart);
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDC_BUTTON_STOP)), &QPushButton::clicked, this,
            &CDravikView::OnStop);
    connect(EvaluateButton(), &QPushButton::clicked, this, &CDravikView::OnEvaluate);
    auto* slider = VolumeSlider();
    connect(slider, &CSliderCtrl::VScroll, this, [this, slider](int code, int pos) { OnVScroll(code, pos, slider); });
    for (int id : {IDC_SPIN_FREQ, IDC_SPIN_WPM}) {
        auto* spin = qobject_cast<CSpinButtonCtrl*>(GetDlgItem(id));
        connect(spin, &CSpinButtonCtrl::VScroll, this, [this, spin](int code, int pos) { OnVScroll(code, pos, spin); });
    }
}

QPushButton* CDravikView::EvaluateButton() const { return qobject_cast<QPushButton*>(GetDlgItem(IDC_BUTTON_EVALUATE)); }

CSliderCtrl* CDravikView::VolumeSlider() const { return qobject_cast<CSliderCtrl*>(GetDlgItem(IDC_SLIDER_VOLUME)); }

static bool DDX_Text(CDravikView* view, int nId, int& value, bool bSave)
{
    auto* box = qobject_cast<QLineEdit*>(view->GetDlgItem(nId));
    if (!bSave) {
        box->setText(QString::number(value));
        return true;
    }
    bool ok = false;
    const int v = box->text().trimmed().toInt(&ok);
    if (!ok) {
        MessageBox(view, QStringLiteral("整数を入力してください。"), QString::fromUtf8(g_pszAppTitle),
                   MB_OK | MB_ICONEXCLAMATION);
        box->setFocus();
        box->selectAll();
        return false;
    }
    value = v;
    return true;
}

static void DDX_Radio(CDravikView* view, int& value, bool bSave)
{
    if (bSave) {
        value = -1;
        for (int i = 0; i < 6; ++i)
            if (qobject_cast<QRadioButton*>(view->GetDlgItem(kModeRadios[i]))->isChecked())
                value = i;
        return;
    }
    for (int i = 0; i < 6; ++i) {
        auto* radio = qobject_cast<QRadioButton*>(view->GetDlgItem(kModeRadios[i]));
        radio->setAutoExclusive(false); // lets -1 leave every radio clear
        radio->setChecked(i == value);
        radio->setAutoExclusive(true);
    }
}

bool CDravikView::DoDataExchange(bool bSaveAndValidate)
{
    if (!m_ctlGraph) {
        m_ctlGraph = qobject_cast<CGraphStatic*>(GetDlgItem(IDC_STATIC_GRAPH));
        m_spinWpm = qobject_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_SPIN_WPM));
        m_spinFreq = qobject_cast<CSpinButtonCtrl*>(GetDlgItem(IDC_SPIN_FREQ));
    }
    DDX_Radio(this, m_nMode, bSaveAndValidate);
    return DDX_Text(this, IDC_EDIT_FREQ, m_nFreq, bSaveAndValidate)
        && DDX_Text(this, IDC_EDIT_WPM, m_nWpm, bSaveAndValidate);
}

bool CDravikView::UpdateData(bool bSaveAndValidate) { return DoDataExchange(bSaveAndValidate); }

void CDravikView::OnInitialUpdate()
{
    UpdateData(false);
    emit ResizeParentToFit();
    m_editAnswer = qobject_cast<CCharEdit*>(GetDlgItem(IDC_EDIT_ANSWER));
    m_nMode = kLatinRandom1;
    m_spinFreq->SetRange(250, 1000);
    m_spinWpm->SetRange(5, 120);
    m_spinFreq->SetPos(m_nFreq);
    m_spinWpm->SetPos(m_nWpm);
    CSliderCtrl* slider = VolumeSlider();
    slider->SetRange(0, 100, false);
    slider->SetTic(10);
    slider->SetTic(50);
    slider->SetTic(90);
    slider->SetPos(80);
    m_nVolume = 100 - 80;
    UpdateData(false);
    m_editAnswer->setFocus();

    m_font = QFont();
    m_font.setFamilies({QStringLiteral("ＭＳ　ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                        QStringLiteral("IPAゴシック"), QStringLiteral("Monospace")});
    m_font.setPixelSize(16);
    m_font.setWeight(QFont::Normal);
    m_font.setFixedPitch(true);
    m_font.setStyleHint(QFont::TypeWriter);

    g_crBlack = 0x000000;
    g_crGreen = 0x008000;
    g_crRed = 0x0000FF;
    m_ctlResults->setFont(m_font);
    m_editAnswer->setFont(m_font);
    EvaluateButton()->setEnabled(false);
}

void CDravikView::OnVScroll(int, int, QWidget* pScrollBar)
{
    if (pScrollBar && pScrollBar == GetDlgItem(IDC_SLIDER_VOLUME))
        m_nVolume = 100 - VolumeSlider()->GetPos();
}

void CDravikView::ShowResults(bool bResults)
{
    m_ctlGraph->setVisible(!bResults);
    m_ctlResults->setVisible(bResults);
}

void CDravikView::ReleaseInputContext(HIMC himc)
{
    if (!ImmReleaseContext(m_editAnswer, himc))
        MessageBox(this, QStringLiteral("ImmReleaseContext Error"), QStringLiteral("Error"), MB_OK);
}

void CDravikView::SwitchInputMode()
{
    HIMC himc = ImmGetContext(m_editAnswer);
    if (!ImmGetOpenStatus(himc))
        ImmSetOpenStatus(himc, 1);
    ImmGetConversionStatus(himc, &m_dwSavedConversion, &m_dwSavedSentence);
    const uint32_t conversion = m_nMode < kWabunRandom1 ? IME_CMODE_ALPHANUMERIC : IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    ImmSetConversionStatus(himc, conversion, IME_SMODE_NONE);
    ReleaseInputContext(himc);
}

void CDravikView::RestoreInputMode()
{
    HIMC himc = ImmGetContext(m_editAnswer);
    ImmSetConversionStatus(himc, m_dwSavedConversion, m_dwSavedSentence);
    if (ImmGetOpenStatus(himc))
        ImmSetOpenStatus(himc, 0);
    ReleaseInputContext(himc);
}

void CDravikView::OnStart()
{
    if (m_bPlaying)
        return;
    // The previous test's last character may still be playing: end it now.
    ReleaseStream(true);

    m_strSent.clear();
    m_editAnswer->SetWindowText(QString());
    UpdateData(true);
    m_nFreq = ClampFreq(m_nFreq);
    m_nWpm = ClampWpm(m_nWpm);
    g_nGraphWpm = m_nWpm;
    m_nSentCount = 0;
    m_nDotMs = DotMsForWpm(m_nWpm);
    g_nCurBuf = 0;
    g_nGroupPos = 0;
    m_spinFreq->SetPos(m_nFreq);
    m_spinWpm->SetPos(m_nWpm);
    UpdateData(false);
    ApplyTrainingOptions(m_options, *this, &m_record);

    if (PrepareText(m_nFreq, m_nDotMs) == -2) {
        MessageBox(this, QStringLiteral("定型文ファイルがないよ"), QStringLiteral("警告！"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    m_editAnswer->setFocus();
    const bool bEvaluateWas = EvaluateButton()->isEnabled();
    EvaluateButton()->setEnabled(false);
    ResetStepRecords();
    m_ctlGraph->ClearGraph();
    m_ctlGraph->RemoveAllPoints();
    ShowResults(false);
    if (StartWave(WindowHandle(), m_nFreq, m_nDotMs) != 0) {
        // Without a device the test cannot run: say so and stay at rest.
        ShowResults(true);
        EvaluateButton()->setEnabled(bEvaluateWas);
        MessageBox(this,
                   QStringLiteral("音声出力デバイスを開けませんでした。\nサウンドの設定を確かめてから、もう一度ｽﾀｰﾄを押してください。"),
                   QStringLiteral("警告！"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_bPlaying = 1;
    SwitchInputMode();
    m_editAnswer->setFont(m_font);
}

void CDravikView::OnStop()
{
    if (m_bPlaying) {
        waveOutReset(g_hWaveOut);
        m_bPlaying = 0;
        m_editAnswer->setFocus();
        EvaluateButton()->setEnabled(true);
        RestoreInputMode();
        ShowResults(true);
    }
    ClosePhraseFile();
}

void CDravikView::OnDestroy()
{
    if (m_bPlaying) {
        m_bPlaying = 0;
        RestoreInputMode();
    }
    ClosePhraseFile();
    // The device is closed too, so that nothing plays on without the form.
    ReleaseStream(false);
}

void CDravikView::OnBufferWritten() { m_ctlGraph->AddWaveData(); }

void CDravikView::OnStreamClosed()
{
    EvaluateButton()->setEnabled(true);
    ShowResults(true);
}

bool CDravikView::SaveTestAsWave(const QString& path)
{
    // The form's settings as Start reads them, without changing the test
    // state that Evaluate still needs.
    const int mode = m_nMode, freq = m_nFreq, wpm = m_nWpm;
    UpdateData(true);
    CMorseEngine test;
    test.m_nMode = m_nMode;
    test.m_nFreq = ClampFreq(m_nFreq);
    test.m_nWpm = ClampWpm(m_nWpm);
    test.m_nDotMs = DotMsForWpm(test.m_nWpm);
    test.m_nVolume = m_nVolume;
    m_nMode = mode;
    m_nFreq = freq;
    m_nWpm = wpm;

    const QString caption = QStringLiteral("音声ﾌｧｲﾙに保存");
    QProgressDialog progress(QStringLiteral("音声ﾌｧｲﾙに保存しています..."), QStringLiteral("ｷｬﾝｾﾙ"), 0, 1000, this);
    progress.setWindowTitle(caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    const WaveExportResult r = ExportTestAsWave(test, m_options, path, [&](int permille) {
        progress.setValue(permille);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    switch (r.eStatus) {
    case WaveExportResult::Written:
        return true;
    case WaveExportResult::NoPhraseFile:
        MessageBox(this, QStringLiteral("定型文ファイルがないよ"), QStringLiteral("警告！"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    case WaveExportResult::Failed:
        MessageBox(this, QStringLiteral("保存できませんでした。\n%1").arg(r.strError), caption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    case WaveExportResult::Cancelled:
        return false;
    }
    return false;
}

void CDravikView::OnStreamFailed(bool bWasPlaying)
{
    if (bWasPlaying) {
        m_editAnswer->setFocus();
        RestoreInputMode();
    }
    EvaluateButton()->setEnabled(true);
    ShowResults(true);
    ClosePhraseFile();
    MessageBox(this,
               QStringLiteral("音声出力が止まったため、テストを終了しました。\n"
                              "サウンドの設定を確かめてから、もう一度ｽﾀｰﾄを押してください。"),
               QStringLiteral("警告！"), MB_OK | MB_ICONEXCLAMATION);
}

void CDravikView::AppendResultText(const std::string& text, COLORREF cr) { AppendResultRuns({{text, cr}}); }

void CDravikView::AppendResultRuns(const std::vector<ResultRun>& runs)
{
    QTextDocument* doc = m_ctlResults->document();
    const int before = doc->blockCount();
    QScrollBar* bar = m_ctlResults->verticalScrollBar();
    const bool bAtEnd = bar->value() >= bar->maximum();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    // One edit block: the document is laid out once, not once per run.
    cursor.beginEditBlock();
    for (const ResultRun& run : runs) {
        QTextCharFormat format = cursor.charFormat();
        format.setForeground(ColorFromRef(run.cr));
        QString shown = Cp932ToQString(run.text);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
        cursor.insertText(shown, format);
    }
    cursor.endEditBlock();
    const int after = doc->blockCount();
    // Scroll by the lines added. A box that showed its end still shows it,
    // also once the oldest lines give way at the limit.
    if (bAtEnd) {
        bar->setValue(bar->maximum());
    } else {
        const qreal line = doc->documentLayout()->blockBoundingRect(doc->lastBlock()).height();
        bar->setValue(bar->value() + qRound((after - before) * line));
    }
}

void CDravikView::AddToRecord(const std::string& typed, int nPositionPercent)
{
    TestRecord test;
    test.nMode = m_nMode;
    test.nWpm = m_nWpm;
    test.nPositionPercent = nPositionPercent;
    test.align = AlignCopy(m_strSent, typed);
    int chars = 0;
    for (unsigned char c : m_strSent)
        chars += *MorsePattern(c) != '\0' ? 1 : 0;
    test.speed = SpeedOfTest(m_llSentSamples, m_nDotMs, chars);
    m_record.Add(test, m_strSent, typed);
    emit RecordChanged();
}

void CDravikView::OnEvaluate()
{
    m_editAnswer->CommitPending();
    const std::string typed = FoldTypedLineBreaks(m_editAnswer->GetWindowTextBytes());
    const CopyScore score = ScoreCopy(m_strSent, typed);

    AppendResultText("\n", g_crBlack);
    AppendResultText(m_strSent, g_crGreen);
    AppendResultText("\n", g_crBlack);
    const QString caption = QStringLiteral("評価");
    if (score.nSent == 0) {
        AppendResultText("\n", g_crBlack);
        MessageBox(this, QStringLiteral("スタートボタンを押してテストしてからね！"), caption, MB_OK | MB_ICONINFORMATION);
    } else if (score.nTyped == 0) {
        AddToRecord(typed, score.nPercent);
        MessageBox(this, QStringLiteral("信号を聞いたらキーボードで文字を入力してね！"), caption, MB_OK | MB_ICONINFORMATION);
        AppendResultText("\n", g_crBlack);
    } else {
        // Each typed byte stands under the sent byte it was compared with;
        // a double-byte character is shown whole, red if either byte is wrong.
        // Units of one colour go in as one run.
        const int compared = static_cast<int>(score.abMatch.size());
        std::vector<ResultRun> runs;
        int i = 0;
        for (int len : DisplayUnits(typed, compared)) {
            bool right = true;
            for (int k = 0; k < len; ++k)
                right = right && score.abMatch[size_t(i + k)];
            const COLORREF cr = right ? g_crBlack : g_crRed;
            if (runs.empty() || runs.back().cr != cr)
                runs.push_back({std::string(), cr});
            runs.back().text.append(typed, size_t(i), size_t(len));
            i += len;
        }
        AppendResultRuns(runs);
        AddToRecord(typed, score.nPercent);
        MessageBox(this, QString::fromStdString(FormatVerdict(score.nPercent)), caption, MB_OK | MB_ICONINFORMATION);
        AppendResultText("\n", g_crBlack);
    }
    m_editAnswer->SetWindowText(QString());
    EvaluateButton()->setEnabled(false);
}
