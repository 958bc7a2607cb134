// SPDX-License-Identifier: GPL-3.0-or-later
#include "chardrill/CharDrillDlg.h"
#include "audio/KeyedStream.h"
#include "drills/Apply.h"
#include "drills/Drills.h"
#include "scoring/Scoring.h"
#include "text/Cp932.h"
#include "winui/MessageBox.h"
#include "winui/Tables.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <random>

static const QString kCaption = QStringLiteral("一文字ずつ");
static const PracticeMode kKinds[] = {kLatinChars, kWabunChars};

// Every character of the air, in Koch order.
static std::vector<unsigned char> DrillOrder(int nMode)
{
    return nMode == kWabunChars ? KochOrder(true, 1) : KochOrder(false, kLatinProsigns);
}

static QString CharName(unsigned char ch) { return Cp932ToQString(ShowProsigns(std::string(1, char(ch)))); }

CCharDrillDlg::CCharDrillDlg(int nFreq, int nWpm, int nVolume, const TrainingOptions& options, CHistory* pHistory,
                             QWidget* parent)
    : QDialog(parent), m_nFreq(nFreq), m_nWpm(nWpm), m_nVolume(nVolume), m_options(options), m_pHistory(pHistory),
      m_player(this)
{
    setWindowTitle(kCaption);
    setModal(true);
    m_player.onEnded = [this] { OnEnded(); };
    m_player.onFailed = [this] { OnFailed(); };
    m_slow.setSingleShot(true);
    connect(&m_slow, &QTimer::timeout, this, &CCharDrillDlg::OnTimeout);
    m_next.setSingleShot(true);
    connect(&m_next, &QTimer::timeout, this, &CCharDrillDlg::NextChar);
    m_heard.setInterval(kHeardPollMs);
    connect(&m_heard, &QTimer::timeout, this, &CCharDrillDlg::JudgeOnceHeard);

    m_pKind = new QComboBox(this);
    for (PracticeMode mode : kKinds)
        m_pKind->addItem(QString::fromUtf8(FindPracticeMode(mode)->pszName));
    connect(m_pKind, &QComboBox::currentIndexChanged, this, &CCharDrillDlg::ShowProgress);
    auto* kindLabel = new QLabel(QStringLiteral("種類(&K)"), this);
    kindLabel->setBuddy(m_pKind);
    m_pStart = new QPushButton(QStringLiteral("開始(&S)"), this);
    m_pStop = new QPushButton(QStringLiteral("停止(&T)"), this);
    m_pCalibrate = new QPushButton(QStringLiteral("反応の速さを測る(&C)"), this);
    const auto spin = [this](int value, int lo, int hi, int step, const QString& suffix) {
        auto* s = new QSpinBox(this);
        s->setRange(lo, hi);
        s->setSingleStep(step);
        s->setSuffix(suffix);
        s->setValue(value);
        return s;
    };
    m_pPercent = spin(m_options.nLearnPercent, 50, 100, 5, QStringLiteral(" %"));
    m_pLearnMs = spin(m_options.nLearnMs, 100, 3000, 50, QStringLiteral(" ms"));
    m_pSlowMs = spin(m_options.nSlowMs, 300, 10000, 100, QStringLiteral(" ms"));
    for (QSpinBox* s : {m_pPercent, m_pLearnMs, m_pSlowMs})
        connect(s, &QSpinBox::valueChanged, this, [this] {
            m_options.nLearnPercent = m_pPercent->value();
            m_options.nLearnMs = m_pLearnMs->value();
            m_options.nSlowMs = m_pSlowMs->value();
            m_options.Save();
            ShowProgress();
        });
    m_pKanaLayout = new QCheckBox(QStringLiteral("かなキー配列で打つ(&J)"), this);
    m_pKanaLayout->setChecked(m_options.bKanaLayout);
    m_pKanaLayout->setFocusPolicy(Qt::NoFocus);
    connect(m_pKanaLayout, &QCheckBox::toggled, this, [this](bool on) {
        m_options.bKanaLayout = on;
        m_options.Save();
    });
    m_pBig = new QLabel(this);
    m_pBig->setAlignment(Qt::AlignCenter);
    QFont big = font();
    big.setPointSize(40);
    m_pBig->setFont(big);
    m_pBig->setMinimumHeight(90);
    m_pState = new QLabel(this);
    m_pState->setWordWrap(true);
    m_pLatency = new QLabel(this);
    m_pTable = ReadOnlyTable({QStringLiteral("文字"), QStringLiteral("回数"), QStringLiteral("正解率"),
                              QStringLiteral("反応(中央値)"), QStringLiteral("状態"), QStringLiteral("次の復習")},
                             this);
    m_pPlot = new CDrillPlot(this);
    m_pPlot->setMinimumHeight(120);

    auto* top = new QHBoxLayout;
    top->addWidget(kindLabel);
    top->addWidget(m_pKind);
    top->addWidget(m_pStart);
    top->addWidget(m_pStop);
    top->addWidget(m_pCalibrate);
    top->addWidget(m_pKanaLayout);
    top->addStretch(1);
    auto* rule = new QHBoxLayout;
    rule->addWidget(new QLabel(QStringLiteral("習得: 直近20回の正解率"), this));
    rule->addWidget(m_pPercent);
    rule->addWidget(new QLabel(QStringLiteral("反応の中央値"), this));
    rule->addWidget(m_pLearnMs);
    rule->addWidget(new QLabel(QStringLiteral("制限時間"), this));
    rule->addWidget(m_pSlowMs);
    rule->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(rule);
    layout->addWidget(m_pBig);
    layout->addWidget(m_pState);
    layout->addWidget(m_pLatency);
    layout->addWidget(m_pTable, 2);
    layout->addWidget(new QLabel(QStringLiteral("日ごとの習得文字数 (緑) と反応の中央値 (青)"), this));
    layout->addWidget(m_pPlot, 1);
    resize(640, 720);

    for (QPushButton* b : {m_pStart, m_pStop, m_pCalibrate})
        b->setFocusPolicy(Qt::NoFocus); // keys are answers
    m_pKind->setFocusPolicy(Qt::NoFocus);
    connect(m_pStart, &QPushButton::clicked, this, &CCharDrillDlg::OnStart);
    connect(m_pStop, &QPushButton::clicked, this, &CCharDrillDlg::OnStop);
    connect(m_pCalibrate, &QPushButton::clicked, this, &CCharDrillDlg::OnCalibrate);
    ShowState(StateText());
    ShowProgress();
}

