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
    return o.Clamped();
}

bool TrainingOptions::Save() const
{
    QSettings s(ProfileOrganization(), ProfileApplication());
    auto put = [&](SettingId id, int value) { s.setValue(QLatin1String(Setting(id).pszKey), StoredSetting(Setting(id), value)); };
    put(kSetToneShape, eToneShape == ToneShape::Shaped ? 1 : 0);
    put(kSetEdgeMs, nEdgeMs);
    put(kSetEffectiveWpm, nEffectiveWpm);
    put(kSetKochLesson, nKochLesson);
    put(kSetWeightWeak, bWeightWeak ? 1 : 0);
    put(kSetKochAdvance, bKochAdvance ? 1 : 0);
    put(kSetKeepHistory, bKeepHistory ? 1 : 0);
    s.sync();
    return s.status() == QSettings::NoError;
}
