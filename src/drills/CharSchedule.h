// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one-character drill's schedule, without widgets: which character
// comes next, from every answer so far and when it was given. New
// characters come one at a time in Koch order, the next only when those
// before are learned; what is not learned, slow or confused comes more
// often; a character missed is asked again soon; learned characters come
// back for review at growing intervals across days.
#include "audio/Band.h"
#include "history/History.h"
#include "text/Kana.h"

#include <QString>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

// When a character counts as learned: over its last nWindow answers (at
// least nMinAnswers of them), nPercent right and a median response time
// of nMedianMs or less.
struct LearnRule {
    int nPercent = 90;
    int nMedianMs = 500;
    int nWindow = 20;
    int nMinAnswers = 10;
};

struct CharProgress {
    unsigned char ch = 0;
    bool bIntroduced = false;
    int nAnswers = 0;                      // all of them
    std::deque<std::pair<bool, int>> last; // the window: right, ms (early as 0)
    int nPercent = 0;                      // over the window
    int nMedianMs = -1;                    // over the window; -1: no answer yet
    bool bLearned = false;
    double dIntervalDays = 0; // of review; 0: not learned yet
    double dDue = 0;          // when review is due (seconds, as the answers' times)
    double dConfused = 0;     // recent confusions with another character
};

class CCharSchedule {
public:
    // Answers to keep between two askings of a character missed.
    static constexpr int kAgainAfter = 2;
    static constexpr double kFirstIntervalDays = 1.0;
    static constexpr double kIntervalGrowth = 2.5;
    static constexpr double kMaxIntervalDays = 60.0;

    // order: the characters in the order they are introduced.
    CCharSchedule(std::vector<unsigned char> order, LearnRule rule, uint32_t nSeed);

    // An answer to ch at dNow (seconds): right or not, its response time
    // (ms; below 0: before the character ended), what was typed instead
    // when wrong (0: nothing), and whether it came too late (bSlow: asked
    // again soon, as a miss is).
    void Answer(unsigned char ch, bool bRight, int nMs, unsigned char typed, double dNow, bool bSlow = false);

    struct Pick {
        unsigned char ch = 0;
        bool bNew = false; // introduced now: let it be heard with its name first
    };
    // The character to ask at dNow.
    Pick Next(double dNow);

    const std::vector<CharProgress>& Progress() const { return m_chars; }
    const CharProgress* Find(unsigned char ch) const;
    int DueCount(double dNow) const;
    int IntroducedCount() const;
    const LearnRule& Rule() const { return m_rule; }

private:
    CharProgress* Get(unsigned char ch);
    void Judge(CharProgress& c, bool bRight, int nMs, double dNow);
    double Weight(const CharProgress& c) const;

    std::vector<CharProgress> m_chars; // in the order of introduction
    LearnRule m_rule;
    CBandRandom m_random;
    std::deque<std::pair<unsigned char, int>> m_again; // missed: character, answers still to wait
    unsigned char m_last = 0;
};

// The answers of the history (oldest first) given to a schedule, their
// times as seconds since the epoch.
void Replay(CCharSchedule& schedule, const std::vector<HistoryAnswer>& answers);
double EpochSeconds(const QDateTime& when);

// By local day, the answers given to schedule (as Replay does): the
// characters learned at the day's end, and the median response time and
// count of its answers.
struct DrillDay {
    QDate day;
    int nLearned = 0;
    int nMedianMs = -1;
    int nAnswers = 0;
};
std::vector<DrillDay> DrillDays(CCharSchedule& schedule, const std::vector<HistoryAnswer>& answers);

// The median of a series of times; -1 when there is none.
int MedianMs(std::vector<int> ms);

// Keys typed as one character's answer, as they come: Latin characters
// as they are (in capitals); kana by romaji, the answer complete with the
// key that completes the kana, and the signs by the keys of a kana
// keyboard (@ ﾞ, [ ﾟ, - ｰ, , ､, ] ｣, . ･); a prosign as its name between
// < and > ("<AR>", "<rata>"). With bKanaLayout, each key is the kana of
// its place on a JIS kana keyboard, as the keyboard's Latin layout gives
// the key's text (one key, one kana; ﾗﾀ has none), figures from the
// numeric keypad.
class CKeyAnswer {
public:
    explicit CKeyAnswer(bool bWabun, bool bKanaLayout = false) : m_bWabun(bWabun), m_bKanaLayout(bKanaLayout) {}
    // The answer this key completes (code page 932), or empty; bKeypad:
    // from the numeric keypad.
    std::string Feed(QChar ch, bool bKeypad = false);
    // What is typed and not yet an answer.
    QString Pending() const { return m_strName + m_romaji.Pending(); }
    void Clear();

private:
    bool m_bWabun;
    bool m_bKanaLayout;
    bool m_bInName = false;
    QString m_strName; // "<" and what followed
    CRomajiConverter m_romaji;
};