CCharDrillDlg::~CCharDrillDlg()
{
    m_player.onEnded = nullptr;
    m_player.onFailed = nullptr;
    m_player.Stop();
}

int CCharDrillDlg::Mode() const { return kKinds[std::max(0, m_pKind->currentIndex())]; }

void CCharDrillDlg::SetMode(int nMode)
{
    for (int i = 0; i < int(std::size(kKinds)); ++i)
        if (kKinds[i] == nMode)
            m_pKind->setCurrentIndex(i);
}

double CCharDrillDlg::NowSeconds() const { return EpochSeconds(QDateTime::currentDateTimeUtc()); }

std::vector<HistoryAnswer> CCharDrillDlg::AllAnswers() const
{
    std::vector<HistoryAnswer> answers;
    if (m_pHistory && m_pHistory->IsOpen())
        answers = m_pHistory->Answers({}, Mode());
    else
        std::copy_if(m_ownAnswers.begin(), m_ownAnswers.end(), std::back_inserter(answers),
                     [this](const HistoryAnswer& a) { return a.nMode == Mode(); });
    return answers;
}

QString CCharDrillDlg::StateText() const
{
    if (m_eStep == Step::Idle)
        return QStringLiteral("開始を押すと、一文字ずつ送ります。聞こえた文字のキーを、文字が終わったらすぐに押してください"
                              " (和文はローマ字で。記号は @ ﾞ [ ﾟ - ｰ , ､ ] ｣ . ･、略符号は <AR> のように。"
                              "かなキー配列では数字をテンキーで)。");
    return {};
}

void CCharDrillDlg::ShowState(const QString& text, const QString& color)
{
    m_pState->setText(text);
    m_pState->setStyleSheet(color.isEmpty() ? QString() : QStringLiteral("color: %1").arg(color));
    const bool idle = m_eStep == Step::Idle;
    m_pStart->setEnabled(idle);
    m_pStop->setEnabled(!idle);
    m_pCalibrate->setEnabled(idle);
    m_pKind->setEnabled(idle);
    m_pKanaLayout->setEnabled(idle);
    // The rule a session's schedule was built with stays until it ends.
    for (QSpinBox* box : {m_pPercent, m_pLearnMs, m_pSlowMs})
        box->setEnabled(idle);
    m_pLatency->setText(m_options.nKeyLatencyMs > 0
                            ? QStringLiteral("キーを押す速さ %1 ms を差し引いています。").arg(m_options.nKeyLatencyMs)
                            : QStringLiteral("キーを押す速さはまだ測っていません (反応の速さを測る)。"));
}

