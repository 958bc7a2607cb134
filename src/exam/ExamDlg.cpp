// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/ExamDlg.h"
#include "copytest/CharEdit.h"
#include "engine/PracticeText.h"
#include "engine/ToneBuffers.h"
#include "text/Cp932.h"
#include "drills/Conditions.h"
#include "exam/AnswerSheet.h"
#include "drills/Readiness.h"
#include "winui/Contrast.h"
#include "winui/FileDialog.h"
#include "winui/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <random>

static QString Utf8(const char* text) { return QString::fromUtf8(text); }
static const QString kCaption = QStringLiteral("電気通信術の試験");
static const ExamPart kParts[] = {ExamPart::Wabun, ExamPart::LatinCode, ExamPart::LatinPlain};
static int s_nSittingPauseMs = 10000;

void CExamDlg::SetSittingPause(int ms) { s_nSittingPauseMs = std::max(ms, 0); }

CExamDlg::CExamDlg(int nFreq, int nVolume, const TrainingOptions& options, CHistory* pHistory, QWidget* parent)
    : QDialog(parent), m_nFreq(nFreq), m_nVolume(nVolume), m_options(options), m_pHistory(pHistory), m_partTest(this)
{
    setWindowTitle(kCaption);
    setModal(true);
    m_partTest.onEnded = [this] { OnEnded(); };
    m_partTest.onFailed = [this] { OnFailed(); };

    m_pLicence = new QComboBox(this);
    for (const ExamLicence& l : ExamLicences())
        m_pLicence->addItem(Utf8(l.pszName));
    m_pPart = new QComboBox(this);
    m_pSpeed = new QSpinBox(this);
    m_pSpeed->setRange(20, 150);
    m_pSpeed->setSuffix(QStringLiteral(" 字/分"));
    m_pMinutes = new QSpinBox(this);
    m_pMinutes->setRange(1, 10);
    m_pMinutes->setSuffix(QStringLiteral(" 分"));
    m_pFile = new QPushButton(QStringLiteral("文ﾌｧｲﾙ(&F)..."), this);
    m_pTextSource = new QLabel(this);
    m_pTelegram = new QCheckBox(QStringLiteral("和文を電報形式で送る(&W)"), this);
    m_pTelegram->setToolTip(QStringLiteral("字数・発信局・番号・受付時刻(略体の数字)・あて名の後に本文を送り、"
                                           "本文の60字ごとに ..--.. と約5秒の間をおきます"));
    m_pTelegram->setChecked(true);

    // A label's mnemonic moves to the control after it.
    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto* grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("資格(&L)"), m_pLicence), 0, 0);
    grid->addWidget(m_pLicence, 0, 1, 1, 3);
    grid->addWidget(label(QStringLiteral("種目(&P)"), m_pPart), 1, 0);
    grid->addWidget(m_pPart, 1, 1);
    grid->addWidget(m_pSpeed, 1, 2);
    grid->addWidget(m_pMinutes, 1, 3);
    grid->addWidget(m_pFile, 2, 0);
    grid->addWidget(m_pTextSource, 2, 1, 1, 3);
    grid->addWidget(m_pTelegram, 3, 1, 1, 3);

    m_pStart = new QPushButton(QStringLiteral("開始(&S)"), this);
    m_pStop = new QPushButton(QStringLiteral("停止(&T)"), this);
    m_pGrade = new QPushButton(QStringLiteral("採点(&G)"), this);
    m_pSitting = new QPushButton(QStringLiteral("通しで受ける(&U)"), this);
    m_pSitting->setToolTip(QStringLiteral("資格の種目を順に続けて送り、それぞれ終わったときに採点します"));
    m_pState = new QLabel(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pStart);
    buttons->addWidget(m_pStop);
    buttons->addWidget(m_pGrade);
    buttons->addWidget(m_pSitting);
    buttons->addWidget(m_pState, 1);

    m_pAnswer = new CCharEdit(this);
    m_pAnswer->setMinimumHeight(80);
    m_pUseSheet = new QCheckBox(QStringLiteral("ﾏｽ目の解答用紙に書く(&M)"), this);
    m_pUseSheet->setToolTip(QStringLiteral("1ﾏｽに1字。空白を打つとﾏｽを空けます (聞き取れなかった字)。"
                                           "字を落とすとその後のﾏｽがずれます (ﾏｽずれ)"));
    m_pSheet = new CAnswerSheet;
    m_pSheetArea = new QScrollArea(this);
    m_pSheetArea->setWidget(m_pSheet);
    // A whole column of 和文 without scrolling down.
    m_pSheetArea->setMinimumHeight(m_pSheet->ColumnHeight() + 24);
    m_pSheetArea->hide();
    m_pMarked = new QTextEdit(this);
    m_pMarked->setReadOnly(true);
    m_pMarked->setMinimumHeight(90);
    m_pScore = new QLabel(this);
    m_pSummary = new QTableWidget(0, 4, this);
    m_pSummary->setHorizontalHeaderLabels(
        {QStringLiteral("種目"), QStringLiteral("速さ"), QStringLiteral("時間"), QStringLiteral("得点")});
    m_pSummary->verticalHeader()->hide();
    m_pSummary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pSummary->horizontalHeader()->setStretchLastSection(true);
    m_pSummary->verticalHeader()->setDefaultSectionSize(m_pSummary->fontMetrics().height() + 8);
    m_pSummary->setFixedHeight(m_pSummary->horizontalHeader()->sizeHint().height()
                               + 3 * m_pSummary->verticalHeader()->defaultSectionSize() + 4);
    m_pVerdict = new QLabel(this);
    m_pVerdict->setWordWrap(true);
    m_pReadiness = new QLabel(this);
    m_pReadiness->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(label(QStringLiteral("聞こえた文字を入力してください(&A)"), m_pAnswer));
    layout->addWidget(m_pAnswer);
    layout->addWidget(m_pUseSheet);
    layout->addWidget(m_pSheetArea, 1);
    layout->addWidget(new QLabel(QStringLiteral("送信した文 (赤: 誤字、青: 脱字)"), this));
    layout->addWidget(m_pMarked);
    layout->addWidget(m_pScore);
    layout->addWidget(m_pSummary);
    layout->addWidget(m_pVerdict);
    layout->addWidget(m_pReadiness);
    resize(560, 620);

    connect(m_pLicence, &QComboBox::currentIndexChanged, this, &CExamDlg::OnLicenceChanged);
    connect(m_pPart, &QComboBox::currentIndexChanged, this, &CExamDlg::OnPartChanged);
    connect(m_pFile, &QPushButton::clicked, this, &CExamDlg::OnChooseFile);
    connect(m_pSpeed, &QSpinBox::valueChanged, this, &CExamDlg::ShowState);
    connect(m_pMinutes, &QSpinBox::valueChanged, this, &CExamDlg::ShowState);
    connect(m_pStart, &QPushButton::clicked, this, &CExamDlg::OnStart);
    connect(m_pStop, &QPushButton::clicked, this, &CExamDlg::OnStop);
    connect(&m_clock, &QTimer::timeout, this, &CExamDlg::ShowState);
    connect(m_pGrade, &QPushButton::clicked, this, &CExamDlg::OnGrade);
    connect(m_pSitting, &QPushButton::clicked, this, &CExamDlg::OnSitting);
    connect(m_pUseSheet, &QCheckBox::toggled, this, &CExamDlg::OnSheetToggled);
    connect(m_pAnswer, &QPlainTextEdit::textChanged, this, &CExamDlg::OnAnswerChanged);
    m_sittingPause.setSingleShot(true);
    connect(&m_sittingPause, &QTimer::timeout, this, &CExamDlg::NextSittingPart);
    OnLicenceChanged();
}

