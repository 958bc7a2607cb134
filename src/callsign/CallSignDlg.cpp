// SPDX-License-Identifier: GPL-3.0-or-later
#include "callsign/CallSignDlg.h"
#include "drills/Apply.h"
#include "settings/Settings.h"
#include "scoring/CharStats.h"
#include "scoring/Scoring.h"
#include "winui/MessageBox.h"
#include "winui/Tables.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <random>

static const QString kCaption = QStringLiteral("ｺｰﾙｻｲﾝと単語");
// What a run may send, in the order of the kind box.
static const PracticeMode kKinds[] = {kLatinCallSigns, kLatinWords};
constexpr int kTopScores = 10;

CCallSignDlg::CCallSignDlg(int nFreq, int nWpm, int nVolume, const TrainingOptions& options, CHistory* pHistory,
                           QWidget* parent)
    : QDialog(parent), m_nFreq(nFreq), m_nVolume(nVolume), m_options(options), m_pHistory(pHistory), m_player(this)
{
    setWindowTitle(kCaption);
    setModal(true);
    m_player.onEnded = [this] { OnEnded(); };
    m_player.onFailed = [this] { OnFailed(); };

    m_pStartWpm = new QSpinBox(this);
    m_pStartWpm->setRange(5, 120);
    m_pStartWpm->setSuffix(QStringLiteral(" WPM"));
    m_pStartWpm->setValue(ClampWpm(nWpm));
    auto* speedLabel = new QLabel(QStringLiteral("始めの速度(&W)"), this);
    speedLabel->setBuddy(m_pStartWpm);
    m_pKind = new QComboBox(this);
    for (PracticeMode mode : kKinds)
        m_pKind->addItem(QString::fromUtf8(FindPracticeMode(mode)->pszName));
    connect(m_pKind, &QComboBox::currentIndexChanged, this, &CCallSignDlg::ShowTopScores);
    auto* kindLabel = new QLabel(QStringLiteral("種類(&K)"), this);
    kindLabel->setBuddy(m_pKind);
    m_pStart = new QPushButton(QStringLiteral("開始(&S)"), this);
    m_pStop = new QPushButton(QStringLiteral("停止(&T)"), this);
    m_pState = new QLabel(this);
    m_pAnswer = new QLineEdit(this);
    m_pAnswer->setMaxLength(16);
    m_pAnswer->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9/]*")), this));
    // Calls are written in capitals whatever the keyboard's state.
    connect(m_pAnswer, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int pos = m_pAnswer->cursorPosition();
        m_pAnswer->setText(text.toUpper());
        m_pAnswer->setCursorPosition(pos);
    });
    connect(m_pAnswer, &QLineEdit::returnPressed, this, &CCallSignDlg::OnAnswer);
    auto* answerLabel = new QLabel(QStringLiteral("答え(&A)"), this);
    answerLabel->setBuddy(m_pAnswer);
    m_pLast = new QLabel(this);
    m_pItems = ReadOnlyTable({QStringLiteral("送信"), QStringLiteral("答え"), QStringLiteral("速度"), QStringLiteral("結果")},
                     this);
    m_pTop = ReadOnlyTable({QStringLiteral("得点"), QStringLiteral("最高速度"), QStringLiteral("正解"), QStringLiteral("日時")},
                   this);

    auto* top = new QHBoxLayout;
    top->addWidget(kindLabel);
    top->addWidget(m_pKind);
    top->addWidget(speedLabel);
    top->addWidget(m_pStartWpm);
    top->addWidget(m_pStart);
    top->addWidget(m_pStop);
    top->addStretch(1);
    auto* answer = new QHBoxLayout;
    answer->addWidget(answerLabel);
    answer->addWidget(m_pAnswer, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pState);
    layout->addLayout(answer);
    layout->addWidget(m_pLast);
    layout->addWidget(m_pItems, 2);
    layout->addWidget(new QLabel(QStringLiteral("上位の得点"), this));
    layout->addWidget(m_pTop, 1);
    resize(560, 600);

    connect(m_pStart, &QPushButton::clicked, this, &CCallSignDlg::OnStart);
    connect(m_pStop, &QPushButton::clicked, this, &CCallSignDlg::OnStop);
    ShowState();
    ShowTopScores();
}

CCallSignDlg::~CCallSignDlg()
{
    // The window is going: its widgets hear nothing more.
    m_player.onEnded = nullptr;
    m_player.onFailed = nullptr;
    m_player.Stop();
}

void CCallSignDlg::OnStart()
{
    if (m_pRun && !m_pRun->Done())
        return;
    std::random_device device;
    m_pRun = std::make_unique<CItemRun>(Mode(), m_pStartWpm->value(), device());
    m_dSeconds = 0;
    m_pItems->setRowCount(0);
    m_pLast->clear();
    PlayCall();
}

void CCallSignDlg::PlayCall()
{
    m_pAnswer->clear();
    m_pAnswer->setReadOnly(false);
    m_bAnswered = false;
    m_player.SetSettings({m_pRun->Mode(), m_nFreq, m_pRun->Wpm(), m_nVolume});
    // A call keeps its character speed: no effective speed.
    TrainingOptions o = m_options;
    o.nEffectiveWpm = 0;
    ApplyTrainingOptions(o, m_player);
    if (!m_player.Play(m_pRun->Call())) {
        OnFailed();
        return;
    }
    m_bPlaying = true;
    ShowState();
    m_pAnswer->setFocus();
}

