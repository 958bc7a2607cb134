// SPDX-License-Identifier: GPL-3.0-or-later
#include "training/Settings.h"
#include "training/Options.h"

#include <algorithm>
#include <iterator>

static const char* const kToneShapeWords[] = {"square", "shaped"};

static const SettingDef kSettings[] = {
    // id               key                      kind              default min  max  words
    {kSetToneShape,    "Options/ToneShape",    SettingDef::Word, 0,      0,   1,   kToneShapeWords},
    {kSetEdgeMs,       "Options/EdgeMs",       SettingDef::Int,  5,      1,   10,  nullptr},
    {kSetEffectiveWpm, "Options/EffectiveWpm", SettingDef::Int,  0,      0,   119, nullptr},
    {kSetKochLesson,   "Options/KochLesson",   SettingDef::Int,  0,      0,   45,  nullptr},
    {kSetWeightWeak,   "Options/WeightWeak",   SettingDef::Bool, 0,      0,   1,   nullptr},
    {kSetKochAdvance,  "Options/KochAdvance",  SettingDef::Bool, 1,      0,   1,   nullptr},
    {kSetKeepHistory,  "Options/KeepHistory",  SettingDef::Bool, 1,      0,   1,   nullptr},
    {kSetNoiseSnrDb,   "Options/NoiseSnrDb",   SettingDef::Int,  kNoiseOff, -10, 30, nullptr},
    {kSetQsbDepthDb,   "Options/QsbDepthDb",   SettingDef::Int,  0,      0,   30,  nullptr},
    {kSetQsbPeriodS,   "Options/QsbPeriodS",   SettingDef::Int,  10,     2,   60,  nullptr},
    {kSetQrmStations,  "Options/QrmStations",  SettingDef::Int,  0,      0,   3,   nullptr},
    {kSetQrmLevelDb,   "Options/QrmLevelDb",   SettingDef::Int,  -10,    -20, 6,   nullptr},
    {kSetFistJitterPercent, "Options/FistJitterPercent", SettingDef::Int, 0, 0, 30, nullptr},
    {kSetFilterHz,     "Options/FilterHz",     SettingDef::Int,  0,      0,   3000, nullptr},
    {kSetBandSeed,     "Options/BandSeed",     SettingDef::Int,  0,      0,   2147483647, nullptr},
};
static_assert(std::size(kSettings) == kSettingCount);

const SettingDef& Setting(SettingId id) { return kSettings[id]; }

int ParseSetting(const SettingDef& def, const QVariant& stored)
{
    if (!stored.isValid())
        return def.nDefault;
    const QString text = stored.toString().trimmed();
    switch (def.eKind) {
    case SettingDef::Int: {
        bool ok = false;
        const int v = text.toInt(&ok);
        return ok ? std::clamp(v, def.nMin, def.nMax) : def.nDefault;
    }
    case SettingDef::Bool:
        if (text == QLatin1String("true") || text == QLatin1String("1"))
            return 1;
        if (text == QLatin1String("false") || text == QLatin1String("0"))
            return 0;
        return def.nDefault;
    case SettingDef::Word:
        for (int v = def.nMin; v <= def.nMax; ++v)
            if (text == QLatin1String(def.ppszWords[v - def.nMin]))
                return v;
        return def.nDefault;
    }
    return def.nDefault;
}

QVariant StoredSetting(const SettingDef& def, int nValue)
{
    const int v = std::clamp(nValue, def.nMin, def.nMax);
    switch (def.eKind) {
    case SettingDef::Bool:
        return QVariant(v != 0);
    case SettingDef::Word:
        return QVariant(QString::fromLatin1(def.ppszWords[v - def.nMin]));
    case SettingDef::Int:
        break;
    }
    return QVariant(v);
}

QString ProfileOrganization() { return QStringLiteral("Local AppWizard-Generated Applications"); }
QString ProfileApplication() { return QStringLiteral("Dravik"); }
