// SPDX-License-Identifier: GPL-3.0-or-later
#include "copytest/DravikView.h"
#include "drills/Apply.h"
#include "copytest/CharEdit.h"
#include "display/GraphStatic.h"
#include "engine/ToneBuffers.h"
#include "res/Menus.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "text/Cp932.h"
#include "drills/WaveExport.h"
#include "winui/Contrast.h"
#include "winui/MessageBox.h"
#include "winui/SpinButton.h"
#include "winui/TickSlider.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <map>
#include <random>

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
    // The handlers are the copy test's, which is no QObject.
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDC_BUTTON_START)), &QPushButton::clicked, this, [this] { OnStart(); });
    connect(qobject_cast<QPushButton*>(GetDlgItem(IDC_BUTTON_STOP)), &QPushButton::clicked, this, [this] { OnStop(); });
    connect(EvaluateButton(), &QPushButton::clicked, this, [this] { OnEvaluate(); });
    connect(qobject_cast<CCharEdit*>(GetDlgItem(IDC_EDIT_ANSWER)), &CCharEdit::PasteCut, this, [this](int nKept) {
        MessageBox(this,
                   QStringLiteral("貼り付ける文字が多すぎるため、入る %1 文字までにしました。\n(解答欄には %2 文字まで入ります)")
                       .arg(nKept)
                       .arg(CCharEdit::kMaxChars),
                   QString::fromUtf8(g_pszAppTitle), MB_OK | MB_ICONINFORMATION);
    });
    // The buttons' keys, from the accelerator table, in their tooltips.
    const std::pair<int, int> keyed[] = {{IDC_BUTTON_START, ID_TEST_START}, {IDC_BUTTON_STOP, ID_TEST_STOP},
                                         {IDC_BUTTON_EVALUATE, ID_TEST_EVALUATE}};
    for (const auto& [button, command] : keyed)
        for (const AccelDef& accel : g_accelerators)
            if (accel.nId == command) {
                auto* b = qobject_cast<QPushButton*>(GetDlgItem(button));
                b->setToolTip(b->text() + QStringLiteral(" (%1)").arg(QKeySequence(accel.key).toString()));
            }
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
    TestSettings form = Settings();
    DDX_Radio(this, form.nMode, bSaveAndValidate);
    const bool bOk = DDX_Text(this, IDC_EDIT_FREQ, form.nFreq, bSaveAndValidate)
        && DDX_Text(this, IDC_EDIT_WPM, form.nWpm, bSaveAndValidate);
    // What was exchanged before a box that holds no whole number is kept.
    if (bSaveAndValidate)
        SetFormValues(form);
    return bOk;
}

bool CDravikView::UpdateData(bool bSaveAndValidate) { return DoDataExchange(bSaveAndValidate); }

int CDravikView::WpmShown() const
{
    bool ok = false;
    const int wpm = qobject_cast<QLineEdit*>(GetDlgItem(IDC_EDIT_WPM))->text().trimmed().toInt(&ok);
    return ClampWpm(ok ? wpm : Wpm());
}

void CDravikView::PressButton(int nId)
{
    auto* button = qobject_cast<QPushButton*>(GetDlgItem(nId));
    if (button && button->isEnabled())
        button->click();
}

void CDravikView::OnInitialUpdate()
{
    UpdateData(false);
    emit ResizeParentToFit();
    m_editAnswer = qobject_cast<CCharEdit*>(GetDlgItem(IDC_EDIT_ANSWER));
    SetFormValues({kLatinRandom1, Freq(), Wpm(), Volume()});
    m_spinFreq->SetRange(250, 1000);
    m_spinWpm->SetRange(5, 120);
    m_spinFreq->SetPos(Freq());
    m_spinWpm->SetPos(Wpm());
    CSliderCtrl* slider = VolumeSlider();
    slider->SetRange(0, 100, false);
    slider->SetTic(10);
    slider->SetTic(50);
    slider->SetTic(90);
    slider->SetPos(80);
    SetVolume(100 - 80);
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
        SetVolume(100 - VolumeSlider()->GetPos());
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
    const uint32_t conversion = !IsWabunMode(Mode()) ? IME_CMODE_ALPHANUMERIC : IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    ImmSetConversionStatus(himc, conversion, IME_SMODE_NONE);
    ReleaseInputContext(himc);
    m_editAnswer->SetKanaToggle(IsWabunMode(Mode()));
    m_editAnswer->setFont(m_font);
}

void CDravikView::RestoreInputMode()
{
    HIMC himc = ImmGetContext(m_editAnswer);
    ImmSetConversionStatus(himc, m_dwSavedConversion, m_dwSavedSentence);
    m_editAnswer->SetKanaToggle(false);
    if (ImmGetOpenStatus(himc))
        ImmSetOpenStatus(himc, 0);
    ReleaseInputContext(himc);
}

