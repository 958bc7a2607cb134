// SPDX-License-Identifier: GPL-3.0-or-later
#include "copytest/CopyTest.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"
#include "training/Apply.h"
#include "winui/MessageBox.h"

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
    if (m_bPlaying)
        return;
    // The previous test's last character may still be playing: end it now.
    ReleaseStream(true);

    m_strSent.clear();
    ClearAnswer();
    UpdateData(true);
    SetSettings(Settings());
    m_nSentCount = 0;
    g_nCurBuf = 0;
    g_nGroupPos = 0;
    ShowClampedSettings();
    UpdateData(false);
    ApplyTrainingOptions(m_options, *this, &m_record);

    if (PrepareText(m_nFreq, m_nDotMs) == -2) {
        ShowBox(NoPhraseFileText(), WarningCaption(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }

    FocusAnswer();
    m_bEvaluateBeforeStart = IsEvaluateEnabled();
    EnableEvaluate(false);
    ClearGraph();
    ShowResults(false);
    if (StartWave(WindowHandle(), m_nFreq, m_nDotMs) != 0) {
        NotOpened();
        return;
    }
    m_bPlaying = 1;
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
    if (m_bPlaying) {
        ResetWave();
        m_bPlaying = 0;
        FocusAnswer();
        EnableEvaluate(true);
        RestoreInputMode();
        ShowResults(true);
    }
    ClosePhraseFile();
}

void CCopyTest::OnDestroy()
{
    if (m_bPlaying) {
        m_bPlaying = 0;
        RestoreInputMode();
    }
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
    m_nMode = test.nMode;
    m_nFreq = test.nFreq;
    m_nWpm = test.nWpm;
    return form;
}

void CCopyTest::AddToRecord(const std::string& typed, int nPositionPercent)
{
    TestRecord test;
    test.nMode = m_nMode;
    test.nWpm = m_nWpm;
    test.nPositionPercent = nPositionPercent;
    test.align = AlignCopy(m_strSent, typed);
    int chars = 0;
    for (unsigned char c : m_strSent)
        chars += *MorsePattern(c) != '\0' ? 1 : 0;
    test.speed = SpeedOfTest(SentSamples(), m_nDotMs, chars);
    m_record.Add(test, m_strSent, typed);
    OnRecordChanged();
}

void CCopyTest::OnEvaluate()
{
    const std::string typed = FoldTypedLineBreaks(TakeTyped());
    const CopyScore score = ScoreCopy(m_strSent, typed);
    const QString caption = QStringLiteral("評価");
    if (score.nSent == 0) {
        AppendResultRuns({{"\n", g_crBlack}, {"", g_crGreen}, {"\n", g_crBlack}, {"\n", g_crBlack}});
        ShowBox(QStringLiteral("スタートボタンを押してテストしてからね！"), caption, MB_OK | MB_ICONINFORMATION);
    } else if (score.nTyped == 0) {
        AppendResultRuns(EvaluationRuns(m_strSent, typed, score));
        AddToRecord(typed, score.nPercent);
        ShowBox(QStringLiteral("信号を聞いたらキーボードで文字を入力してね！"), caption, MB_OK | MB_ICONINFORMATION);
        AppendResultText("\n", g_crBlack);
    } else {
        AppendResultRuns(EvaluationRuns(m_strSent, typed, score));
        AddToRecord(typed, score.nPercent);
        ShowBox(QString::fromStdString(FormatVerdict(score.nPercent)), caption, MB_OK | MB_ICONINFORMATION);
        AppendResultText("\n", g_crBlack);
    }
    ClearAnswer();
    EnableEvaluate(false);
}
