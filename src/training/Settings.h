// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every option kept in the framework's profile, as one table: its key,
// default, range and how its stored text is read. The program loads and
// saves through it and the options dialog takes its ranges from it.
#include <QSettings>
#include <QString>
#include <QVariant>

enum SettingId {
    kSetToneShape,
    kSetEdgeMs,
    kSetEffectiveWpm,
    kSetKochLesson,
    kSetWeightWeak,
    kSetKochAdvance,
    kSetKeepHistory,
    kSetNoiseSnrDb,
    kSetQsbDepthDb,
    kSetQsbPeriodS,
    kSetQrmStations,
    kSetQrmLevelDb,
    kSetFistJitterPercent,
    kSetFilterHz,
    kSetBandSeed,
    kSettingCount,
};

struct SettingDef {
    SettingId eId;
    const char* pszKey;
    enum Kind { Int, Bool, Word } eKind;
    int nDefault; // outside nMin..nMax: the setting is off while absent
    int nMin;
    int nMax;
    // Word: the stored words of the values nMin..nMax, in order.
    const char* const* ppszWords;
};

const SettingDef& Setting(SettingId id);

// A stored value read as its setting says: within the range, or the
// default when it is absent or does not parse.
int ParseSetting(const SettingDef& def, const QVariant& stored);
QVariant StoredSetting(const SettingDef& def, int nValue);

// The profile: "Local AppWizard-Generated Applications" / "Dravik".
QString ProfileOrganization();
QString ProfileApplication();
