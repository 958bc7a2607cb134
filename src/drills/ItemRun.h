// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run of items (call signs, or words and abbreviations) at an adaptive
// speed, without widgets: one item at a time, each answered before the
// next; a right answer raises the speed by a step, a wrong one lowers it.
// The run's score adds, for each item copied right, its characters times
// the speed it was sent at.
#include "audio/Band.h"
#include "history/History.h"

#include <QString>

#include <string>
#include <vector>

// The speed that follows the answers: a staircase, one step up for a
// right answer and one down for a wrong one, within the speeds Start
// takes. The step is a share of the speed (at least 1 WPM) that narrows
// as the direction turns: 10 % until the first turn, to come near the
// listener quickly, 5 % until the fourth, then 2.5 %.
class CAdaptiveSpeed {
public:
    explicit CAdaptiveSpeed(int nStartWpm);
    int Wpm() const { return m_nWpm; }
    void Answer(bool bRight);
    // The speeds at which the direction turned, oldest first.
    const std::vector<int>& Reversals() const { return m_reversals; }

private:
    int m_nWpm;
    int m_nLastMove = 0; // +1 up, -1 down, 0 none yet
    std::vector<int> m_reversals;
};

struct RunItem {
    std::string strCall;
    std::string strAnswer;
    int nWpm = 0;
    bool bRight = false;
};

class CItemRun {
public:
    static constexpr int kItems = 50;
    // nMode: kLatinCallSigns or kLatinWords, what the items are.
    CItemRun(int nMode, int nStartWpm, uint32_t nSeed);

    int Mode() const { return m_nMode; }
    // The item to send now and its speed.
    const std::string& Call() const { return m_strCall; }
    int Wpm() const { return m_speed.Wpm(); }
    // The answer to the call just sent (letters in either case, spaces
    // ignored); true when right. The next call is drawn unless the run
    // is done.
    bool Answer(const std::string& typed);
    bool Done() const { return int(m_items.size()) >= kItems; }
    const std::vector<RunItem>& Items() const { return m_items; }
    int Score() const { return m_nScore; }
    int StartWpm() const { return m_nStartWpm; }
    // The fastest speed of a call copied right; 0 when none was.
    int TopWpm() const;
    // The run as the history keeps it: the calls and the answers as texts
    // (one space between items), aligned; bStopped: ended before kItems.
    HistoryTest Record(bool bStopped, double dSeconds) const;

private:
    std::string Draw();
    int m_nMode;
    CBandRandom m_random;
    CAdaptiveSpeed m_speed;
    int m_nStartWpm;
    std::string m_strCall;
    std::vector<RunItem> m_items;
    int m_nScore = 0;
};

// A figure of a run as the history's options keep it ("Score=N",
// "TopWpm=N"); -1 when none.
int RunValue(const HistoryTest& test, QLatin1String key);
// Any option kept so ("Exam=1sou"); null when none.
QString OptionText(const HistoryTest& test, QLatin1String key);
inline int RunScore(const HistoryTest& test) { return RunValue(test, QLatin1String("Score")); }
// The best scores of whole runs of a mode, best first, at most nCount.
std::vector<HistoryTest> TopRuns(std::vector<HistoryTest> tests, int nMode, int nCount);
