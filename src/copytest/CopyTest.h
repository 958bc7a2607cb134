// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The copy test without its widgets: what Start, Stop and Evaluate do,
// what the stream's end does to the test, and what goes into the record.
// The form derives from this and shows what it is asked to through the
// hooks below; tests derive a form of their own.
#include "engine/MorseEngine.h"
#include "history/History.h"
#include "settings/Options.h"
#include "scoring/CharStats.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

using COLORREF = uint32_t; // 0x00BBGGRR
extern COLORREF g_crBlack;
extern COLORREF g_crGreen;
extern COLORREF g_crRed;

// A run of text for the results box in one colour.
struct ResultRun {
    std::string text; // code page 932
    COLORREF cr;
    bool operator==(const ResultRun&) const = default;
};

// The sent text and the typed copy below it, each typed display unit
// coloured by its score (a double-byte character red if either byte is wrong).
std::vector<ResultRun> EvaluationRuns(const std::string& strSent, const std::string& strTyped, const CopyScore& score);

class CCopyTest : public CMorseEngine {
public:
    CCopyTest() = default;
    ~CCopyTest() override = default;

    void OnStart();
    void OnStop();
    void OnEvaluate();
    // The form goes: end the test and release the device.
    void OnDestroy();

    // The form's settings as Start would take them, leaving the test that
    // Evaluate still needs as it is.
    TestSettings FormSettings();

    const TrainingOptions& Options() const { return m_options; }
    void SetOptions(const TrainingOptions& options) { m_options = options; }
    const CRunStats& RunStats() const { return m_runStats; }
    // This run's evaluated tests, as the history would keep them.
    const std::vector<HistoryTest>& RunTests() const { return m_runTests; }
    // Where evaluated tests are kept (the program's history, or none),
    // and this run's name in it.
    void SetHistory(CHistory* pHistory, const QString& strRun);
    CHistory* History() const { return m_pHistory; }
    const QString& Run() const { return m_strRun; }
    // Copies longer than this (sent x typed bytes) are aligned off the
    // window's thread; the record hears of them when they are done.
    static constexpr long long kAlignInBackground = 4'000'000;
    // Every option in force, "key=value" lines, as the history keeps them.
    QString OptionsInForce() const;

    // Start's warning when the phrase file cannot be read.
    static QString NoPhraseFileText() { return QStringLiteral("定型文ファイルがないよ"); }
    static QString WarningCaption() { return QStringLiteral("警告！"); }

protected:
    // ---- the form, as the test sees it ----
    // The form's values to the members (true) or back (false); false
    // when a value was not valid (the form has said so).
    virtual bool UpdateData(bool bSaveAndValidate = true) = 0;
    // The spins show the clamped values.
    virtual void ShowClampedSettings() = 0;
    // The copy typed so far (pending romaji committed), and clearing it.
    virtual std::string TakeTyped() = 0;
    virtual void ClearAnswer() = 0;
    virtual void FocusAnswer() = 0;
    // The answer box's input mode for the test, and back as it was.
    virtual void SwitchInputMode() = 0;
    virtual void RestoreInputMode() = 0;
    virtual void EnableEvaluate(bool bEnable) = 0;
    virtual bool IsEvaluateEnabled() const = 0;
    // The keying graph (bResults false) or the results box in the display area.
    virtual void ShowResults(bool bResults) = 0;
    // An empty keying graph for a test at m_nWpm.
    virtual void ClearGraph() = 0;
    virtual void AppendResultRuns(const std::vector<ResultRun>& runs) = 0;
    virtual void ShowBox(const QString& text, const QString& caption, unsigned style) = 0;
    // Where the device reports to.
    virtual WaveOutWindow WindowHandle() = 0;
    // An evaluation added a test to the record.
    virtual void OnRecordChanged() {}
    // A Koch lesson was passed and the next one set (and saved).
    virtual void OnKochAdvanced(int nFrom, int nTo) { (void)nFrom, (void)nTo; }

    void OnStreamClosed() override;
    void OnStreamFailed(bool bWasPlaying) override;
    void OnStreamNotOpened() override;

    void AppendResultText(const std::string& text, COLORREF cr) { AppendResultRuns({{text, cr}}); }

    TrainingOptions m_options;
    CRunStats m_runStats;

private:
    void AddToRecord(const std::string& sent, const std::string& typed, int nPositionPercent);
    void Aligned(HistoryTest test, const Alignment& align, const std::string& typed);
    void AdvanceKoch(const HistoryTest& test);
    void NotOpened();
    bool m_bEvaluateBeforeStart = false;
    bool m_bStoppedEarly = false;
    CHistory* m_pHistory = nullptr;
    std::vector<HistoryTest> m_runTests;
    QString m_strRun;
    bool m_bHistoryFailTold = false;
    QString m_strKochNews; // a lesson passed by the test being evaluated, for its verdict
    int m_nKochStreak = 0; // complete tests of the lesson in a row at 90 % or more, without a history
};
