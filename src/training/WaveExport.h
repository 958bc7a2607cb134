#pragma once
// One test written to a sound file instead of played: drawn and keyed as
// Start would, rendered as the device would, as 16-bit PCM WAV.
#include "engine/MorseEngine.h"
#include "training/Options.h"

#include <QString>

#include <functional>

struct WaveExportResult {
    enum Status { Written, Cancelled, NoPhraseFile, Failed } eStatus = Failed;
    std::string strSent;  // the text of the test (code page 932)
    QString strError;     // for Failed
};

// engine holds the test's settings (mode, frequency, speed, dot length,
// volume); options are applied as at Start. progress gets 0..1000 and
// returns false to cancel. Nothing is left at path (or at its .txt)
// unless the whole test was written. No test may be playing.
WaveExportResult ExportTestAsWave(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                                  const std::function<bool(int nPermille)>& progress);

// The text file beside a sound file: the same name with .txt.
QString TextPathFor(const QString& wavePath);
