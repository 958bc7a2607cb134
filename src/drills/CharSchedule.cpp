// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/CharSchedule.h"
#include "text/Cp932.h"

#include <algorithm>
#include <cmath>

static constexpr double kDaySeconds = 86400.0;

int MedianMs(std::vector<int> ms)
{
    if (ms.empty())
        return -1;
    const auto mid = ms.begin() + std::ptrdiff_t(ms.size() / 2);
    std::nth_element(ms.begin(), mid, ms.end());
    if (ms.size() % 2)
        return *mid;
    const int upper = *mid;
    const int lower = *std::max_element(ms.begin(), mid);
    return (lower + upper) / 2;
}

CCharSchedule::CCharSchedule(std::vector<unsigned char> order, LearnRule rule, uint32_t nSeed)
    : m_rule(rule), m_random(nSeed)
{
    for (unsigned char ch : order)
        if (!Find(ch)) {
            CharProgress c;
            c.ch = ch;
            m_chars.push_back(c);
        }
}

const CharProgress* CCharSchedule::Find(unsigned char ch) const
{
    for (const CharProgress& c : m_chars)
        if (c.ch == ch)
            return &c;
    return nullptr;
}

CharProgress* CCharSchedule::Get(unsigned char ch) { return const_cast<CharProgress*>(Find(ch)); }

void CCharSchedule::Judge(CharProgress& c, bool bRight, int nMs, double dNow)
{
    c.last.emplace_back(bRight, std::max(0, nMs));
    while (int(c.last.size()) > m_rule.nWindow)
        c.last.pop_front();
    std::vector<int> times;
    int right = 0;
    for (const auto& [r, ms] : c.last) {
        right += r ? 1 : 0;
        times.push_back(ms);
    }
    c.nPercent = int(std::lround(100.0 * right / double(c.last.size())));
    c.nMedianMs = MedianMs(times);
    const bool learned = int(c.last.size()) >= m_rule.nMinAnswers && c.nPercent >= m_rule.nPercent
        && c.nMedianMs <= m_rule.nMedianMs;
    const bool fast = bRight && nMs <= m_rule.nMedianMs;
    if (learned && !c.bLearned) {
        c.dIntervalDays = kFirstIntervalDays;
        c.dDue = dNow + c.dIntervalDays * kDaySeconds;
    } else if (learned && dNow >= c.dDue) {
        // A review: recalled at once, it waits longer next time.
        c.dIntervalDays = fast ? std::min(kMaxIntervalDays, c.dIntervalDays * kIntervalGrowth) : kFirstIntervalDays;
        c.dDue = dNow + c.dIntervalDays * kDaySeconds;
    } else if (learned && !bRight) {
        c.dIntervalDays = kFirstIntervalDays;
        c.dDue = dNow + c.dIntervalDays * kDaySeconds;
    } else if (!learned) {
        c.dIntervalDays = 0;
        c.dDue = 0;
    }
    c.bLearned = learned;
}

void CCharSchedule::Answer(unsigned char ch, bool bRight, int nMs, unsigned char typed, double dNow, bool bSlow)
{
    CharProgress* c = Get(ch);
    if (!c)
        return;
    c->bIntroduced = true;
    ++c->nAnswers;
    c->dConfused *= 0.8;
    Judge(*c, bRight, nMs, dNow);
    if (!bRight && typed) {
        // Both of a pair heard as each other come more often for a while.
        c->dConfused += 1;
        if (CharProgress* other = Get(typed); other && other->bIntroduced)
            other->dConfused += 1;
    }
    for (auto& [a, wait] : m_again)
        --wait;
    std::erase_if(m_again, [ch](const auto& a) { return a.first == ch; });
    if (!bRight || bSlow)
        m_again.emplace_back(ch, kAgainAfter);
    m_last = ch;
}

