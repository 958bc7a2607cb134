// SPDX-License-Identifier: GPL-3.0-or-later
#include "copytest/CopyTest.h"
#include "drills/Conditions.h"
#include "engine/MorseTable.h"
#include "drills/Apply.h"
#include "drills/Drills.h"
#include "settings/Settings.h"
#include "winui/MessageBox.h"

#include <QFutureWatcher>
#include <QtConcurrent>

#include <random>
#include <utility>

COLORREF g_crBlack;
COLORREF g_crGreen;
COLORREF g_crRed;

std::vector<ResultRun> EvaluationRuns(const std::string& strSent, const std::string& strTyped, const CopyScore& score)
{
    std::vector<ResultRun> runs = {{"\n", g_crBlack}, {strSent, g_crGreen}, {"\n", g_crBlack}};
    // Each typed byte stands under the sent byte it was compared with.
    const int compared = static_cast<int>(score.abMatch.size());
    int i = 0;
    for (int len : DisplayUnits(strTyped, compared)) {
        bool right = true;
        for (int k = 0; k < len; ++k)
            right = right && score.abMatch[size_t(i + k)];
        const COLORREF cr = right ? g_crBlack : g_crRed;
        if (runs.back().cr != cr)
            runs.push_back({std::string(), cr});
        runs.back().text.append(strTyped, size_t(i), size_t(len));
        i += len;
    }
    return runs;
}

