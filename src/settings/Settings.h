// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every option kept in the framework's profile, as one table: its key,
// kind, default, range, where it lives in TrainingOptions and whether it
// goes into the options a test records. Load, Save, clamping, the
// options dialog's limits and the history's options in force are all
// made from it.
#include "settings/Options.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <climits>
#include <variant>

enum SettingId {
    kSetToneShape,
    kSetEdgeMs,
    kSetEffectiveWpm,
    kSetKochLesson,
    kSetLatinSet,
    kSetPhraseText,
    kSetWabunSet,
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
    kSetRoomRt60Ms,
    kSetBandSeed,
    kSetLearnPercent,
    kSetLearnMs,
    kSetSlowMs,
    kSetKeyLatencyMs,
    kSetDailyGoalMin,
    kSetKanaLayout,
    kSetVoice,
    kSetVoiceIcao,
    kSetVoiceBeforeMs,
    kSetVoiceAfterMs,
    kSettingCount,
};

// The profile's layout; a later one migrates the keys of those before.
constexpr int kSettingsVersion = 1;
// A setting with no value that stands for off.
constexpr int kNoOff = INT_MIN;

struct SettingDef {
    SettingId eId;
    const char* pszKey; // in the profile; after "Options/", in the options in force
    enum Kind { Int, Bool, Word } eKind;
    int nDefault;
    int nOff;           // off, kept as the key's absence; kNoOff: none
    int nMin;           // the range of the values that are on
    int nMax;
    // Word: the stored words of the values nMin..nMax, in order.
    const char* const* ppszWords;
    std::variant<int TrainingOptions::*, bool TrainingOptions::*, ToneShape TrainingOptions::*> member;
    // In the options a test records: the copy test's own, and a band
    // condition, while the setting named here is on (a copy test's setting
    // named with itself always; kSettingCount: the caller writes it, as the
    // test's seed).
    enum InForce { Never, Test, Band } eInForce;
    SettingId eShownWith;
};

const SettingDef& Setting(SettingId id);

// A setting's value in options, and the options with it set.
int GetSetting(const TrainingOptions& options, SettingId id);
void PutSetting(TrainingOptions& options, SettingId id, int nValue);
// On: not its off value (without one, not 0).
bool IsSettingOn(const SettingDef& def, int nValue);

// A stored value read as its setting says: off, or within the range; the
// default when it is absent, does not parse or is out of range.
int ParseSetting(const SettingDef& def, const QVariant& stored);
// A value put into the range, as a box of the options dialog is: off
// stays off, and so does anything at or below an off under the range.
int ClampSetting(const SettingDef& def, int nValue);
QVariant StoredSetting(const SettingDef& def, int nValue);

// The options of a group as "Key=value", each line after a line break.
QString SettingsText(const TrainingOptions& options, SettingDef::InForce eGroup);
// One option so.
QString SettingLine(const TrainingOptions& options, SettingId id);

// The profile: "Local AppWizard-Generated Applications" / "Dravik".
QString ProfileOrganization();
QString ProfileApplication();
// The profile's file, and whether it may be read and written: anything
// there but a regular file (a FIFO would hang the reader) is left alone,
// and the options are the defaults and are not kept.
QString ProfileFilePath();
bool ProfileFileUsable();
