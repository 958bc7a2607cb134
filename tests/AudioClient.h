// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window that a device reports to, for the devices' tests.
#include "audio/WaveOut.h"

#include <QObject>

// A window that counts the device's notifications.
class CCountingClient : public QObject, public IWaveOutClient {
public:
    int nDone = 0;
    int nClose = 0;
    void OnWomDone(HWAVEOUT) override { ++nDone; }
    void OnWomClose(HWAVEOUT) override { ++nClose; }
    void OnWomError(HWAVEOUT) override { ++nError; }
    int nError = 0;
    WaveOutWindow Window() { return {this, this}; }
    // An 8 kHz 8-bit device reporting to this window.
    HWAVEOUT Open()
    {
        const WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
        HWAVEOUT hwo = nullptr;
        return waveOutOpen(&hwo, WAVE_MAPPER, &fmt, Window(), 0, CALLBACK_WINDOW) == MMSYSERR_NOERROR ? hwo : nullptr;
    }
};

// Prepares and writes a header over the buffer.
inline MMRESULT Write(HWAVEOUT hwo, WAVEHDR& hdr, unsigned char* data, uint32_t len)
{
    hdr = WAVEHDR{};
    hdr.lpData = data;
    hdr.dwBufferLength = len;
    waveOutPrepareHeader(hwo, &hdr, sizeof hdr);
    return waveOutWrite(hwo, &hdr, sizeof hdr);
}
