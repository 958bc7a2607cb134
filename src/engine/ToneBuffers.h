// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "audio/WaveOut.h"

#include <string>

// One character per buffer: 10 s at 8000 samples per second.
constexpr int kToneBufSamples = 80000;
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