CExamDlg::~CExamDlg() { m_partTest.Stop(); }

const ExamLicence& CExamDlg::Licence() const { return ExamLicences()[size_t(std::max(0, m_pLicence->currentIndex()))]; }

ExamPart CExamDlg::Part() const
{
    const auto& parts = Licence().parts;
    return parts[size_t(std::clamp(m_pPart->currentIndex(), 0, int(parts.size()) - 1))].ePart;
}

int CExamDlg::Score(ExamPart part) const
{
    const auto it = m_results.find(part);
    return it == m_results.end() ? -1 : it->second.nScore;
}

void CExamDlg::SetTextFont(const QFont& font)
{
    m_pAnswer->setFont(font);
    m_pMarked->setFont(font);
}

QString CExamDlg::VerdictText() const { return m_pVerdict->text(); }
QString CExamDlg::ReadinessShown() const { return m_pReadiness->text(); }
QString CExamDlg::StateText() const { return m_pState->text(); }
QString CExamDlg::MarkedHtml() const { return m_pMarked->toHtml(); }

void CExamDlg::Choose(const std::string& licenceKey, ExamPart part, int nCharsPerMin, int nMinutes)
{
    const std::vector<ExamLicence>& all = ExamLicences();
    for (size_t i = 0; i < all.size(); ++i)
        if (licenceKey == all[i].pszKey)
            m_pLicence->setCurrentIndex(int(i));
    const std::vector<ExamPartDef>& parts = Licence().parts;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i].ePart == part)
            m_pPart->setCurrentIndex(int(i));
    if (Licence().nPassTotal < 0 && nCharsPerMin > 0)
        m_pSpeed->setValue(nCharsPerMin);
    if (Licence().nPassTotal < 0 && nMinutes > 0)
        m_pMinutes->setValue(nMinutes);
    ShowState();
}

