// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "audio/WaveOut.h"

#include <string>

// One character per buffer with the gap after it: 15 s at 8000 samples
// per second, room for the longest, a 5 WPM character before a word gap
// at an effective 2 WPM (13.5 s).
constexpr int kToneBufSamples = 120000;
constexpr int kSamplesPerMs = 8;

// Sample values of a tone buffer; nothing else occurs in one.
constexpr unsigned char kKeyUp = 0;
constexpr unsigned char kToneHigh = 192;
constexpr unsigned char kToneLow = 64;

extern unsigned char g_ToneBuf[2][kToneBufSamples];
extern int g_nToneLen[2];
extern int g_nCurBuf;   // buffer last written to the device
extern int g_nGroupPos; // characters keyed in the current group of five

// The one stream of the process.
extern HWAVEOUT g_hWaveOut;
extern WAVEHDR g_WaveHdr;
extern WAVEFORMATEX g_WaveFormat;

// Full path of the phrase file, in the file system's encoding.
extern std::string g_strPhraseFile;
