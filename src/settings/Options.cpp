// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Options.h"

#include "settings/Settings.h"

#include <algorithm>

TrainingOptions TrainingOptions::Clamped() const
{
    TrainingOptions o = *this;
    for (int id = 0; id < kSettingCount; ++id)
        PutSetting(o, SettingId(id), ClampSetting(Setting(SettingId(id)), GetSetting(o, SettingId(id))));
    return o;
}

int TrainingOptions::EffectiveWpmAt(int nWpm) const
{
    return nEffectiveWpm >= Setting(kSetEffectiveWpm).nMin && nEffectiveWpm < nWpm ? nEffectiveWpm : 0;
}


QString KochAdvanceText(int nFrom, int nTo)
{
    return QStringLiteral("ｺｯﾎ法 レッスン %1 → %2 (2回続けて90%以上でした)").arg(nFrom).arg(nTo);
}

TrainingOptions TrainingOptions::Load()
{
    TrainingOptions o;
    if (!ProfileFileUsable())
        return o;
    QSettings s(ProfileOrganization(), ProfileApplication());
    for (int id = 0; id < kSettingCount; ++id) {
        const SettingDef& def = Setting(SettingId(id));
        PutSetting(o, def.eId, ParseSetting(def, s.value(QLatin1String(def.pszKey))));
    }
    return o;
}

bool TrainingOptions::Save() const
{
    if (!ProfileFileUsable())
        return false;
    QSettings s(ProfileOrganization(), ProfileApplication());
    for (int id = 0; id < kSettingCount; ++id) {
        const SettingDef& def = Setting(SettingId(id));
        const int value = GetSetting(*this, def.eId);
        if (def.nOff != kNoOff && value == def.nOff && value == def.nDefault)
            s.remove(QLatin1String(def.pszKey)); // off is the key's absence
        else
            s.setValue(QLatin1String(def.pszKey), StoredSetting(def, value));
    }
    s.setValue(QStringLiteral("Options/Version"), kSettingsVersion);
    s.sync();
    return s.status() == QSettings::NoError;
}