void CDravikView::ShowClampedSettings()
{
    m_spinFreq->SetPos(Freq());
    m_spinWpm->SetPos(Wpm());
}

std::string CDravikView::TakeTyped()
{
    m_editAnswer->CommitPending();
    return m_editAnswer->GetWindowTextBytes();
}

void CDravikView::ClearAnswer() { m_editAnswer->SetWindowText(QString()); }

void CDravikView::FocusAnswer() { m_editAnswer->setFocus(); }

void CDravikView::EnableEvaluate(bool bEnable) { EvaluateButton()->setEnabled(bEnable); }

bool CDravikView::IsEvaluateEnabled() const { return EvaluateButton()->isEnabled(); }

void CDravikView::ClearGraph()
{
    g_nGraphWpm = Wpm();
    ResetSteps();
    m_ctlGraph->ClearGraph();
    m_ctlGraph->RemoveAllPoints();
}

void CDravikView::ShowBox(const QString& text, const QString& caption, unsigned style)
{
    MessageBox(this, text, caption, style);
}

void CDravikView::OnBufferWritten() { m_ctlGraph->AddWaveData(); }

bool CDravikView::SaveTestAsWave(const QString& path, const SoundExport& what)
{
    CMorseEngine test;
    test.SetSettings(FormSettings());
    test.SetFixedText(PhraseTextFor(m_options, test.Mode(), std::random_device{}()));
    const QString caption = QStringLiteral("音声ﾌｧｲﾙに保存");
    if (test.Volume() == 0
        && MessageBox(this, QStringLiteral("音量が 0 なので、音の入らないﾌｧｲﾙになります。\nこのまま保存しますか？"),
                      caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return false;
    // The sound file's name was confirmed in the dialog; the text beside it
    // is a second file the user has not seen.
    const QString textPath = TextPathFor(path);
    if (QFileInfo::exists(textPath) && !IsSameFile(textPath, QFile::decodeName(QByteArray::fromStdString(g_strPhraseFile)))
        && MessageBox(this,
                      QStringLiteral("送信した文字を書く %1 はすでにあります。\n上書きしますか？")
                          .arg(QDir::toNativeSeparators(textPath)),
                      caption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return false;

    QProgressDialog progress(QStringLiteral("音声ﾌｧｲﾙに保存しています..."), QStringLiteral("ｷｬﾝｾﾙ"), 0, 1000, this);
    progress.setWindowTitle(caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    const WaveExportResult r = ExportSound(test, m_options, path, what, [&](int permille) {
        progress.setValue(permille);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    switch (r.eStatus) {
    case WaveExportResult::Written:
        return true;
    case WaveExportResult::NoPhraseFile:
        MessageBox(this, NoPhraseFileText(), WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    case WaveExportResult::PhraseFileInUse:
        MessageBox(this,
                   QStringLiteral("使用中の定型文ﾌｧｲﾙには書き込めません。\n別の名前で保存してください。"), caption,
                   MB_OK | MB_ICONEXCLAMATION);
        return false;
    case WaveExportResult::Failed:
        MessageBox(this, QStringLiteral("保存できませんでした。\n%1").arg(r.strError), caption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    case WaveExportResult::Cancelled:
        return false;
    }
    return false;
}

void CDravikView::AppendResultRuns(const std::vector<ResultRun>& runs)
{
    const QColor base = m_ctlResults->palette().color(QPalette::Base);
    std::map<COLORREF, QColor> shownColor; // a handful of colours, however many runs
    for (const ResultRun& run : runs) {
        QString shown = Cp932ToQString(run.text);
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
        auto color = shownColor.find(run.cr);
        if (color == shownColor.end())
            color = shownColor.emplace(run.cr, ReadableOn(ColorFromRef(run.cr), base)).first;
        // Long texts go in a piece at a time, so that the window is never
        // held for long by their layout.
        for (qsizetype at = 0; at < shown.size(); at += kResultsPiece)
            m_resultsQueue.push_back({shown.mid(at, kResultsPiece), color->second});
    }
    if (!m_bDrainingResults)
        DrainResults();
}

void CDravikView::DrainResults()
{
    QTextDocument* doc = m_ctlResults->document();
    const int before = doc->blockCount();
    QScrollBar* bar = m_ctlResults->verticalScrollBar();
    const bool bAtEnd = bar->value() >= bar->maximum();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    // One edit block: the document is laid out once, not once per run.
    cursor.beginEditBlock();
    for (qsizetype taken = 0; !m_resultsQueue.empty() && taken < kResultsPiece;) {
        QTextCharFormat format = cursor.charFormat();
        format.setForeground(m_resultsQueue.front().color);
        cursor.insertText(m_resultsQueue.front().text, format);
        taken += m_resultsQueue.front().text.size();
        m_resultsQueue.pop_front();
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
    m_bDrainingResults = !m_resultsQueue.empty();
    if (m_bDrainingResults)
        QTimer::singleShot(0, this, &CDravikView::DrainResults);
}
