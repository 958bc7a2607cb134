// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One test written to a sound file instead of played: drawn and keyed as
// Start would, rendered as the device would, as 16-bit PCM WAV.
#include "engine/MorseEngine.h"
#include "settings/Options.h"

#include <QString>

#include <functional>

struct WaveExportResult {
    enum Status { Written, Cancelled, NoPhraseFile, PhraseFileInUse, Failed } eStatus = Failed;
    std::string strSent;  // the text of the test (code page 932)
    QString strError;     // for Failed
};

// engine holds the test's settings (mode, frequency, speed, dot length,
// volume); options are applied as at Start. progress gets 0..1000 and
// returns false to cancel. The sound goes to path and the text to its
// .txt, each replacing an old file only once both are complete on the
// disk; a failure leaves the old files as they were. Neither may be the
// phrase file in use (PhraseFileInUse). No test may be playing.
WaveExportResult ExportTestAsWave(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                                  const std::function<bool(int nPermille)>& progress);

// The text file beside a sound file: the same name with .txt.
QString TextPathFor(const QString& wavePath);

// The same file, through links, or the same absolute path if either does
// not exist yet.
bool IsSameFile(const QString& a, const QString& b);
