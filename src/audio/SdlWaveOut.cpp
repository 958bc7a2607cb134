#include "audio/SdlWaveOut.h"

#include <cstring>

static bool InitSdlAudio()
{
    static const bool s_ok = [] {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Dravik");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Morse tone");
        return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }();
    return s_ok;
}

CSdlWaveOut::CSdlWaveOut(WaveOutWindow window) : CWaveOutBase(window) {}

CSdlWaveOut* CSdlWaveOut::Open(const WAVEFORMATEX& format, WaveOutWindow window)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels != 1 || format.wBitsPerSample != 8
        || format.nSamplesPerSec == 0)
        return nullptr;
    if (!InitSdlAudio())
        return nullptr;
    auto* self = new CSdlWaveOut(window);
    SDL_AudioSpec want{};
    want.freq = int(format.nSamplesPerSec);
    want.format = AUDIO_U8;
    want.channels = 1;
    want.samples = kCallbackFrames;
    want.callback = &CSdlWaveOut::AudioCallback;
    want.userdata = self;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the server wants.
    self->m_dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (self->m_dev == 0) {
        delete self;
        return nullptr;
    }
    SDL_PauseAudioDevice(self->m_dev, 0);
    return self;
}

CSdlWaveOut::~CSdlWaveOut()
{
    if (m_dev)
        SDL_CloseAudioDevice(m_dev); // waits for a running callback
}

MMRESULT CSdlWaveOut::SetVolume(uint32_t dwVolume)
{
    m_dwVolume.store(dwVolume);
    return MMSYSERR_NOERROR;
}

MMRESULT CSdlWaveOut::Enqueue(const unsigned char* data, uint32_t len)
{
    std::lock_guard lock(m_mutex);
    if (m_bClosing)
        return MMSYSERR_INVALHANDLE;
    m_queue.erase(m_queue.begin(), m_queue.begin() + std::ptrdiff_t(m_nPos));
    m_nPos = 0;
    m_queue.insert(m_queue.end(), data, data + len);
    m_bPending = true;
    return MMSYSERR_NOERROR;
}

MMRESULT CSdlWaveOut::Reset()
{
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_nPos = 0;
    ReturnHeader();
    if (m_bPending) {
        m_bPending = false;
        PostDone();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CSdlWaveOut::Close()
{
    std::lock_guard lock(m_mutex);
    if (m_bPending)
        return WAVERR_STILLPLAYING;
    if (m_bClosing)
        return MMSYSERR_INVALHANDLE;
    m_bClosing = true;
    // What is written plays to its end; the callback posts the close then.
    if (m_nPos >= m_queue.size()) {
        m_bClosePosted = true;
        PostClose();
    }
    return MMSYSERR_NOERROR;
}

void SDLCALL CSdlWaveOut::AudioCallback(void* userdata, Uint8* stream, int len)
{
    static_cast<CSdlWaveOut*>(userdata)->Fill(stream, len);
}

void CSdlWaveOut::Fill(Uint8* stream, int len)
{
    const int vol = int(m_dwVolume.load() & 0xFFFF);
    std::lock_guard lock(m_mutex);
    for (int i = 0; i < len; ++i) {
        int s = m_nPos < m_queue.size() ? m_queue[m_nPos++] : 0;
        stream[i] = Uint8(s == 0 ? 128 : 128 + (s - 128) * vol / 65535);
    }
    const size_t left = m_queue.size() - m_nPos;
    if (m_bPending && left <= size_t(2 * len)) {
        m_bPending = false;
        PostDone();
    }
    if (m_bClosing && !m_bClosePosted && left == 0) {
        m_bClosePosted = true;
        PostClose();
    }
}