void CCallSignDlg::OnEnded()
{
    m_bPlaying = false;
    m_dSeconds += m_player.HeardSeconds();
    if (m_player.WasStopped() || !m_pRun)
        return;
    if (m_bAnswered)
        TakeAnswer();
    else
        ShowState();
}

void CCallSignDlg::OnFailed()
{
    m_bPlaying = false;
    m_pRun.reset();
    ShowState();
    MessageBox(this, CTextTest::NoDeviceText(), kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CCallSignDlg::OnAnswer()
{
    if (!m_pRun || m_pRun->Done())
        return;
    // What was in the box at Enter is the answer; nothing typed after it
    // counts, and the box waits for the next call.
    m_bAnswered = true;
    m_strAnswer = m_pAnswer->text().toStdString();
    m_pAnswer->setReadOnly(true);
    if (!m_bPlaying)
        TakeAnswer();
}

void CCallSignDlg::TakeAnswer()
{
    const std::string call = m_pRun->Call();
    const int wpm = m_pRun->Wpm();
    const bool right = m_pRun->Answer(m_strAnswer);
    const QString answer = QString::fromStdString(m_pRun->Items().back().strAnswer);
    const QString sent = QString::fromStdString(call);
    AppendRow(m_pItems, {sent, answer, QString::number(wpm), right ? QStringLiteral("○") : QStringLiteral("×")});
    m_pItems->scrollToBottom();
    m_pLast->setText(right ? QStringLiteral("○ %1").arg(sent) : QStringLiteral("× %1 → 正しくは %2").arg(answer, sent));
    m_pLast->setStyleSheet(right ? QStringLiteral("color: #008000") : QStringLiteral("color: #c00000"));
    if (m_pRun->Done())
        Finish(false);
    else
        PlayCall();
}

void CCallSignDlg::OnStop()
{
    if (!m_pRun || m_pRun->Done())
        return;
    m_player.Stop();
    Finish(true);
}

void CCallSignDlg::Finish(bool bStopped)
{
    if (!m_pRun->Items().empty()) {
        HistoryTest t = m_pRun->Record(bStopped, m_dSeconds);
        // A run whose calls were said kept so, as a test's options are.
        if (m_options.Clamped().nVoice != int(VoiceUnit::Off))
            for (SettingId id : {kSetVoice, kSetVoiceIcao, kSetVoiceBeforeMs, kSetVoiceAfterMs})
                t.strOptions += QLatin1Char('\n') + SettingLine(m_options, id);
        t.strRun = m_strRun;
        t.nFreq = m_player.Freq();
        t.nVolume = m_nVolume;
        if (m_pHistory && m_pHistory->IsOpen()) {
            const Alignment a = t.Counts();
            if (!m_pHistory->Add(t, CharStatsOf(a, t.strSent, t.strTyped)))
                MessageBox(this, QStringLiteral("成績を履歴に記録できませんでした。\n%1").arg(m_pHistory->Error()),
                           kCaption, MB_OK | MB_ICONEXCLAMATION);
        } else {
            m_ownRuns.push_back(t);
        }
    }
    if (!bStopped)
        m_pLast->setText(QStringLiteral("終了: 得点 %1、最高速度 %2 WPM").arg(m_pRun->Score()).arg(m_pRun->TopWpm()));
    m_pRun.reset();
    ShowState();
    ShowTopScores();
}

QString CCallSignDlg::StateText() const
{
    if (!m_pRun)
        return QStringLiteral("開始を押すと、ひとつずつ送ります。聞こえたとおりに入れて Enter を押してください。");
    return QStringLiteral("問題 %1/%2　速度 %3 WPM　得点 %4")
        .arg(m_pRun->Items().size() + 1)
        .arg(CItemRun::kItems)
        .arg(m_pRun->Wpm())
        .arg(m_pRun->Score());
}

void CCallSignDlg::ShowState()
{
    const bool running = m_pRun != nullptr;
    m_pStart->setEnabled(!running);
    m_pStop->setEnabled(running);
    m_pStartWpm->setEnabled(!running);
    m_pKind->setEnabled(!running);
    m_pAnswer->setEnabled(running);
    m_pState->setText(StateText());
}

void CCallSignDlg::ShowTopScores()
{
    std::vector<HistoryTest> runs = m_ownRuns;
    if (m_pHistory && m_pHistory->IsOpen())
        runs = m_pHistory->Tests({}, Mode());
    m_pTop->setRowCount(0);
    for (const HistoryTest& t : TopRuns(runs, Mode(), kTopScores)) {
        AppendRow(m_pTop, {QString::number(RunScore(t)),
                           QStringLiteral("%1 WPM").arg(RunValue(t, QLatin1String("TopWpm"))),
                           QStringLiteral("%1 %").arg(qRound(t.Accuracy())),
                           t.when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))});
    }
}

int CCallSignDlg::Mode() const { return kKinds[std::max(0, m_pKind->currentIndex())]; }

void CCallSignDlg::SetMode(int nMode)
{
    for (int i = 0; i < int(std::size(kKinds)); ++i)
        if (kKinds[i] == nMode)
            m_pKind->setCurrentIndex(i);
}

void CCallSignDlg::reject()
{
    OnStop();
    QDialog::reject();
}
