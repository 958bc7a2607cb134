// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

#include <QFile>
#include <QStandardPaths>

#include <algorithm>
#include <iterator>
#include <sys/stat.h>

static const char* const kToneShapeWords[] = {"square", "shaped"};
static const char* const kLatinSetWords[] = {"letters", "figures", "punctuation", "prosigns"};
static const char* const kPhraseTextWords[] = {"file", "qso"};
static const char* const kWabunSetWords[] = {"kana", "signs"};
static const char* const kVoiceWords[] = {"off", "character", "group", "item"};

using O = TrainingOptions;
using S = SettingDef;

static constexpr SettingDef kSettings[] = {
    // id                   key                          kind     default    off        min  max   words             member                  in force
    {kSetToneShape,         "Options/ToneShape",         S::Word, 0,         kNoOff,    0,   1,    kToneShapeWords,  &O::eToneShape,         S::Test,  kSetToneShape},
    {kSetEdgeMs,            "Options/EdgeMs",            S::Int,  5,         kNoOff,    1,   10,   nullptr,          &O::nEdgeMs,            S::Test,  kSetEdgeMs},
    {kSetEffectiveWpm,      "Options/EffectiveWpm",      S::Int,  0,         0,         2,   119,  nullptr,          &O::nEffectiveWpm,      S::Test,  kSetEffectiveWpm},
    {kSetKochLesson,        "Options/KochLesson",        S::Int,  0,         kNoOff,    0,   64,   nullptr,          &O::nKochLesson,        S::Test,  kSetKochLesson},
    {kSetLatinSet,          "Options/LatinSet",          S::Word, 0,         kNoOff,    0,   3,    kLatinSetWords,   &O::nLatinSet,          S::Test,  kSetLatinSet},
    {kSetPhraseText,        "Options/PhraseText",        S::Word, 0,         kNoOff,    0,   1,    kPhraseTextWords, &O::nPhraseText,        S::Test,  kSetPhraseText},
    {kSetWabunSet,          "Options/WabunSet",          S::Word, 0,         kNoOff,    0,   1,    kWabunSetWords,   &O::nWabunSet,          S::Test,  kSetWabunSet},
    {kSetWeightWeak,        "Options/WeightWeak",        S::Bool, 0,         kNoOff,    0,   1,    nullptr,          &O::bWeightWeak,        S::Test,  kSetWeightWeak},
    {kSetKochAdvance,       "Options/KochAdvance",       S::Bool, 1,         kNoOff,    0,   1,    nullptr,          &O::bKochAdvance,       S::Test,  kSetKochAdvance},
    {kSetKeepHistory,       "Options/KeepHistory",       S::Bool, 1,         kNoOff,    0,   1,    nullptr,          &O::bKeepHistory,       S::Never, kSetKeepHistory},
    {kSetNoiseSnrDb,        "Options/NoiseSnrDb",        S::Int,  kNoiseOff, kNoiseOff, -10, 30,   nullptr,          &O::nNoiseSnrDb,        S::Band,  kSetNoiseSnrDb},
    {kSetQsbDepthDb,        "Options/QsbDepthDb",        S::Int,  0,         kNoOff,    0,   30,   nullptr,          &O::nQsbDepthDb,        S::Band,  kSetQsbDepthDb},
    {kSetQsbPeriodS,        "Options/QsbPeriodS",        S::Int,  10,        kNoOff,    2,   60,   nullptr,          &O::nQsbPeriodS,        S::Band,  kSetQsbDepthDb},
    {kSetQrmStations,       "Options/QrmStations",       S::Int,  0,         kNoOff,    0,   3,    nullptr,          &O::nQrmStations,       S::Band,  kSetQrmStations},
    {kSetQrmLevelDb,        "Options/QrmLevelDb",        S::Int,  -10,       kNoOff,    -20, 6,    nullptr,          &O::nQrmLevelDb,        S::Band,  kSetQrmStations},
    {kSetFistJitterPercent, "Options/FistJitterPercent", S::Int,  0,         kNoOff,    0,   30,   nullptr,          &O::nFistJitterPercent, S::Band,  kSetFistJitterPercent},
    {kSetFilterHz,          "Options/FilterHz",          S::Int,  0,         0,         150, 3000, nullptr,          &O::nFilterHz,          S::Band,  kSetFilterHz},
    {kSetRoomRt60Ms,        "Options/RoomRt60Ms",        S::Int,  0,         0,         100, 3000, nullptr,          &O::nRoomRt60Ms,        S::Band,  kSetRoomRt60Ms},
    {kSetBandSeed,          "Options/BandSeed",          S::Int,  0,         kNoOff,    0,   INT_MAX, nullptr,       &O::nBandSeed,          S::Band,  kSettingCount},
    {kSetLearnPercent,      "Options/LearnPercent",      S::Int,  90,        kNoOff,    50,  100,  nullptr,          &O::nLearnPercent,      S::Never, kSetLearnPercent},
    {kSetLearnMs,           "Options/LearnMs",           S::Int,  500,       kNoOff,    100, 3000, nullptr,          &O::nLearnMs,           S::Never, kSetLearnMs},
    {kSetSlowMs,            "Options/SlowMs",            S::Int,  2000,      kNoOff,    300, 10000, nullptr,         &O::nSlowMs,            S::Never, kSetSlowMs},
    {kSetKeyLatencyMs,      "Options/KeyLatencyMs",      S::Int,  0,         kNoOff,    0,   1000, nullptr,          &O::nKeyLatencyMs,      S::Never, kSetKeyLatencyMs},
    {kSetDailyGoalMin,      "Options/DailyGoalMin",      S::Int,  0,         0,         1,   600,  nullptr,          &O::nDailyGoalMin,      S::Never, kSetDailyGoalMin},
    {kSetKanaLayout,        "Options/KanaLayout",        S::Bool, 0,         kNoOff,    0,   1,    nullptr,          &O::bKanaLayout,        S::Never, kSetKanaLayout},
    {kSetVoice,             "Options/Voice",             S::Word, 0,         kNoOff,    0,   3,    kVoiceWords,      &O::nVoice,             S::Test,  kSetVoice},
    {kSetVoiceIcao,         "Options/VoiceIcao",         S::Bool, 0,         kNoOff,    0,   1,    nullptr,          &O::bVoiceIcao,         S::Test,  kSetVoice},
    {kSetVoiceBeforeMs,     "Options/VoiceBeforeMs",     S::Int,  300,       kNoOff,    0,   3000, nullptr,          &O::nVoiceBeforeMs,     S::Test,  kSetVoice},
    {kSetVoiceAfterMs,      "Options/VoiceAfterMs",      S::Int,  700,       kNoOff,    0,   5000, nullptr,          &O::nVoiceAfterMs,      S::Test,  kSetVoice},
};
static_assert(std::size(kSettings) == kSettingCount);

