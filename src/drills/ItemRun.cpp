// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/ItemRun.h"
#include "drills/Drills.h"
#include "engine/MorseEngine.h"
#include "scoring/Scoring.h"

#include <algorithm>
#include <cctype>
#include <cmath>

CAdaptiveSpeed::CAdaptiveSpeed(int nStartWpm) : m_nWpm(ClampWpm(nStartWpm)) {}

void CAdaptiveSpeed::Answer(bool bRight)
{
    const int move = bRight ? 1 : -1;
    if (m_nLastMove != 0 && move != m_nLastMove)
        m_reversals.push_back(m_nWpm);
    m_nLastMove = move;
    const double share = m_reversals.empty() ? 0.10 : (m_reversals.size() < 4 ? 0.05 : 0.025);
    const int step = std::max(1, int(std::lround(m_nWpm * share)));
    m_nWpm = ClampWpm(m_nWpm + move * step);
}

CItemRun::CItemRun(int nMode, int nStartWpm, uint32_t nSeed)
    : m_nMode(nMode), m_random(nSeed), m_speed(nStartWpm), m_nStartWpm(m_speed.Wpm()), m_strCall(Draw())
{
}

std::string CItemRun::Draw() { return m_nMode == kLatinWords ? PracticeWord(m_random) : CallSign(m_random); }

static std::string Normalized(const std::string& typed)
{
    std::string s;
    for (char c : typed)
        if (!std::isspace(static_cast<unsigned char>(c)))
            s += char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool CItemRun::Answer(const std::string& typed)
{
    if (Done())
        return false;
    RunItem item{m_strCall, Normalized(typed), m_speed.Wpm(), false};
    item.bRight = item.strAnswer == item.strCall;
    if (item.bRight)
        m_nScore += int(item.strCall.size()) * item.nWpm;
    m_items.push_back(item);
    m_speed.Answer(item.bRight);
    if (!Done())
        m_strCall = Draw();
    return item.bRight;
}

int CItemRun::TopWpm() const
{
    int top = 0;
    for (const RunItem& i : m_items)
        if (i.bRight)
            top = std::max(top, i.nWpm);
    return top;
}

HistoryTest CItemRun::Record(bool bStopped, double dSeconds) const
{
    HistoryTest t;
    t.when = QDateTime::currentDateTimeUtc();
    t.nMode = m_nMode;
    t.nWpm = m_speed.Wpm();
    for (const RunItem& i : m_items) {
        if (!t.strSent.empty()) {
            t.strSent += ' ';
            t.strTyped += ' ';
        }
        t.strSent += i.strCall;
        t.strTyped += i.strAnswer;
        t.nCharsHeard += int(i.strCall.size());
    }
    t.strOptions = QStringLiteral("Score=%1\nStartWpm=%2\nTopWpm=%3\nItems=%4")
                       .arg(m_nScore)
                       .arg(m_nStartWpm)
                       .arg(TopWpm())
                       .arg(m_items.size());
    t.nPositionPercent = ScoreCopy(t.strSent, t.strTyped).nPercent;
    t.SetCounts(AlignCopy(t.strSent, t.strTyped));
    t.dSeconds = dSeconds;
    t.bStopped = bStopped;
    return t;
}

QString OptionText(const HistoryTest& test, QLatin1String key)
{
    for (const QString& line : test.strOptions.split(QLatin1Char('\n')))
        if (line.startsWith(key) && line.size() > key.size() && line[key.size()] == QLatin1Char('='))
            return line.mid(key.size() + 1);
    return {};
}

int RunValue(const HistoryTest& test, QLatin1String key)
{
    const QString value = OptionText(test, key);
    return value.isNull() ? -1 : value.toInt();
}

std::vector<HistoryTest> TopRuns(std::vector<HistoryTest> tests, int nMode, int nCount)
{
    std::erase_if(tests, [nMode](const HistoryTest& t) { return t.nMode != nMode || t.bStopped || RunScore(t) < 0; });
    std::stable_sort(tests.begin(), tests.end(),
                     [](const HistoryTest& a, const HistoryTest& b) { return RunScore(a) > RunScore(b); });
    if (int(tests.size()) > nCount)
        tests.resize(size_t(nCount));
    return tests;
}