void CCharDrillDlg::OnStart()
{
    if (m_eStep != Step::Idle)
        return;
    const LearnRule rule{m_options.nLearnPercent, m_options.nLearnMs};
    std::random_device device;
    m_pSchedule = std::make_unique<CCharSchedule>(DrillOrder(Mode()), rule, device());
    Replay(*m_pSchedule, AllAnswers());
    m_pKeys = std::make_unique<CKeyAnswer>(Mode() == kWabunChars, m_options.bKanaLayout);
    m_strSent.clear();
    m_strAnswers.clear();
    m_sessionCounts = {};
    m_sessionChars.clear();
    m_llSessionStartNs = SteadyNowNs();
    const int due = m_pSchedule->DueCount(NowSeconds());
    m_eStep = Step::Showing;
    ShowState(due > 0 ? QStringLiteral("復習の時期が来た文字が %1 あります。それから始めます。").arg(due) : QString());
    setFocus();
    NextChar();
}

void CCharDrillDlg::NextChar()
{
    if (!m_pSchedule || m_eStep == Step::Idle)
        return;
    const CCharSchedule::Pick pick = m_pSchedule->Next(NowSeconds());
    m_ch = pick.ch;
    if (pick.bNew) {
        m_eStep = Step::Intro;
        m_pBig->setText(CharName(m_ch));
        m_pBig->setStyleSheet(QStringLiteral("color: #000080"));
        ShowState(QStringLiteral("新しい文字です。%1 回聞いてください。").arg(kIntroPlays));
        Play(m_ch, kIntroPlays); // in one stream, a word gap apart
    } else {
        BeginAsking();
        Play(m_ch);
    }
}

void CCharDrillDlg::BeginAsking()
{
    m_eStep = Step::Asking;
    m_pBig->setText(QStringLiteral("?"));
    m_pBig->setStyleSheet({});
    m_strTyped.clear();
    m_llKeyNs = 0;
    m_pKeys->Clear();
}

void CCharDrillDlg::Play(unsigned char ch, int nTimes)
{
    m_bEnded = false;
    m_player.SetSettings({Mode(), m_nFreq, m_nWpm, m_nVolume});
    // Each character at its own speed, and any of the air's; the window
    // shows the answer itself, after the key is timed.
    TrainingOptions o = m_options;
    o.nEffectiveWpm = 0;
    o.nVoice = 0;
    o.nLatinSet = kLatinProsigns;
    o.nWabunSet = 1;
    ApplyTrainingOptions(o, m_player);
    // Kana come without the start signal; a text is keyed from two bytes
    // on, and the space after each character is silence.
    KeyingOptions keying = m_player.GetKeyingOptions();
    keying.bNoStartSignal = true;
    m_player.SetKeyingOptions(keying);
    std::string text;
    for (int i = 0; i < nTimes; ++i)
        text += std::string(1, char(ch)) + ' ';
    if (!m_player.Play(text)) {
        OnFailed();
        return;
    }
    m_bPlaying = true;
}

void CCharDrillDlg::OnEnded()
{
    m_bPlaying = false;
    if (m_player.WasStopped() || m_eStep == Step::Idle)
        return;
    ToneHeard heard;
    const bool known = m_player.Heard(heard);
    m_bEnded = true;
    m_llEndNs = known ? heard.llEndNs : SteadyNowNs();
    switch (m_eStep) {
    case Step::Intro:
        BeginAsking();
        ShowState(QStringLiteral("今の文字を打ってください。"));
        Play(m_ch);
        break;
    case Step::Asking:
        if (m_llKeyNs != 0) {
            Judge(m_strTyped, m_llKeyNs, false);
        } else {
            const long long leftMs = m_options.nSlowMs - (SteadyNowNs() - m_llEndNs) / 1000000;
            m_slow.start(int(std::max(0LL, leftMs)));
        }
        break;
    case Step::Showing:
        // A right answer judged before the close has its pause running.
        if (!m_next.isActive())
            m_next.start(kNextPauseMs);
        break;
    case Step::Calibrating:
        // A key is timed from the tone's start here.
        m_llToneStartNs = known ? heard.llStartNs : 0;
        if (m_llKeyNs != 0)
            TakeCalibration();
        else
            m_slow.start(kCalibrationWaitMs);
        break;
    case Step::Idle:
        break;
    }
}

