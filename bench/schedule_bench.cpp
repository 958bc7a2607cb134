// SPDX-License-Identifier: GPL-3.0-or-later
// The one-character drill's schedule against a simulated learner: how
// many answers until every character is known, with the drill's schedule,
// with uniform random draws from the whole set, and with Koch order
// (a new character once those before are learned) drawn uniformly without
// review. The learner: each character's memory rises with every time it
// is heard and answered, the more slowly the more characters are being
// learned at once, and fades between days, the more slowly the more often
// it was recalled after a gap. Right answers come with the memory's
// chance, and quicker the stronger it is.
#include "Check.h"
#include "drills/CharSchedule.h"
#include "drills/Drills.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr double kDay = 86400;
constexpr int kPerDay = 200;      // answers a day, about ten minutes
constexpr double kAnswerS = 3.0;  // seconds an answer
constexpr int kMaxDays = 400;

struct Memory {
    double dStrength = 0;   // at dSeen
    double dSeen = -1;
    double dStabilityDays = 2.0;
};

class CLearner {
public:
    // dCrowd: how many characters being learned at once halve the rate
    // at which each is learned.
    CLearner(const std::vector<unsigned char>& chars, double dCrowd, uint32_t seed) : m_dCrowd(dCrowd), m_random(seed)
    {
        for (unsigned char c : chars)
            m_mem[c];
    }
    double Strength(unsigned char c, double now) const
    {
        const Memory& m = m_mem.at(c);
        if (m.dSeen < 0)
            return 0;
        return m.dStrength * std::exp(-(now - m.dSeen) / (m.dStabilityDays * kDay));
    }
    // Heard, answered and told the answer.
    void Answer(unsigned char c, double now, bool& bRight, int& nMs)
    {
        const double s = Strength(c, now);
        bRight = m_random.Uniform() < 0.02 + 0.98 * s;
        nMs = int(250 + 2000 * std::pow(1 - s, 1.5) + 60 * m_random.Normal());
        Memory& m = m_mem[c];
        // Recalled on another day: it is kept longer, the more so the
        // longer the gap was against what it was kept for.
        const double gapDays = m.dSeen >= 0 ? (now - m.dSeen) / kDay : 0;
        if (bRight && gapDays > 0.3)
            m.dStabilityDays = std::min(365.0, m.dStabilityDays * (1 + 3 * (1 - std::exp(-gapDays / m.dStabilityDays))));
        // Characters learned side by side get in each other's way.
        m_recent.push_back(c);
        if (m_recent.size() > 40)
            m_recent.erase(m_recent.begin());
        int unsure = 0;
        std::vector<unsigned char> seen;
        for (unsigned char r : m_recent)
            if (std::find(seen.begin(), seen.end(), r) == seen.end()) {
                seen.push_back(r);
                unsure += Strength(r, now) < 0.6 ? 1 : 0;
            }
        const double rate = 0.12 / (1.0 + unsure / m_dCrowd);
        m.dStrength = s + rate * (1 - s);
        m.dSeen = now;
    }
    bool KnowsAll(double now) const
    {
        return std::all_of(m_mem.begin(), m_mem.end(), [&](const auto& kv) { return Strength(kv.first, now) >= 0.9; });
    }

private:
    std::map<unsigned char, Memory> m_mem;
    std::vector<unsigned char> m_recent;
    double m_dCrowd;
    CBandRandom m_random;
};

enum class Plan { Drill, Uniform, KochNoReview };

// Answers until, at the start of a day, every character is known; -1 when
// not within kMaxDays.
long Run(Plan plan, const std::vector<unsigned char>& order, double dCrowd, uint32_t seed)
{
    CLearner learner(order, dCrowd, seed);
    CCharSchedule schedule(order, LearnRule{}, seed + 7);
    CBandRandom draw(seed + 13);
    long answers = 0;
    int introduced = 2;
    for (int day = 0; day < kMaxDays; ++day) {
        double now = day * kDay;
        if (day > 0 && learner.KnowsAll(now))
            return answers;
        for (int i = 0; i < kPerDay; ++i, now += kAnswerS) {
            unsigned char c = 0;
            if (plan == Plan::Drill) {
                const CCharSchedule::Pick p = schedule.Next(now);
                c = p.ch;
                if (p.bNew) // heard with its name a few times first
                    for (int k = 0; k < 3; ++k) {
                        bool r = false;
                        int ms = 0;
                        learner.Answer(c, now, r, ms);
                    }
            } else if (plan == Plan::Uniform) {
                c = order[draw.Next() % order.size()];
            } else {
                const auto& progress = schedule.Progress();
                const bool all = std::all_of(progress.begin(), progress.begin() + introduced,
                                             [](const CharProgress& p) { return p.bLearned; });
                if (all && introduced < int(order.size()))
                    ++introduced;
                c = order[draw.Next() % unsigned(introduced)];
            }
            bool right = false;
            int ms = 0;
            learner.Answer(c, now, right, ms);
            ++answers;
            schedule.Answer(c, right, ms, 0, now, ms > 2000);
        }
    }
    return -1;
}

} // namespace

int main()
{
    constexpr int kSeeds = 5;
    struct Set {
        const char* name;
        std::vector<unsigned char> order;
    };
    const Set sets[] = {{"Latin letters", KochOrder(false)},
                        {"Latin, whole set", KochOrder(false, 3)},
                        {"Wabun, whole set", KochOrder(true, 1)}};
    const char* planNames[] = {"drill's schedule", "uniform random", "Koch order, no review"};
    // How much learning many characters at once hinders, which Koch's
    // method rests on: strongly (1.5), moderately (3), little (6).
    for (double crowd : {1.5, 3.0, 6.0}) {
        std::printf("== crowding %.1f: answers until every character is known at a day's start, %d seeds\n", crowd,
                    kSeeds);
        for (const Set& set : sets) {
            std::printf("%s (%zu characters)\n", set.name, set.order.size());
            std::vector<double> medians;
            for (Plan plan : {Plan::Drill, Plan::Uniform, Plan::KochNoReview}) {
                std::vector<long> runs;
                int unfinished = 0;
                for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
                    const long n = Run(plan, set.order, crowd, seed);
                    unfinished += n < 0 ? 1 : 0;
                    runs.push_back(n < 0 ? long(kMaxDays) * kPerDay : n);
                }
                std::sort(runs.begin(), runs.end());
                std::printf("  %-22s min %6ld  median %6ld  max %6ld  (days %ld..%ld)%s\n", planNames[int(plan)],
                            runs.front(), runs[runs.size() / 2], runs.back(), runs.front() / kPerDay,
                            runs.back() / kPerDay, unfinished ? "  not all within 400 days" : "");
                medians.push_back(double(runs[runs.size() / 2]));
            }
            std::printf("  drill / uniform %.2f, drill / Koch without review %.2f\n", medians[0] / medians[1],
                        medians[0] / medians[2]);
            // Review is what keeps a whole set: clearly fewer than without.
            Within("drill / Koch without review (median answers)", medians[0] / medians[2], 0, 0.8);
            // Against drawing from the whole set at once: clearly fewer
            // unless learning side by side hardly hinders, and never more.
            Within("drill / uniform (median answers)", medians[0] / medians[1], 0, crowd < 5 ? 0.8 : 1.0);
        }
    }
    return BenchResult();
}
