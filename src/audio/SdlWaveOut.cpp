// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/SdlWaveOut.h"
#include "audio/DeviceThread.h"

#include <SDL2/SDL.h>

#include <csignal>

struct SdlStream : KeyedStream {
    std::atomic<SDL_AudioDeviceID> dev{0}; // set once the device thread has opened it
};

static void SDLCALL AudioCallback(void* userdata, Uint8* stream, int len)
{
    static_cast<SdlStream*>(userdata)->Fill(reinterpret_cast<int16_t*>(stream), len / int(sizeof(int16_t)));
}

SdlStream& CSdlWaveOut::Stream() const { return static_cast<SdlStream&>(*m_pStream); }

// On the device thread, tried again at every open: a server that was
// down may be up now.
static bool InitSdlAudio()
{
    if (SDL_WasInit(SDL_INIT_AUDIO))
        return true;
    // A sound server or pipe that goes away must fail a write, not end us.
    std::signal(SIGPIPE, SIG_IGN);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Dravik");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Morse tone");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

CSdlWaveOut* CSdlWaveOut::Open(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping)
{
    if (!IsKeyedFormat(format))
        return nullptr;
    auto stream = std::make_shared<SdlStream>();
    auto* self = new CSdlWaveOut(window, stream, shaping);
    SDL_AudioSpec want{};
    want.freq = self->Rate();
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = Uint16(self->Rate() * kCallbackMs / 1000);
    want.callback = &AudioCallback;
    want.userdata = stream.get();
    stream->nHeldByServer = size_t(want.samples);
    // What is written meanwhile waits in the queue; a device that cannot
    // be opened is reported by the watch. SDL's audio lives on the device
    // thread, and ends with it.
    CAudioDeviceThread::Instance().SetAtExit([] {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_TLSCleanup();
    });
    CAudioDeviceThread::Instance().Post([stream, want] {
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the server wants.
        const SDL_AudioDeviceID dev = InitSdlAudio() ? SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0) : 0;
        if (dev == 0) {
            stream->bOpenFailed = true;
            return;
        }
        stream->llLastFillMs = SteadyNowMs();
        stream->dev = dev;
        stream->bOpen = true;
        SDL_PauseAudioDevice(dev, 0);
    });
    self->StartWatch();
    return self;
}

void CSdlWaveOut::PostCloseDevice()
{
    // Closing waits for the audio thread, which a stuck server can hold
    // forever: the device thread waits, never the GUI. It runs after the
    // open, so a device still being opened is closed too.
    CAudioDeviceThread::Instance().Post([stream = std::static_pointer_cast<SdlStream>(m_pStream)] {
        stream->bOpen = false;
        if (const SDL_AudioDeviceID dev = stream->dev.exchange(0))
            SDL_CloseAudioDevice(dev);
    });
}

CSdlWaveOut::~CSdlWaveOut()
{
    Detach();
    PostCloseDevice();
}

// What the sound server holds is dropped with the device.
void CSdlWaveOut::DropDevice() { PostCloseDevice(); }

bool CSdlWaveOut::DeviceStopped() const
{
    const SDL_AudioDeviceID dev = Stream().dev.load();
    return dev && SDL_GetAudioDeviceStatus(dev) == SDL_AUDIO_STOPPED;
}
