// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What ﾌｧｲﾙ > 音声ﾌｧｲﾙに保存 writes: the form's test or call signs or
// words, and for how long.
#include "drills/WaveExport.h"

#include <functional>

class QWidget;

// Asks; false when cancelled. what holds the last choice on entry.
bool AskSoundExport(QWidget* parent, SoundExport& what);

// Tests answer through this hook instead of the modal dialog.
using SoundExportHook = std::function<bool(SoundExport& what)>;
void SetSoundExportHook(SoundExportHook hook);
