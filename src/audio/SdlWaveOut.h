// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "audio/KeyedStream.h"

struct SdlStream;

// Wave-out over SDL2's audio subsystem, for any sound system SDL knows.
class CSdlWaveOut final : public CStreamWaveOut {
public:
    static CSdlWaveOut* Open(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping);
    ~CSdlWaveOut() override;

    // Length of an SDL callback (48 ms), which is also what a PulseAudio
    // server holds of the stream: SDL cannot drop what the server holds,
    // so it must be little for Stop to be heard at once.
    static constexpr int kCallbackMs = 48;

protected:
    void DropDevice() override;
    bool DeviceStopped() const override;

private:
    using CStreamWaveOut::CStreamWaveOut;
    SdlStream& Stream() const;
    void PostCloseDevice();
};
