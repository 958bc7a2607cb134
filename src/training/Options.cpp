// SPDX-License-Identifier: GPL-3.0-or-later
#include "training/Options.h"

#include "training/Settings.h"

#include <algorithm>

TrainingOptions TrainingOptions::Clamped() const
{
    TrainingOptions o = *this;
    o.nEdgeMs = std::clamp(o.nEdgeMs, 1, 10);
    o.nKochLesson = std::max(o.nKochLesson, 0);
    o.nEffectiveWpm = o.nEffectiveWpm < 5 ? 0 : std::min(o.nEffectiveWpm, 119);
    if (o.nNoiseSnrDb != kNoiseOff)
        o.nNoiseSnrDb = std::clamp(o.nNoiseSnrDb, -10, 30);
    o.nQsbDepthDb = std::clamp(o.nQsbDepthDb, 0, 30);
    o.nQsbPeriodS = std::clamp(o.nQsbPeriodS, 2, 60);
    o.nQrmStations = std::clamp(o.nQrmStations, 0, 3);
    o.nQrmLevelDb = std::clamp(o.nQrmLevelDb, -20, 6);
    o.nFistJitterPercent = std::clamp(o.nFistJitterPercent, 0, 30);
    o.nFilterHz = o.nFilterHz <= 0 ? 0 : std::clamp(o.nFilterHz, 150, 3000);
    o.nBandSeed = std::max(o.nBandSeed, 0);
    return o;
}

int TrainingOptions::EffectiveWpmAt(int nWpm) const
{
    return nEffectiveWpm >= 5 && nEffectiveWpm < nWpm ? nEffectiveWpm : 0;
}


TrainingOptions TrainingOptions::Load()
{
    QSettings s(ProfileOrganization(), ProfileApplication());
    auto get = [&](SettingId id) { return ParseSetting(Setting(id), s.value(QLatin1String(Setting(id).pszKey))); };
    TrainingOptions o;
    o.eToneShape = get(kSetToneShape) ? ToneShape::Shaped : ToneShape::Square;
    o.nEdgeMs = get(kSetEdgeMs);
    o.nEffectiveWpm = get(kSetEffectiveWpm);
    o.nKochLesson = get(kSetKochLesson);
    o.bWeightWeak = get(kSetWeightWeak) != 0;
    o.bKochAdvance = get(kSetKochAdvance) != 0;
    o.bKeepHistory = get(kSetKeepHistory) != 0;
    o.nNoiseSnrDb = get(kSetNoiseSnrDb);
    o.nQsbDepthDb = get(kSetQsbDepthDb);
    o.nQsbPeriodS = get(kSetQsbPeriodS);
    o.nQrmStations = get(kSetQrmStations);
    o.nQrmLevelDb = get(kSetQrmLevelDb);
    o.nFistJitterPercent = get(kSetFistJitterPercent);
    o.nFilterHz = get(kSetFilterHz);
    o.nBandSeed = get(kSetBandSeed);
    return o.Clamped();
}

bool TrainingOptions::Save() const
{
    QSettings s(ProfileOrganization(), ProfileApplication());
    auto put = [&](SettingId id, int value) {
        const SettingDef& def = Setting(id);
        if (value == def.nDefault && (value < def.nMin || value > def.nMax))
            s.remove(QLatin1String(def.pszKey)); // off is the key's absence
        else
            s.setValue(QLatin1String(def.pszKey), StoredSetting(def, value));
    };
    put(kSetToneShape, eToneShape == ToneShape::Shaped ? 1 : 0);
    put(kSetEdgeMs, nEdgeMs);
    put(kSetEffectiveWpm, nEffectiveWpm);
    put(kSetKochLesson, nKochLesson);
    put(kSetWeightWeak, bWeightWeak ? 1 : 0);
    put(kSetKochAdvance, bKochAdvance ? 1 : 0);
    put(kSetKeepHistory, bKeepHistory ? 1 : 0);
    put(kSetNoiseSnrDb, nNoiseSnrDb);
    put(kSetQsbDepthDb, nQsbDepthDb);
    put(kSetQsbPeriodS, nQsbPeriodS);
    put(kSetQrmStations, nQrmStations);
    put(kSetQrmLevelDb, nQrmLevelDb);
    put(kSetFistJitterPercent, nFistJitterPercent);
    put(kSetFilterHz, nFilterHz);
    put(kSetBandSeed, nBandSeed);
    s.sync();
    return s.status() == QSettings::NoError;
}