void CCharDrillDlg::OnFailed()
{
    m_bPlaying = false;
    m_eStep = Step::Idle;
    m_slow.stop();
    m_next.stop();
    m_heard.stop();
    ShowState(StateText());
    MessageBox(this, CTextTest::NoDeviceText(), kCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CCharDrillDlg::keyPressEvent(QKeyEvent* event)
{
    const long long now = SteadyNowNs();
    const QString text = event->text();
    if (event->key() == Qt::Key_Escape || text.isEmpty() || m_eStep == Step::Idle) {
        QDialog::keyPressEvent(event);
        return;
    }
    for (QChar ch : text)
        OnKey(ch, now, event->modifiers().testFlag(Qt::KeypadModifier));
}

void CCharDrillDlg::OnKey(QChar ch, long long llNs, bool bKeypad)
{
    if (m_eStep == Step::Calibrating) {
        // A key before the tone is heard is no reaction to it.
        ToneHeard heard;
        const bool known = m_player.Heard(heard);
        if (known && heard.llStartNs > llNs)
            return;
        if ((m_bPlaying || m_bEnded) && m_llKeyNs == 0 && (known || m_bEnded)) {
            m_llKeyNs = llNs;
            if (m_bEnded)
                TakeCalibration();
        }
        return;
    }
    if (m_eStep != Step::Asking || m_llKeyNs != 0)
        return;
    const std::string answer = m_pKeys->Feed(ch, bKeypad);
    if (answer.empty()) {
        m_pBig->setText(m_pKeys->Pending().isEmpty() ? QStringLiteral("?") : m_pKeys->Pending());
        return;
    }
    m_strTyped = answer;
    m_llKeyNs = llNs;
    m_pBig->setText(Cp932ToQString(ShowProsigns(answer)));
    if (m_bEnded)
        Judge(m_strTyped, m_llKeyNs, false);
    else
        JudgeOnceHeard();
}

void CCharDrillDlg::JudgeOnceHeard()
{
    ToneHeard heard;
    if (m_eStep != Step::Asking || m_llKeyNs == 0) {
        m_heard.stop();
    } else if (m_player.Heard(heard) && heard.bComplete && SteadyNowNs() >= heard.llEndNs) {
        m_heard.stop();
        m_llEndNs = heard.llEndNs;
        Judge(m_strTyped, m_llKeyNs, false);
    } else if (!m_heard.isActive()) {
        m_heard.start();
    }
}

void CCharDrillDlg::OnTimeout()
{
    if (m_eStep == Step::Calibrating)
        CalibrationTone(); // no key for this tone
    else if (m_eStep == Step::Asking && m_llKeyNs == 0)
        Judge({}, 0, true);
}

void CCharDrillDlg::TakeCalibration()
{
    m_slow.stop();
    if (m_llToneStartNs != 0)
        m_calibration.push_back(int((m_llKeyNs - m_llToneStartNs) / 1000000));
    CalibrationTone();
}

void CCharDrillDlg::Judge(const std::string& typed, long long llKeyNs, bool bTimedOut)
{
    m_slow.stop();
    m_heard.stop();
    const int latency = m_options.nKeyLatencyMs;
    const int ms = bTimedOut ? m_options.nSlowMs : int((llKeyNs - m_llEndNs) / 1000000) - latency;
    const bool early = !bTimedOut && llKeyNs < m_llEndNs;
    const bool right = typed.size() == 1 && SameCharacter(static_cast<unsigned char>(typed[0]), m_ch);
    const bool slow = ms > m_options.nSlowMs;
    const unsigned char typedCh = typed.size() == 1 ? static_cast<unsigned char>(typed[0]) : 0;
    m_pSchedule->Answer(m_ch, right, ms, typedCh, NowSeconds(), slow);
    m_strSent += char(m_ch);
    m_strAnswers += typed;
    CharStats& stats = m_sessionChars[m_ch];
    ++stats.nSent;
    ++m_sessionCounts.nSent;
    if (right) {
        ++stats.nRight;
        ++m_sessionCounts.nRight;
    } else {
        ++stats.confusions[typed];
        ++(typed.empty() ? m_sessionCounts.nMissing : m_sessionCounts.nWrong);
    }

    HistoryAnswer a;
    a.when = QDateTime::currentDateTimeUtc();
    a.strRun = m_strRun;
    a.nMode = Mode();
    a.ch = m_ch;
    a.strTyped = typed;
    a.nMs = ms;
    a.nLatencyMs = latency;
    a.bRight = right;
    a.nWpm = m_player.Wpm();
    if (m_pHistory && m_pHistory->IsOpen()) {
        if (!m_pHistory->AddAnswer(a))
            ShowState(QStringLiteral("答えを履歴に記録できませんでした。%1").arg(m_pHistory->Error()), QStringLiteral("#c00000"));
    } else {
        m_ownAnswers.push_back(a);
    }

    const QString name = CharName(m_ch);
    m_pBig->setText(name);
    if (right && !slow) {
        m_pBig->setStyleSheet(QStringLiteral("color: #008000"));
        ShowState(early ? QStringLiteral("○ %1 (文字が終わる前に押しました)").arg(name)
                        : QStringLiteral("○ %1  %2 ms").arg(name).arg(ms),
                  QStringLiteral("#008000"));
        m_eStep = Step::Showing;
        m_next.start(kNextPauseMs);
    } else {
        m_pBig->setStyleSheet(QStringLiteral("color: #c00000"));
        QString why;
        if (bTimedOut)
            why = QStringLiteral("時間切れ");
        else if (right)
            why = QStringLiteral("遅すぎ (%1 ms)").arg(ms);
        else
            why = QStringLiteral("あなたの答え %1").arg(Cp932ToQString(ShowProsigns(typed)));
        ShowState(QStringLiteral("× 正しくは %1 (%2)。もう一度聞いてください。").arg(name, why), QStringLiteral("#c00000"));
        // Heard again with its name; asked again soon.
        m_eStep = Step::Showing;
        Play(m_ch);
    }
    // The table only: the history is read again at the session's end,
    // never while the next key is being timed.
    ShowTable(*m_pSchedule);
}

void CCharDrillDlg::OnStop()
{
    if (m_eStep == Step::Idle)
        return;
    const bool calibrating = m_eStep == Step::Calibrating;
    m_eStep = Step::Idle;
    m_slow.stop();
    m_next.stop();
    m_heard.stop();
    m_player.Stop();
    if (!calibrating)
        EndSession();
    m_pBig->clear();
    ShowState(StateText());
    ShowProgress();
}

void CCharDrillDlg::EndSession()
{
    // The session as one test of the history: the characters asked and
    // answered, and the time it took, for the record's days.
    if (m_strSent.empty() || !(m_pHistory && m_pHistory->IsOpen()))
        return;
    HistoryTest t;
    t.when = QDateTime::currentDateTimeUtc();
    t.strRun = m_strRun;
    t.nMode = Mode();
    t.nFreq = m_player.Freq();
    t.nWpm = m_player.Wpm();
    t.nVolume = m_nVolume;
    t.strOptions = QStringLiteral("KeyLatencyMs=%1\nLearnPercent=%2\nLearnMs=%3\nSlowMs=%4")
                       .arg(m_options.nKeyLatencyMs)
                       .arg(m_options.nLearnPercent)
                       .arg(m_options.nLearnMs)
                       .arg(m_options.nSlowMs);
    t.strSent = m_strSent;
    t.strTyped = m_strAnswers;
    t.nCharsHeard = int(m_strSent.size());
    t.dSeconds = double(SteadyNowNs() - m_llSessionStartNs) / 1e9;
    t.SetCounts(m_sessionCounts);
    t.nPositionPercent = m_sessionCounts.nRight * 100 / m_sessionCounts.nSent;
    if (!m_pHistory->Add(t, m_sessionChars))
        MessageBox(this, QStringLiteral("成績を履歴に記録できませんでした。\n%1").arg(m_pHistory->Error()), kCaption,
                   MB_OK | MB_ICONEXCLAMATION);
    m_strSent.clear();
    m_strAnswers.clear();
    m_sessionCounts = {};
    m_sessionChars.clear();
}

void CCharDrillDlg::OnCalibrate()
{
    if (m_eStep != Step::Idle)
        return;
    m_eStep = Step::Calibrating;
    m_calibration.clear();
    m_nCalibLeft = kCalibrationTones;
    m_pBig->clear();
    ShowState(QStringLiteral("音が聞こえ始めたら、すぐに何かキーを押してください (%1 回)。").arg(kCalibrationTones));
    setFocus();
    CalibrationTone();
}

void CCharDrillDlg::CalibrationTone()
{
    if (m_eStep != Step::Calibrating)
        return;
    if (m_nCalibLeft-- <= 0) {
        // Keys before the tone were guesses, not reactions.
        std::erase_if(m_calibration, [](int ms) { return ms < 50; });
        m_eStep = Step::Idle;
        if (m_calibration.size() >= size_t(kCalibrationTones) / 2) {
            m_options.nKeyLatencyMs = std::clamp(MedianMs(m_calibration), 0, 1000);
            m_options.Save();
            ShowState(QStringLiteral("キーを押す速さは %1 ms でした。").arg(m_options.nKeyLatencyMs));
        } else {
            ShowState(QStringLiteral("測れませんでした。音が聞こえてからキーを押してください。"), QStringLiteral("#c00000"));
        }
        return;
    }
    m_llKeyNs = 0;
    m_bEnded = false;
    m_pBig->setText(QStringLiteral("%1").arg(kCalibrationTones - m_nCalibLeft));
    // A wait that cannot be foreseen, then a long tone.
    std::random_device device;
    QTimer::singleShot(int(device() % 1500), this, [this] {
        if (m_eStep == Step::Calibrating)
            Play('T');
    });
}

void CCharDrillDlg::ShowProgress()
{
    const LearnRule rule{m_options.nLearnPercent, m_options.nLearnMs};
    CCharSchedule replayed(DrillOrder(Mode()), rule, 1);
    m_pPlot->SetDays(DrillDays(replayed, AllAnswers()));
    ShowTable(replayed);
}

void CCharDrillDlg::ShowTable(const CCharSchedule& schedule)
{
    m_pTable->setRowCount(0);
    for (const CharProgress& c : schedule.Progress()) {
        if (!c.bIntroduced)
            continue;
        const QString due = c.bLearned ? QDateTime::fromMSecsSinceEpoch(qint64(c.dDue * 1000)).toString(
                                             QStringLiteral("MM-dd HH:mm"))
                                       : QString();
        AppendRow(m_pTable, {CharName(c.ch), QString::number(c.nAnswers),
                             c.last.empty() ? QString() : QStringLiteral("%1 %").arg(c.nPercent),
                             c.nMedianMs < 0 ? QString() : QStringLiteral("%1 ms").arg(c.nMedianMs),
                             c.bLearned ? QStringLiteral("習得") : QStringLiteral("練習中"), due});
    }
}

void CCharDrillDlg::reject()
{
    OnStop();
    QDialog::reject();
}

void CDrillPlot::SetDays(std::vector<DrillDay> days)
{
    m_days = std::move(days);
    update();
}

void CDrillPlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect area = rect().adjusted(36, 8, -60, -18);
    p.setPen(Qt::gray);
    p.drawRect(area);
    if (m_days.empty()) {
        p.drawText(area, Qt::AlignCenter, QStringLiteral("まだ記録がありません"));
        return;
    }
    int maxLearned = 1, maxMs = 1000;
    for (const DrillDay& d : m_days) {
        maxLearned = std::max(maxLearned, d.nLearned);
        maxMs = std::max(maxMs, d.nMedianMs);
    }
    const int n = int(m_days.size());
    const auto x = [&](int i) { return area.left() + (n == 1 ? area.width() / 2 : i * area.width() / (n - 1)); };
    const auto y = [&](double v, double top) { return area.bottom() - int(v / top * area.height()); };
    p.drawText(QRect(0, area.top(), 34, 14), Qt::AlignRight, QString::number(maxLearned));
    p.drawText(QRect(area.right() + 2, area.top(), 58, 14), Qt::AlignLeft, QStringLiteral("%1ms").arg(maxMs));
    p.drawText(QRect(area.left(), area.bottom() + 2, 120, 14), Qt::AlignLeft, m_days.front().day.toString(Qt::ISODate));
    p.drawText(QRect(area.right() - 120, area.bottom() + 2, 120, 14), Qt::AlignRight,
               m_days.back().day.toString(Qt::ISODate));
    for (int series = 0; series < 2; ++series) {
        p.setPen(QPen(series == 0 ? QColor(0, 128, 0) : QColor(0, 0, 255), 2));
        QPoint last;
        for (int i = 0; i < n; ++i) {
            const DrillDay& d = m_days[size_t(i)];
            if (series == 1 && d.nMedianMs < 0)
                continue;
            const QPoint pt(x(i), series == 0 ? y(d.nLearned, maxLearned) : y(d.nMedianMs, maxMs));
            if (i > 0 && !last.isNull())
                p.drawLine(last, pt);
            p.drawEllipse(pt, 2, 2);
            last = pt;
        }
    }
}
