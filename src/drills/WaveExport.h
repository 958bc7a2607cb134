// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tests written to a sound file instead of played: drawn and keyed as
// Start would, rendered as the device would (the voice too), as 16-bit
// PCM WAV or MP3 (SoundFile.h).
#include "engine/MorseEngine.h"
#include "settings/Options.h"

#include <QString>

#include <functional>

struct WaveExportResult {
    enum Status { Written, Cancelled, NoPhraseFile, PhraseFileInUse, Failed } eStatus = Failed;
    std::string strSent;  // the text of the test (code page 932)
    long long llSamples = 0; // the sound written, at nRate
    int nRate = 0;
    QString strError;     // for Failed
};

// What goes into the file: the form's test, or call signs or words sent
// as the call-sign window sends them (one a line), for at least nMinutes
// (0: one test).
struct SoundExport {
    enum Content { Form, CallSigns, Words } eContent = Form;
    int nMinutes = 0;
    static constexpr int kMaxMinutes = 180;
};

// engine holds the test's settings (mode, frequency, speed, dot length,
// volume); options are applied as at Start. progress gets 0..1000 and
// returns false to cancel. The sound goes to path and the text to its
// .txt, each replacing an old file only once both are complete on the
// disk; a failure leaves the old files as they were. Neither may be the
// phrase file in use (PhraseFileInUse). No test may be playing.
WaveExportResult ExportTestAsWave(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                                  const std::function<bool(int nPermille)>& progress);
// The same for a chosen content and length, in the format of the path's
// suffix; each further test is drawn anew (a QSO text from a new seed),
// a second of silence after each.
WaveExportResult ExportSound(CMorseEngine& engine, const TrainingOptions& options, const QString& path,
                             const SoundExport& what, const std::function<bool(int nPermille)>& progress);

// The text file beside a sound file: the same name with .txt.
QString TextPathFor(const QString& wavePath);

// The same file, through links, or the same absolute path if either does
// not exist yet.
bool IsSameFile(const QString& a, const QString& b);