void CCopyTest::OnStart()
{
    if (IsPlaying())
        return;
    // The previous test's last character may still be playing: end it now.
    ReleaseStream(true);

    ClearAnswer();
    UpdateData(true);
    SetSettings(Settings());
    BeginTest();
    m_bStoppedEarly = false;
    ShowClampedSettings();
    UpdateData(false);
    // Weak characters over the last 30 days when there is a history.
    const CharResults recent = m_pHistory && m_pHistory->IsOpen() && m_options.bWeightWeak
        ? m_pHistory->Chars(QDateTime::currentDateTimeUtc().addDays(-30))
        : m_runStats.Chars();
    ApplyTrainingOptions(m_options, *this, &recent);
    SetFixedText(PhraseTextFor(m_options, Mode(), std::random_device{}()));

    if (PrepareText(Freq(), DotMs()) == -2) {
        ShowBox(NoPhraseFileText(), WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    FocusAnswer();
    m_bEvaluateBeforeStart = IsEvaluateEnabled();
    EnableEvaluate(false);
    ClearGraph();
    ShowResults(false);
    if (StartWave(WindowHandle(), Freq(), DotMs()) != 0) {
        NotOpened();
        return;
    }
    BeginPlaying();
    SwitchInputMode();
}

void CCopyTest::NotOpened()
{
    // Without a device the test cannot run: say so and stay at rest.
    ShowResults(true);
    EnableEvaluate(m_bEvaluateBeforeStart);
    ShowBox(QStringLiteral("音声出力デバイスを開けませんでした。\nサウンドの設定を確かめてから、もう一度ｽﾀｰﾄを押してください。"),
            WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
}

void CCopyTest::OnStreamNotOpened()
{
    RestoreInputMode();
    ClosePhraseFile();
    NotOpened();
}

void CCopyTest::OnStop()
{
    if (IsPlaying()) {
        ResetWave();
        EndPlaying();
        m_bStoppedEarly = true;
        FocusAnswer();
        EnableEvaluate(true);
        RestoreInputMode();
        ShowResults(true);
    }
    ClosePhraseFile();
}

void CCopyTest::OnDestroy()
{
    if (EndPlaying())
        RestoreInputMode();
    ClosePhraseFile();
    // The device is closed too, so that nothing plays on without the form.
    ReleaseStream(false);
}

void CCopyTest::OnStreamClosed()
{
    EnableEvaluate(true);
    ShowResults(true);
}

void CCopyTest::OnStreamFailed(bool bWasPlaying)
{
    if (bWasPlaying) {
        FocusAnswer();
        RestoreInputMode();
        m_bStoppedEarly = true;
    }
    EnableEvaluate(true);
    ShowResults(true);
    ClosePhraseFile();
    ShowBox(QStringLiteral("音声出力が止まったため、テストを終了しました。\n"
                           "サウンドの設定を確かめてから、もう一度ｽﾀｰﾄを押してください。"),
            WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
}

TestSettings CCopyTest::FormSettings()
{
    const TestSettings test = Settings();
    UpdateData(true);
    const TestSettings form = Settings().Clamped();
    SetFormValues(test);
    return form;
}

void CCopyTest::SetHistory(CHistory* pHistory, const QString& strRun)
{
    m_pHistory = pHistory;
    m_strRun = strRun;
    m_bHistoryFailTold = false;
}

QString CCopyTest::OptionsInForce() const
{
    TrainingOptions o = m_options.Clamped();
    o.nEffectiveWpm = o.EffectiveWpmAt(Wpm());
    return SettingsText(o, SettingDef::Test).mid(1) + ConditionsText(o, GetKeyingOptions().shaping.band.nSeed);
}

void CCopyTest::AddToRecord(const std::string& sent, const std::string& typed, int nPositionPercent)
{
    HistoryTest test;
    test.when = QDateTime::currentDateTimeUtc();
    test.strRun = m_strRun;
    test.nMode = Mode();
    test.nFreq = Freq();
    test.nWpm = Wpm();
    test.nVolume = Volume();
    test.strOptions = OptionsInForce();
    test.nKochLesson = m_options.Clamped().nKochLesson;
    test.strSent = sent;
    test.strTyped = typed;
    test.nPositionPercent = nPositionPercent;
    test.nCharsHeard = HeardChars();
    test.dSeconds = HeardSeconds();
    test.bStopped = m_bStoppedEarly;
    const long long cells = static_cast<long long>(sent.size() + 1) * static_cast<long long>(typed.size() + 1);
    if (cells <= kAlignInBackground) {
        Aligned(test, AlignCopy(sent, typed), typed);
        return;
    }
    // A long copy: stored now, before the verdict, and aligned meanwhile.
    if (m_options.bKeepHistory && m_pHistory && m_pHistory->IsOpen())
        m_pHistory->Add(test, {});
    QObject* context = WindowHandle().pContext;
    auto* watcher = new QFutureWatcher<Alignment>(context);
    QObject::connect(watcher, &QFutureWatcher<Alignment>::finished, context, [this, watcher, test, typed] {
        watcher->deleteLater();
        Aligned(test, watcher->result(), typed);
    });
    watcher->setFuture(QtConcurrent::run([sent, typed] { return AlignCopy(sent, typed); }));
}

void CCopyTest::Aligned(HistoryTest test, const Alignment& align, const std::string& typed)
{
    test.SetCounts(align);
    const CharResults chars = CharStatsOf(align, test.strSent, typed);
    TestResult record;
    record.nMode = test.nMode;
    record.nWpm = test.nWpm;
    record.nPositionPercent = test.nPositionPercent;
    record.align = align;
    record.speed = test.Speed();
    m_runStats.Add(record, test.strSent, typed);
    m_runTests.push_back(test);
    if (m_options.bKeepHistory && m_pHistory && m_pHistory->IsOpen()) {
        const bool ok = test.nId ? m_pHistory->SetAligned(test.nId, align, chars) : m_pHistory->Add(test, chars);
        // Once a run: the program goes on without it.
        if (ok && m_pHistory->PendingCount() > 0 && !m_bHistoryFailTold) {
            m_bHistoryFailTold = true;
            ShowBox(QStringLiteral("成績の履歴ファイルを他のプログラムが使っているため、テストはまだ記録されていません。\n"
                                   "使えるようになりしだい記録します (終了するときにも試します)。\n%1")
                        .arg(m_pHistory->Error()),
                    WarningCaption(), MB_OK | MB_ICONINFORMATION);
        }
        if (!ok && !m_bHistoryFailTold) {
            m_bHistoryFailTold = true;
            ShowBox(QStringLiteral("成績を履歴に記録できませんでした。\n%1\n%2\n"
                                   "このまま練習を続けられますが、記録されないテストがあります。")
                        .arg(m_pHistory->Path(), m_pHistory->Error()),
                    WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
        }
    }
    OnRecordChanged();
    AdvanceKoch(test);
}

void CCopyTest::AdvanceKoch(const HistoryTest& test)
{
    const TrainingOptions o = m_options.Clamped();
    const bool random = !IsPhraseMode(test.nMode);
    if (o.nKochLesson <= 0 || !o.bKochAdvance || !random)
        return;
    // A whole random test of this lesson, with extra characters counted
    // against it: typing more than was sent earns nothing.
    auto passed = [&](const HistoryTest& t) {
        const int all = t.nRight + t.nWrong + t.nMissing + t.nExtra;
        return !t.bStopped && t.bAligned && t.nMode >= 0 && !IsPhraseMode(t.nMode) && t.nKochLesson == o.nKochLesson
            && all > 0 && 100.0 * t.nRight / all >= 90.0;
    };
    m_nKochStreak = passed(test) ? m_nKochStreak + 1 : 0;
    bool bTwice = m_nKochStreak >= 2;
    // Across runs the history knows the test before this one.
    if (!bTwice && passed(test) && m_options.bKeepHistory && m_pHistory && m_pHistory->IsOpen()) {
        const std::vector<HistoryTest> last = m_pHistory->Latest(2);
        bTwice = last.size() == 2 && last[0].nId == test.nId && passed(last[1]);
    }
    const bool bWabun = IsWabunMode(test.nMode);
    const int last = KochLessonCount(bWabun, bWabun ? o.nWabunSet : o.nLatinSet) - 1;
    if (!bTwice || o.nKochLesson >= last)
        return;
    m_nKochStreak = 0;
    m_options.nKochLesson = o.nKochLesson + 1;
    if (!m_options.Save())
        ShowBox(QStringLiteral("設定を保存できませんでした。\nｺｯﾎ法のﾚｯｽﾝは次に起動したときには元に戻ります。"),
                WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
    m_strKochNews = QStringLiteral("\n\n") + KochAdvanceText(o.nKochLesson, m_options.nKochLesson);
    OnKochAdvanced(o.nKochLesson, m_options.nKochLesson);
}

void CCopyTest::OnEvaluate()
{
    std::string typed = FoldTypedLineBreaks(TakeTyped());
    // A test of the whole set takes a prosign typed as "<AR>".
    if (GetKeyingOptions().bFullSet)
        typed = FoldProsigns(typed);
    // A stopped test is scored on what was heard whole.
    const std::string sent = m_bStoppedEarly ? HeardSent() : Sent();
    const CopyScore score = ScoreCopy(sent, typed);
    const QString caption = QStringLiteral("評価");
    if (score.nSent == 0) {
        AppendResultRuns({{"\n", g_crBlack}, {"", g_crGreen}, {"\n", g_crBlack}, {"\n", g_crBlack}});
        ShowBox(QStringLiteral("スタートボタンを押してテストしてからね！"), caption, MB_OK | MB_ICONINFORMATION);
    } else if (score.nTyped == 0) {
        AppendResultRuns(EvaluationRuns(sent, typed, score));
        AddToRecord(sent, typed, score.nPercent);
        ShowBox(QStringLiteral("信号を聞いたらキーボードで文字を入力してね！"), caption, MB_OK | MB_ICONINFORMATION);
        AppendResultText("\n", g_crBlack);
    } else {
        AppendResultRuns(EvaluationRuns(sent, typed, score));
        m_strKochNews.clear();
        AddToRecord(sent, typed, score.nPercent);
        ShowBox(QString::fromStdString(FormatVerdict(score.nPercent)) + std::exchange(m_strKochNews, {}), caption,
                MB_OK | MB_ICONINFORMATION);
        AppendResultText("\n", g_crBlack);
    }
    ClearAnswer();
    EnableEvaluate(false);
}
