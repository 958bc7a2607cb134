// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One part of a telegraphy exam taken as a test and graded, without widgets: its
// text drawn and timed at the part's 字/分, sent through the same stream
// as the form (band conditions included), Stop, and the graded part as
// the history keeps it.
#include "drills/Exam.h"
#include "drills/TextTest.h"
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
    bool bTelegram = false; // 和文 as telegrams (WabunTelegrams)
};

class CExamPartTest : public CTextTest {
public:
    explicit CExamPartTest(QObject* pContext) : CTextTest(pContext) {}

    // Draws the part's text from lines (the shipped ones, or the user's)
    // and starts it; false when no device could be opened.
    bool Start(const ExamPartSettings& settings, const TrainingOptions& options, const std::vector<std::string>& lines,
               uint32_t nSeed);
    const std::string& Text() const { return m_strText; }
    // Stopped before its text ended, what is graded is what was heard whole.
    std::string GradedText() const { return WasStopped() ? HeardSent() : Sent(); }
    const ExamPartSettings& PartSettings() const { return m_part; }
    // How long the part's text sounds.
    double KeyedSeconds() const;

    // The graded part as the history keeps it.
    HistoryTest Graded(const ExamGrade& grade, const std::string& typed, const TrainingOptions& options) const;

private:
    ExamPartSettings m_part;
    std::string m_strText;
};