double CCharSchedule::Weight(const CharProgress& c) const
{
    // Learned characters come back mostly through review, so that the
    // answers go where the learning is.
    if (c.bLearned)
        return 0.1;
    double w = 3.0;
    if (!c.last.empty())
        w += 3.0 * (1.0 - c.nPercent / 100.0);
    if (c.nMedianMs > m_rule.nMedianMs)
        w += std::min(2.0, double(c.nMedianMs - m_rule.nMedianMs) / m_rule.nMedianMs) * 2.0;
    return w + 2.0 * c.dConfused;
}

int CCharSchedule::DueCount(double dNow) const
{
    return int(std::count_if(m_chars.begin(), m_chars.end(),
                             [dNow](const CharProgress& c) { return c.bLearned && c.dDue <= dNow; }));
}

int CCharSchedule::IntroducedCount() const
{
    return int(std::count_if(m_chars.begin(), m_chars.end(), [](const CharProgress& c) { return c.bIntroduced; }));
}

CCharSchedule::Pick CCharSchedule::Next(double dNow)
{
    // A character missed, once a few others have been asked.
    for (const auto& [ch, wait] : m_again)
        if (wait <= 0 && ch != m_last)
            return {ch, false};
    // What is due for review, the longest overdue first: a session
    // starts with it.
    const CharProgress* due = nullptr;
    for (const CharProgress& c : m_chars)
        if (c.bLearned && c.dDue <= dNow && c.ch != m_last && (!due || c.dDue < due->dDue))
            due = &c;
    if (due)
        return {due->ch, false};
    // A new character once those before it are learned (two to begin).
    const int introduced = IntroducedCount();
    const bool allLearned = std::all_of(m_chars.begin(), m_chars.end(),
                                        [](const CharProgress& c) { return !c.bIntroduced || c.bLearned; });
    if (introduced < 2 || allLearned)
        for (CharProgress& c : m_chars)
            if (!c.bIntroduced) {
                c.bIntroduced = true;
                return {c.ch, true};
            }
    // Otherwise drawn by weight, never the same twice running.
    std::vector<const CharProgress*> pool;
    double total = 0;
    for (const CharProgress& c : m_chars)
        if (c.bIntroduced && (c.ch != m_last || introduced == 1)) {
            pool.push_back(&c);
            total += Weight(c);
        }
    if (pool.empty())
        return {};
    double r = m_random.Uniform() * total;
    for (const CharProgress* c : pool) {
        r -= Weight(*c);
        if (r < 0)
            return {c->ch, false};
    }
    return {pool.back()->ch, false};
}

void CKeyAnswer::Clear()
{
    m_bInName = false;
    m_strName.clear();
    m_romaji = CRomajiConverter();
}

// A JIS kana keyboard: each key's text on its Latin layout (the same
// places on a US one for the letters and most signs), and its kana;
// shifted keys for the marks, and ｦ on the key whose shifted text is a
// tilde (the 0 key there). The ro key and the yen key both give a
// backslash: it stands for ﾛ, the kana. Figures come from the keypad.
static const std::pair<char16_t, const char16_t*> kKanaKeys[] = {
    {u'1', u"ﾇ"}, {u'2', u"ﾌ"}, {u'3', u"ｱ"}, {u'4', u"ｳ"}, {u'5', u"ｴ"}, {u'6', u"ｵ"}, {u'7', u"ﾔ"},
    {u'8', u"ﾕ"}, {u'9', u"ﾖ"}, {u'0', u"ﾜ"}, {u'-', u"ﾎ"}, {u'^', u"ﾍ"}, {u'|', u"ｰ"}, {u'\\', u"ﾛ"},
    {u'q', u"ﾀ"}, {u'w', u"ﾃ"}, {u'e', u"ｲ"}, {u'r', u"ｽ"}, {u't', u"ｶ"}, {u'y', u"ﾝ"}, {u'u', u"ﾅ"},
    {u'i', u"ﾆ"}, {u'o', u"ﾗ"}, {u'p', u"ｾ"}, {u'@', u"ﾞ"}, {u'[', u"ﾟ"},
    {u'a', u"ﾁ"}, {u's', u"ﾄ"}, {u'd', u"ｼ"}, {u'f', u"ﾊ"}, {u'g', u"ｷ"}, {u'h', u"ｸ"}, {u'j', u"ﾏ"},
    {u'k', u"ﾉ"}, {u'l', u"ﾘ"}, {u';', u"ﾚ"}, {u':', u"ｹ"}, {u']', u"ﾑ"},
    {u'z', u"ﾂ"}, {u'x', u"ｻ"}, {u'c', u"ｿ"}, {u'v', u"ﾋ"}, {u'b', u"ｺ"}, {u'n', u"ﾐ"}, {u'm', u"ﾓ"},
    {u',', u"ﾈ"}, {u'.', u"ﾙ"}, {u'/', u"ﾒ"}, {u'_', u"ﾛ"},
    {u'~', u"ｦ"}, {u'`', u"ｦ"}, {u'<', u"､"}, {u'>', u"｡"}, {u'?', u"･"}, {u'{', u"｢"}, {u'}', u"｣"},
    {u'(', u"("}, {u')', u")"},
};

