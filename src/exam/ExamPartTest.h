// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One part of a telegraphy exam taken as a test and graded, without widgets: its
// text drawn and timed at the part's 字/分, sent through the same stream
// as the form (band conditions included), Stop, and the graded part as
// the history keeps it.
#include "engine/MorseEngine.h"
#include "drills/Exam.h"
#include "history/History.h"
#include "settings/Options.h"

#include <functional>
#include <string>
#include <vector>

struct ExamPartSettings {
    const ExamLicence* pLicence = nullptr;
    ExamPart ePart = ExamPart::Wabun;
    int nCharsPerMin = 75;
    int nMinutes = 5;
    int nFreq = 800;
    int nVolume = 20;
};

class CExamPartTest : public CMorseEngine {
public:
    explicit CExamPartTest(QObject* pContext) : m_pContext(pContext) {}

    // Draws the part's text from lines (the shipped ones, or the user's)
    // and starts it; false when no device could be opened.
    bool Start(const ExamPartSettings& settings, const TrainingOptions& options, const std::vector<std::string>& lines,
               uint32_t nSeed);
    // The sound stops at once; the text heard so far stays to be graded.
    void Stop();
    const std::string& Text() const { return m_strText; }
    // Stopped before its text ended; what is graded then is what was
    // heard whole.
    bool WasStopped() const { return m_bStopped; }
    std::string GradedText() const { return m_bStopped ? HeardSent() : Sent(); }
    const ExamPartSettings& PartSettings() const { return m_part; }
    // How long the part's text sounds.
    double KeyedSeconds() const;

    // The graded part as the history keeps it.
    HistoryTest Graded(const ExamGrade& grade, const std::string& typed, const TrainingOptions& options) const;

    std::function<void()> onEnded;  // the stream has closed (end or Stop)
    std::function<void()> onFailed; // the device failed or did not open

protected:
    void OnStreamClosed() override;
    void OnStreamFailed(bool bWasPlaying) override;
    void OnStreamNotOpened() override;

private:
    QObject* m_pContext;
    ExamPartSettings m_part;
    std::string m_strText;
    bool m_bStopped = false;
};
