// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sound file being written: 16-bit PCM WAV, or MP3 through LAME with an
// ID3v2.3 tag (the title, and the text sent as the lyrics). MP3 rather
// than Ogg Opus: every phone and car player plays it, and its tag's
// lyrics are shown by common players. Gapless: the LAME tag gives the
// encoder's delay and padding, so a decoder gives back the exact length.
#include "history/SaveFile.h"

#include <QString>

#include <cstdint>
#include <memory>

enum class SoundFormat { Wave, Mp3 };

// By the name's suffix: .mp3 is MP3, anything else WAV.
SoundFormat SoundFormatFor(const QString& path);

class CSoundFileWriter {
public:
    virtual ~CSoundFileWriter() = default;
    // Into file, which the caller opened and commits.
    virtual bool Begin(CCheckedSave& file, int nRate) = 0;
    virtual bool Add(CCheckedSave& file, const int16_t* samples, size_t n) = 0;
    // Completes the file; title and lyrics where the format keeps them.
    virtual bool End(CCheckedSave& file, const QString& title, const QString& lyrics) = 0;
    // Why the format could not take more (a WAV's 4 GiB), or empty.
    virtual QString Limit() const { return {}; }
    static std::unique_ptr<CSoundFileWriter> Make(SoundFormat eFormat);
};

// The ID3v2.3 tag: TIT2 and USLT in UTF-16 with a byte order mark.
QByteArray Id3Tag(const QString& title, const QString& lyrics);