std::string CKeyAnswer::Feed(QChar ch, bool bKeypad)
{
    if (m_bWabun && m_bKanaLayout && !bKeypad) {
        for (const auto& [key, kana] : kKanaKeys)
            if (ch == key)
                return QStringToCp932(QString::fromUtf16(kana));
        return {};
    }
    if (ch == u'<') {
        Clear();
        m_bInName = true;
        m_strName = ch;
        return {};
    }
    if (m_bInName) {
        if (ch != u'>') {
            m_strName += m_bWabun ? m_romaji.Feed(ch) : ch.toUpper();
            return {};
        }
        const QString name = m_strName + m_romaji.Flush() + ch;
        Clear();
        return FoldProsigns(QStringToCp932(name));
    }
    if (m_bWabun) {
        static const std::pair<char16_t, const char16_t*> kSigns[] = {
            {u'@', u"ﾞ"}, {u'[', u"ﾟ"}, {u'-', u"ｰ"}, {u',', u"､"}, {u']', u"｣"}, {u'.', u"･"},
        };
        for (const auto& [key, sign] : kSigns)
            if (ch == key) {
                Clear();
                return QStringToCp932(QString::fromUtf16(sign));
            }
        if (ch.isLetter() && ch.unicode() < 0x80) {
            const QString kana = m_romaji.Feed(ch);
            return kana.isEmpty() ? std::string() : QStringToCp932(kana);
        }
    }
    if (ch.unicode() <= 0x20 || ch.unicode() >= 0x7F)
        return {};
    Clear();
    return std::string(1, char(ch.toUpper().unicode()));
}

double EpochSeconds(const QDateTime& when) { return double(when.toMSecsSinceEpoch()) / 1000.0; }

static void Give(CCharSchedule& schedule, const HistoryAnswer& a)
{
    const unsigned char typed = a.strTyped.size() == 1 ? static_cast<unsigned char>(a.strTyped[0]) : 0;
    schedule.Answer(a.ch, a.bRight, a.nMs, typed, EpochSeconds(a.when));
}

void Replay(CCharSchedule& schedule, const std::vector<HistoryAnswer>& answers)
{
    for (const HistoryAnswer& a : answers)
        Give(schedule, a);
}

std::vector<DrillDay> DrillDays(CCharSchedule& schedule, const std::vector<HistoryAnswer>& answers)
{
    std::vector<DrillDay> days;
    std::vector<int> times;
    const auto close = [&] {
        if (days.empty())
            return;
        DrillDay& d = days.back();
        d.nLearned = int(std::count_if(schedule.Progress().begin(), schedule.Progress().end(),
                                       [](const CharProgress& c) { return c.bLearned; }));
        d.nMedianMs = MedianMs(times);
        times.clear();
    };
    for (const HistoryAnswer& a : answers) {
        const QDate day = a.when.toLocalTime().date();
        if (days.empty() || days.back().day != day) {
            close();
            days.push_back(DrillDay{day});
        }
        ++days.back().nAnswers;
        times.push_back(std::max(0, a.nMs));
        Give(schedule, a);
    }
    close();
    return days;
}
