// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "audio/KeyedStream.h"

#include <QByteArray>

struct PulseStream;

// Wave-out straight to a PulseAudio server (or PipeWire's), which SDL
// cannot do: the server holds a long buffer, so that an audio thread
// that runs late on a busy machine is not heard, and Stop drops that
// buffer at once.
class CPulseWaveOut final : public CStreamWaveOut {
public:
    static CPulseWaveOut* Open(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping);
    ~CPulseWaveOut() override;

    // What the server holds ahead of the ear; the audio thread is asked
    // for kRequestMs at a time, so it may run late by the difference.
    static constexpr int kServerBufferMs = 200;
    static constexpr int kRequestMs = 40;
    // A server to connect to without starting one: one that listens on
    // the user's session socket, or PULSE_SERVER.
    static bool ServerPresent();

protected:
    void DropDevice() override;

private:
    using CStreamWaveOut::CStreamWaveOut;
    PulseStream& Stream() const;
    void PostTearDown();
    bool m_bDropped = false;
};

// Whether OpenSoundDevice takes PulseAudio's device, given DRAVIK_AUDIO,
// SDL_AUDIODRIVER and whether a server is there.
bool PreferPulse(const QByteArray& choice, const QByteArray& sdlDriver, bool bServerPresent);
// The device the program plays through: PulseAudio's where a server is
// running and no other SDL driver is asked for (SDL_AUDIODRIVER), else
// SDL's. DRAVIK_AUDIO=sdl or =pulse chooses.
IWaveOut* OpenSoundDevice(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping);
