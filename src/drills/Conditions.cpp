// SPDX-License-Identifier: GPL-3.0-or-later
#include "drills/Conditions.h"
#include "drills/Drills.h"
#include "engine/Keying.h"
#include "engine/MorseTable.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <random>

uint32_t TestSeed(const TrainingOptions& options)
{
    if (options.nBandSeed > 0)
        return uint32_t(options.nBandSeed);
    std::random_device device;
    return device() | 1u;
}

std::string QrmText(CBandRandom& random)
{
    auto pick = [&](int n) { return int(random.Uniform() * n); };
    const std::string me = CallSign(random);
    const std::string other = CallSign(random);
    switch (pick(4)) {
    case 0:
        return "CQ CQ CQ DE " + me + " " + me + " K";
    case 1:
        return other + " DE " + me + " UR 5NN 5NN BK";
    case 2:
        return other + " DE " + me + " TNX FER QSO 73 TU";
    default:
        return "TEST " + me + " " + me + " TEST";
    }
}

std::vector<int> KeyedSpans(const std::string& text, int nWpm, CBandRandom& random)
{
    const int dot = std::max(1, 9600 / std::max(nWpm, 1)); // keyed samples, 8000 a second
    std::vector<int> spans = PhraseSpans(text, dot);
    const int pause = int(8000 * (1 + 3 * random.Uniform()));
    if (spans.size() % 2 == 0 && !spans.empty())
        spans.back() += pause; // key up after key up
    else
        spans.push_back(pause);
    return spans;
}

BandConditions ConditionsFor(const TrainingOptions& options, int nWpm, double dToneHz, uint32_t nSeed)
{
    const TrainingOptions o = options.Clamped();
    BandConditions c;
    c.bNoise = o.HasNoise();
    c.dSnrDb = o.HasNoise() ? o.nNoiseSnrDb : 0;
    c.nQsbDepthDb = o.nQsbDepthDb;
    c.nQsbPeriodS = o.nQsbPeriodS;
    c.nQrmLevelDb = o.nQrmLevelDb;
    c.nFilterHz = o.nFilterHz;
    c.nRoomRt60Ms = o.nRoomRt60Ms;
    c.dToneHz = dToneHz;
    c.nSeed = nSeed;
    // The stations are drawn from a stream of their own, so that the same
    // seed gives the same stations whatever else is on.
    CBandRandom random(nSeed ^ 0x9E3779B9u);
    for (int i = 0; i < o.nQrmStations; ++i) {
        QrmStation s;
        // 100..600 Hz away, on the side that stays audible, and apart
        // from the stations already there.
        for (int tries = 0; tries < 20; ++tries) {
            const double away = 100 + 500 * random.Uniform();
            const bool bBelow = random.Uniform() < 0.5 && dToneHz - away >= 150;
            s.dOffsetHz = bBelow ? -away : away;
            const bool bApart = std::none_of(c.qrm.begin(), c.qrm.end(),
                                             [&](const QrmStation& q) { return std::abs(q.dOffsetHz - s.dOffsetHz) < 60; });
            if (bApart)
                break;
        }
        const int wpm = std::max(5, int(std::lround(nWpm * (0.7 + 0.6 * random.Uniform()))));
        s.spans = KeyedSpans(QrmText(random), wpm, random);
        long long loop = 0;
        for (int span : s.spans)
            loop += span;
        s.nStartAt = int(random.Uniform() * double(loop));
        c.qrm.push_back(std::move(s));
    }
    return c;
}

QString ConditionsText(const TrainingOptions& options, uint32_t nSeed)
{
    QString text = SettingsText(options, SettingDef::Band);
    if (!text.isEmpty())
        text += QStringLiteral("\nBandSeed=%1").arg(nSeed);
    return text;
}
