// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ToneBuffers.h"

unsigned char g_ToneBuf[2][kToneBufSamples];
int g_nToneLen[2];
int g_nCurBuf = 0;
int g_nGroupPos = 0;

HWAVEOUT g_hWaveOut = nullptr;
WAVEHDR g_WaveHdr;
WAVEFORMATEX g_WaveFormat;

std::string g_strPhraseFile;