void CExamDlg::OnLicenceChanged()
{
    m_results.clear();
    const QSignalBlocker block(m_pPart);
    m_pPart->clear();
    for (const ExamPartDef& p : Licence().parts)
        m_pPart->addItem(Utf8(ExamPartName(p.ePart)));
    OnPartChanged();
    ShowSummary();
    ShowReadiness();
}

void CExamDlg::OnPartChanged()
{
    const ExamLicence& l = Licence();
    const ExamPartDef& def = l.parts[size_t(std::max(0, m_pPart->currentIndex()))];
    // A licence's parts are as the exam gives them; practice chooses.
    m_pSpeed->setValue(def.nCharsPerMin);
    m_pMinutes->setValue(def.nMinutes);
    ShowTextSource();
    // The answer and marks of another part go with it.
    m_pAnswer->clear();
    m_pMarked->clear();
    m_pScore->clear();
    m_bHeard = false;
    // Kana for Wabun, as the form's Wabun modes type.
    CInputContext& imc = m_pAnswer->InputContext();
    imc.bOpen = IsWabunPart(def.ePart) ? 1 : 0;
    imc.dwConversion = IsWabunPart(def.ePart) ? IME_CMODE_NATIVE | IME_CMODE_KATAKANA : IME_CMODE_ALPHANUMERIC;
    OnSheetToggled();
    ShowState();
}

void CExamDlg::UseSheet(bool bUse) { m_pUseSheet->setChecked(bUse); }

void CExamDlg::OnSheetToggled()
{
    // The box is the pen then, the sheet the paper: a line or two of it.
    const bool bSheet = m_pUseSheet->isChecked();
    if (bSheet == m_pSheetArea->isHidden()) {
        m_pSheetArea->setVisible(bSheet);
        m_pAnswer->setMaximumHeight(bSheet ? m_pAnswer->fontMetrics().height() * 2 + 16 : QWIDGETSIZE_MAX);
        m_pAnswer->setMinimumHeight(bSheet ? 0 : 80);
    }
    // A part's squares: its characters, and a few for what is added.
    m_pSheet->SetLayout(IsWabunPart(Part()), m_pSpeed->value() * m_pMinutes->value() + 20);
    OnAnswerChanged();
    // Once laid out, the first square in sight (和文's is at the right).
    QTimer::singleShot(0, this, &CExamDlg::OnAnswerChanged);
}

void CExamDlg::OnAnswerChanged()
{
    if (!m_pUseSheet->isChecked())
        return;
    m_pSheet->SetAnswer(m_pAnswer->GetWindowTextBytes());
    const QRect next = m_pSheet->NextSquare();
    m_pSheetArea->ensureVisible(next.center().x(), next.center().y(), next.width(), next.height());
}

