// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the devices' tests share: a window that a device reports to, and
// the runs of tone and silence in the sound a device made.
#include "audio/WaveOut.h"

#include <QByteArray>
#include <QObject>

#include <cstdlib>
#include <vector>

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

// Lengths in samples of the tone and silence runs of 16-bit sound,
// alternating from the first tone on: a tone sample reaches threshold, and
// a silence is minGap quiet samples or more (a sine's zero crossings are
// not one).
inline std::vector<int> ToneRuns(const QByteArray& raw, int threshold, int minGap)
{
    const auto* pcm = reinterpret_cast<const qint16*>(raw.constData());
    std::vector<int> runs;
    int lastTone = -1, start = -1;
    for (int i = 0; i < int(raw.size() / 2); ++i) {
        if (std::abs(pcm[i]) < threshold)
            continue;
        if (start < 0) {
            start = i;
        } else if (i - lastTone - 1 >= minGap) {
            runs.push_back(lastTone + 1 - start);
            runs.push_back(i - lastTone - 1);
            start = i;
        }
        lastTone = i;
    }
    if (start >= 0)
        runs.push_back(lastTone + 1 - start);
    return runs;
}
