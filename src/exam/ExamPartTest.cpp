// SPDX-License-Identifier: GPL-3.0-or-later
#include "exam/ExamPartTest.h"
#include "drills/Apply.h"
#include "drills/Conditions.h"

#include <cmath>

bool CExamPartTest::Start(const ExamPartSettings& settings, const TrainingOptions& options,
                     const std::vector<std::string>& lines, uint32_t nSeed)
{
    m_part = settings;
    const int chars = settings.nCharsPerMin * settings.nMinutes;
    const bool bTelegram = settings.bTelegram && IsWabunPart(settings.ePart);
    m_strText = bTelegram ? WabunTelegrams(chars, nSeed, lines) : ExamText(settings.ePart, chars, nSeed, lines);
    const int dot = ExamDotSamples(m_strText, settings.nCharsPerMin);
    // The speed in words a minute stands for the dot where one is asked
    // for (other stations' speeds); the dot itself is keyed to the sample.
    const int wpm = ClampWpm(int(std::lround(9600.0 / dot)));
    SetSettings({ExamMode(settings.ePart), settings.nFreq, wpm, settings.nVolume});
    // The exams keep standard spacing: no effective speed, and no voice
    // saying the answer.
    TrainingOptions o = options;
    o.nEffectiveWpm = 0;
    o.nVoice = 0;
    ApplyTrainingOptions(o, *this);
    KeyingOptions k = GetKeyingOptions();
    k.nDotSamples = dot;
    k.bTelegram = bTelegram;
    if (k.shaping.eShape == ToneShape::Shaped)
        k.shaping.nMaxEdgeKeyed = dot;
    SetKeyingOptions(k);
    return Play(m_strText);
}

double CExamPartTest::KeyedSeconds() const
{
    return double(ExamKeyedSamples(m_strText, GetKeyingOptions().nDotSamples)) / 8000.0;
}

HistoryTest CExamPartTest::Graded(const ExamGrade& grade, const std::string& typed, const TrainingOptions& options) const
{
    HistoryTest t;
    t.when = QDateTime::currentDateTimeUtc();
    t.nMode = Mode();
    t.nFreq = Freq();
    t.nWpm = Wpm();
    t.nVolume = Volume();
    t.strOptions = QStringLiteral("Exam=%1\nPart=%2\nCharsPerMin=%3\nMinutes=%4\nScore=%5")
                       .arg(QLatin1String(m_part.pLicence ? m_part.pLicence->pszKey : "practice"))
                       .arg(QLatin1String(ExamPartKey(m_part.ePart)))
                       .arg(m_part.nCharsPerMin)
                       .arg(m_part.nMinutes)
                       .arg(grade.nScore)
        + (GetKeyingOptions().bTelegram ? QStringLiteral("\nTelegram=1") : QString())
        + ConditionsText(options, GetKeyingOptions().shaping.band.nSeed);
    t.strSent = GradedText();
    t.strTyped = typed;
    t.nPositionPercent = ScoreCopy(grade.strSentChars, grade.strTypedChars).nPercent;
    t.SetCounts(grade.align);
    t.nCharsHeard = HeardChars();
    t.dSeconds = HeardSeconds();
    t.bStopped = WasStopped();
    return t;
}