static constexpr bool RowsInOrder()
{
    for (int i = 0; i < kSettingCount; ++i)
        if (kSettings[i].eId != i)
            return false;
    return true;
}
static_assert(RowsInOrder());

const SettingDef& Setting(SettingId id) { return kSettings[id]; }

int GetSetting(const TrainingOptions& o, SettingId id)
{
    return std::visit([&](auto member) { return int(o.*member); }, Setting(id).member);
}

void PutSetting(TrainingOptions& o, SettingId id, int nValue)
{
    std::visit([&](auto member) { o.*member = static_cast<std::remove_reference_t<decltype(o.*member)>>(nValue); },
               Setting(id).member);
}

bool IsSettingOn(const SettingDef& def, int nValue) { return nValue != (def.nOff == kNoOff ? 0 : def.nOff); }

static bool InRange(const SettingDef& def, int v) { return v == def.nOff || (v >= def.nMin && v <= def.nMax); }

int ParseSetting(const SettingDef& def, const QVariant& stored)
{
    if (!stored.isValid())
        return def.nDefault;
    const QString text = stored.toString().trimmed();
    switch (def.eKind) {
    case SettingDef::Int: {
        bool ok = false;
        const int v = text.toInt(&ok);
        // Out of range is as unreadable: clamped, it could switch a
        // condition on that the learner never chose.
        return ok && InRange(def, v) ? v : def.nDefault;
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

int ClampSetting(const SettingDef& def, int nValue)
{
    if (def.nOff != kNoOff && def.nOff < def.nMin && nValue <= def.nOff)
        return def.nOff;
    return std::clamp(nValue, def.nMin, def.nMax);
}

QVariant StoredSetting(const SettingDef& def, int nValue)
{
    const int v = ClampSetting(def, nValue);
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

QString SettingsText(const TrainingOptions& options, SettingDef::InForce eGroup)
{
    const TrainingOptions o = options.Clamped();
    QString text;
    for (const SettingDef& def : kSettings) {
        if (def.eInForce != eGroup)
            continue;
        // The seed is the test's own, written by the caller.
        if (def.eShownWith == kSettingCount)
            continue;
        const bool bOwn = eGroup == SettingDef::Test && def.eShownWith == def.eId;
        if (!bOwn && !IsSettingOn(Setting(def.eShownWith), GetSetting(o, def.eShownWith)))
            continue;
        text += QLatin1Char('\n') + SettingLine(o, def.eId);
    }
    return text;
}

QString SettingLine(const TrainingOptions& options, SettingId id)
{
    const SettingDef& def = Setting(id);
    const int v = ClampSetting(def, GetSetting(options, id));
    const QString value =
        def.eKind == SettingDef::Word ? QLatin1String(def.ppszWords[v - def.nMin]) : QString::number(v);
    return QStringLiteral("%1=%2").arg(QLatin1String(def.pszKey + sizeof "Options/" - 1), value);
}

QString ProfileOrganization() { return QStringLiteral("Local AppWizard-Generated Applications"); }
QString ProfileApplication() { return QStringLiteral("Dravik"); }

QString ProfileFilePath()
{
    // Where QSettings keeps a user's native profile on this system.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
        + ProfileOrganization() + QLatin1Char('/') + ProfileApplication() + QStringLiteral(".conf");
}

bool ProfileFileUsable()
{
    struct stat st {};
    if (::stat(QFile::encodeName(ProfileFilePath()).constData(), &st) != 0)
        return true; // none yet: it is made at the first save
    return S_ISREG(st.st_mode);
}