void CExamDlg::OnChooseFile()
{
    const QString path = GetOpenFileName(this, {QStringLiteral("ﾃｷｽﾄ ﾌｧｲﾙ (*.txt)"), QStringLiteral("すべてのﾌｧｲﾙ (*.*)")},
                                         QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    // Only a regular file, opened without blocking: a FIFO would hold the
    // window until something wrote to it.
    errno = 0;
    FILE* pFile = OpenPhraseFile(QFile::encodeName(path).toStdString());
    QFile f;
    if (!pFile || !f.open(pFile, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        const QString why = errno ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("通常のﾌｧｲﾙではありません。");
        if (pFile)
            std::fclose(pFile);
        MessageBox(this, QStringLiteral("%1 を読めませんでした。\n%2").arg(path, why), kCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // A practice text, not a whole book: the first MiB is plenty.
    const QByteArray bytes = f.read(1 << 20);
    if (f.error() != QFileDevice::NoError) {
        MessageBox(this, QStringLiteral("%1 を読めませんでした。\n%2").arg(path, f.errorString()), kCaption,
                   MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<std::string> lines = KeyableLines(bytes.toStdString(), Part());
    if (lines.empty()) {
        MessageBox(this,
                   QStringLiteral("%1 には%2で送れる文字がありません。")
                       .arg(QFileInfo(path).fileName(), Utf8(ExamPartName(Part()))),
                   kCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // For this licence's part alone; the speed and length set stay.
    m_userLines[{Licence().pszKey, Part()}] = std::move(lines);
    ShowTextSource();
}

void CExamDlg::ShowTextSource()
{
    m_pTextSource->setText(m_userLines.count({Licence().pszKey, Part()}) ? QStringLiteral("自分の文ﾌｧｲﾙから")
                                                                          : QStringLiteral("Dravik の練習文から"));
}

void CExamDlg::OnStart()
{
    if (m_bPlaying)
        return;
    ExamPartSettings s;
    s.pLicence = &Licence();
    s.ePart = Part();
    s.nCharsPerMin = m_pSpeed->value();
    s.nMinutes = m_pMinutes->value();
    s.nFreq = m_nFreq;
    s.nVolume = m_nVolume;
    s.bTelegram = m_pTelegram->isChecked();
    const auto user = m_userLines.find({Licence().pszKey, s.ePart});
    const std::vector<std::string> lines = user != m_userLines.end() ? user->second : ExamLines(s.ePart);
    std::random_device device;
    m_pAnswer->clear();
    m_pMarked->clear();
    m_pScore->clear();
    OnSheetToggled();
    if (!m_partTest.Start(s, m_options, lines, device())) {
        OnFailed();
        return;
    }
    m_bPlaying = true;
    m_bHeard = true;
    m_sinceStart.start();
    m_clock.start(1000);
    m_pAnswer->setFocus();
    ShowState();
}

void CExamDlg::OnStop()
{
    if (m_sittingPause.isActive()) {
        m_sittingPause.stop();
        m_bSitting = false;
        ShowState();
    }
    if (m_bPlaying)
        m_partTest.Stop();
}

void CExamDlg::OnEnded()
{
    m_bPlaying = false;
    m_clock.stop();
    if (!m_bSitting) {
        ShowState();
        return;
    }
    // A stopped part ends the sitting; it is graded by hand, as any other.
    const bool bNext = !m_partTest.WasStopped() && m_pPart->currentIndex() + 1 < m_pPart->count();
    if (!m_partTest.WasStopped())
        OnGrade();
    m_bSitting = bNext;
    ShowState();
    if (bNext) {
        m_pState->setText(QStringLiteral("次の種目まで約%1秒").arg((s_nSittingPauseMs + 999) / 1000));
        m_sittingPause.start(s_nSittingPauseMs);
    }
}

void CExamDlg::OnSitting()
{
    if (m_bPlaying || m_bSitting || Licence().nPassTotal < 0)
        return;
    m_results.clear();
    ShowSummary();
    m_bSitting = true;
    StartSittingPart(0);
}

void CExamDlg::NextSittingPart()
{
    if (m_bSitting)
        StartSittingPart(m_pPart->currentIndex() + 1);
}

void CExamDlg::StartSittingPart(int nIndex)
{
    // A part of its own: its answer, marks and input mode (OnPartChanged).
    m_pPart->setCurrentIndex(nIndex);
    OnStart();
    if (!m_bPlaying)
        m_bSitting = false; // no device: OnStart has said so
    ShowState();
}

void CExamDlg::OnFailed()
{
    m_bPlaying = false;
    m_clock.stop();
    ShowState();
    MessageBox(this, CTextTest::NoDeviceText(), kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CExamDlg::OnGrade()
{
    if (m_bPlaying || !m_bHeard)
        return;
    m_pAnswer->CommitPending();
    const std::string typed = m_pAnswer->GetWindowTextBytes();
    const std::string sent = m_partTest.GradedText();
    m_bHeard = false;
    if (ExamCharCount(sent) == 0) {
        // Stopped before the first character: nothing to grade or keep.
        m_pScore->setText(QStringLiteral("送信した文字がないので採点しません。"));
        ShowState();
        return;
    }
    const ExamGrade g = GradeExamPart(sent, typed);

    // The sent text with each error in its colour, readable on the
    // desktop's palette, dark ones too.
    const QColor base = m_pMarked->palette().color(QPalette::Base);
    const QString wrong = ReadableOn(QColor(0xC0, 0x00, 0x00), base).name();
    const QString missing = ReadableOn(QColor(0x00, 0x40, 0xC0), base).name();
    QString html;
    for (size_t i = 0; i < sent.size();) {
        // A double-byte character is one unit.
        const unsigned char c = static_cast<unsigned char>(sent[i]);
        const size_t len = IsCp932LeadByte(c) && i + 1 < sent.size() ? 2 : 1;
        const QString text = Cp932ToQString(sent.substr(i, len)).toHtmlEscaped();
        switch (g.marks[i]) {
        case 1: html += QStringLiteral("<span style=\"color:%1;font-weight:bold\">%2</span>").arg(wrong, text); break;
        case 2: html += QStringLiteral("<span style=\"color:%1;text-decoration:underline\">%2</span>").arg(missing, text); break;
        default: html += text == QLatin1String("\n") ? QStringLiteral("<br>") : text; break;
        }
        i += len;
    }
    m_pMarked->setHtml(html);
    const bool bStopped = m_partTest.WasStopped();
    // Extra characters are 誤字 too; they have no place on the sent text.
    m_pScore->setText(QStringLiteral("誤字 %1 字%2 (×3)、脱字 %3 字 (×1): %4 点%5")
                          .arg(g.nWrong)
                          .arg(g.align.nExtra ? QStringLiteral(" (うち余分な字 %1)").arg(g.align.nExtra) : QString())
                          .arg(g.nMissing)
                          .arg(g.nScore)
                          .arg(bStopped ? QStringLiteral(" (途中で止めたので、止めるまでに聞いた文字だけを採点しました)") : QString()));
    if (m_pUseSheet->isChecked()) {
        std::vector<SheetSquare> squares = SheetSquares(g, typed);
        const auto shifted = std::count_if(squares.begin(), squares.end(),
                                           [](const SheetSquare& q) { return q.eMark == SheetMark::Shifted; });
        m_pSheet->SetGraded(std::move(squares));
        if (shifted > 0)
            m_pScore->setText(m_pScore->text()
                              + QStringLiteral("\nﾏｽずれ %1 ﾏｽ (字は合っていますが、前の字を落としたか足したためにﾏｽがずれています)").arg(shifted));
    }
    m_results[Part()] = {g.nScore, m_partTest.PartSettings().nCharsPerMin, m_partTest.PartSettings().nMinutes, bStopped};
    if (m_options.bKeepHistory && m_pHistory && m_pHistory->IsOpen()) {
        HistoryTest t = m_partTest.Graded(g, typed, m_options);
        t.strRun = m_strRun;
        if (!m_pHistory->Add(t, CharStatsOf(g.align, g.strSentChars, g.strTypedChars)))
            MessageBox(this, QStringLiteral("成績を履歴に記録できませんでした。\n%1").arg(m_pHistory->Error()), kCaption,
                       MB_OK | MB_ICONEXCLAMATION);
    }
    ShowSummary();
    ShowReadiness();
    ShowState();
}

void CExamDlg::ShowState()
{
    const bool bBusy = m_bPlaying || m_bSitting;
    const bool bPractice = Licence().nPassTotal < 0;
    m_pStart->setEnabled(!bBusy);
    m_pStop->setEnabled(m_bPlaying || m_sittingPause.isActive());
    m_pGrade->setEnabled(!bBusy && m_bHeard);
    m_pSitting->setEnabled(!bBusy && !bPractice);
    m_pLicence->setEnabled(!bBusy);
    m_pPart->setEnabled(!bBusy);
    m_pFile->setEnabled(!bBusy);
    m_pTelegram->setEnabled(!bBusy && IsWabunPart(Part()));
    m_pSpeed->setEnabled(!m_bPlaying && bPractice);
    m_pMinutes->setEnabled(!m_bPlaying && bPractice);
    if (m_bPlaying) {
        // The start pause, then the part's own length.
        const int left = std::max(0, int(std::ceil(StartPauseMs() / 1000.0 + m_partTest.KeyedSeconds()
                                                   - double(m_sinceStart.elapsed()) / 1000.0)));
        m_pState->setText(QStringLiteral("送信中 (1分間%1字)、残り約 %2:%3")
                              .arg(m_pSpeed->value())
                              .arg(left / 60)
                              .arg(left % 60, 2, 10, QLatin1Char('0')));
    }
    else if (m_bHeard)
        m_pState->setText(QStringLiteral("入力を終えたら採点してください"));
    else
        m_pState->setText(QStringLiteral("1分間%1字の速さで約%2分間送ります").arg(m_pSpeed->value()).arg(m_pMinutes->value()));
}

void CExamDlg::ShowSummary()
{
    const ExamLicence& l = Licence();
    m_pSummary->setRowCount(int(l.parts.size()));
    std::vector<int> scores;
    bool bAnyStopped = false;
    for (int row = 0; row < int(l.parts.size()); ++row) {
        ExamPartDef p = l.parts[size_t(row)];
        const int score = Score(p.ePart);
        const bool bStopped = score >= 0 && m_results[p.ePart].bStopped;
        bAnyStopped = bAnyStopped || bStopped;
        if (score >= 0) {
            if (!bStopped)
                scores.push_back(score);
            // Practice shows the speed and length it was taken at.
            p.nCharsPerMin = m_results[p.ePart].nCharsPerMin;
            p.nMinutes = m_results[p.ePart].nMinutes;
        }
        const QString cells[] = {Utf8(ExamPartName(p.ePart)), QStringLiteral("%1 字/分").arg(p.nCharsPerMin),
                                 QStringLiteral("約%1分").arg(p.nMinutes),
                                 score < 0    ? QStringLiteral("-")
                                 : bStopped ? QStringLiteral("%1 点 (途中で止めた)").arg(score)
                                              : QStringLiteral("%1 点").arg(score)};
        for (int col = 0; col < 4; ++col)
            m_pSummary->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    if (l.nPassTotal < 0) {
        m_pVerdict->setText(QStringLiteral("練習では合否を出しません。"));
        return;
    }
    const QString rule = QStringLiteral("合格の基準: %1種目の合計 %2 点以上%3")
                             .arg(l.parts.size())
                             .arg(l.nPassTotal)
                             .arg(l.bRuleSourced ? QString() : QStringLiteral(" (公表された基準が見つからないため Dravik 独自の基準です)"));
    if (scores.size() < l.parts.size()) {
        m_pVerdict->setText(rule
                            + (bAnyStopped ? QStringLiteral("\n途中で止めた種目は合否に数えません。最後まで受けて採点すると合否を出します。")
                                           : QStringLiteral("\nすべての種目を採点すると合否を出します。")));
        return;
    }
    m_pVerdict->setText(rule + (ExamLicencePassed(l, scores) ? QStringLiteral("\n判定: 合格") : QStringLiteral("\n判定: 不合格")));
}

void CExamDlg::ShowReadiness()
{
    // From the history's mock parts of the licence, this window's too.
    const bool bHistory = m_pHistory && m_pHistory->IsOpen();
    m_pReadiness->setText(bHistory ? ReadinessOf(Licence(), ExamTests(*m_pHistory)) : QString());
    m_pReadiness->setVisible(!m_pReadiness->text().isEmpty());
}

void CExamDlg::reject()
{
    m_sittingPause.stop();
    m_bSitting = false;
    m_partTest.Stop();
    QDialog::reject();
}
