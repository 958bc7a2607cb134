// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/SdlWaveOut.h"
#include "audio/DeviceThread.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

static long long NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

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

CSdlWaveOut::CSdlWaveOut(WaveOutWindow window) : CWaveOutBase(window), m_pStream(std::make_shared<SdlStream>())
{
    m_pStream->pOwner = this;
    m_pStream->llLastFillMs = NowMs();
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, &CSdlWaveOut::OnWatch);
}

CSdlWaveOut* CSdlWaveOut::Open(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels != 1 || format.wBitsPerSample != 8
        || format.nSamplesPerSec != 8000)
        return nullptr;
    auto* self = new CSdlWaveOut(window);
    self->m_shaping = shaping;
    self->m_pStream->shaping = shaping;
    // Keyed buffers come at 8000 per second; a shaped tone is rendered finer.
    self->m_nRate = RenderRate(self->m_shaping);
    SDL_AudioSpec want{};
    want.freq = self->m_nRate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = Uint16(self->m_nRate * kCallbackMs / 1000);
    want.callback = &CSdlWaveOut::AudioCallback;
    want.userdata = self->m_pStream.get();
    self->m_pStream->nDoneMargin = size_t(self->m_nRate) * kDoneMarginMs / 1000;
    self->m_pStream->queue.assign(size_t(self->m_nRate) * kLeadInMs / 1000, 0);
    if (shaping.band.Active()) {
        self->m_pStream->pBand
            = std::make_unique<CBandRender>(shaping.band, shaping.eShape == ToneShape::Square, self->m_nRate);
        self->m_pStream->mainScratch.resize(want.samples);
    }
    // What is written meanwhile waits in the queue; a device that cannot
    // be opened is reported by the watch. SDL's audio lives on the device
    // thread, and ends with it.
    CAudioDeviceThread::Instance().SetAtExit([] {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        SDL_TLSCleanup();
    });
    CAudioDeviceThread::Instance().Post([stream = self->m_pStream, want] {
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the server wants.
        const SDL_AudioDeviceID dev = InitSdlAudio() ? SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0) : 0;
        if (dev == 0) {
            stream->bOpenFailed = true;
            return;
        }
        stream->llLastFillMs = NowMs();
        stream->dev = dev;
        SDL_PauseAudioDevice(dev, 0);
    });
    self->m_watch.start();
    return self;
}

CSdlWaveOut::~CSdlWaveOut()
{
    {
        std::lock_guard lock(m_pStream->mutex);
        m_pStream->pOwner = nullptr;
    }
    // Closing waits for the audio thread, which a stuck server can hold
    // forever: the device thread waits, never the GUI. It runs after the
    // open, so a device still being opened is closed too.
    CAudioDeviceThread::Instance().Post([stream = m_pStream] {
        if (const SDL_AudioDeviceID dev = stream->dev.exchange(0))
            SDL_CloseAudioDevice(dev);
    });
}

int CSdlWaveOut::ClosingCount() { return CAudioDeviceThread::Instance().Pending(); }

MMRESULT CSdlWaveOut::SetVolume(uint32_t dwVolume)
{
    m_pStream->dwVolume.store(dwVolume);
    return MMSYSERR_NOERROR;
}

void CSdlWaveOut::PlayAhead(std::unique_ptr<IKeyedSource> source)
{
    std::lock_guard lock(m_pStream->mutex);
    m_pStream->pSource = std::move(source);
    m_pStream->bAhead = m_pStream->pSource != nullptr;
}

void CSdlWaveOut::AppendKeyed(SdlStream& s, const unsigned char* data, uint32_t len)
{
    s.queue.erase(s.queue.begin(), s.queue.begin() + std::ptrdiff_t(s.nPos));
    s.llQueueBase += (long long)s.nPos;
    s.nPos = 0;
    const size_t from = s.queue.size();
    RenderKeyed(data, len, s.shaping, s.queue);
    // The volume of this moment: a change is heard from the next buffer
    // on, never inside one.
    const uint32_t vol = s.dwVolume.load();
    for (size_t i = from; i < s.queue.size(); ++i)
        s.queue[i] = ScaleToVolume(s.queue[i], vol);
    s.bWritten = true;
    s.dwWrittenVolume = vol;
}

MMRESULT CSdlWaveOut::Enqueue(const unsigned char* data, uint32_t len)
{
    SdlStream& s = *m_pStream;
    // bAhead and bClosing change only on this thread.
    if (s.bClosing)
        return MMSYSERR_INVALHANDLE;
    if (s.bAhead) {
        // The audio thread keys this buffer itself, on time whenever it
        // was written; the next done waits for this count.
        s.nWritten.fetch_add(1);
    } else {
        std::lock_guard lock(s.mutex);
        AppendKeyed(s, data, len);
    }
    s.bPending = true;
    return MMSYSERR_NOERROR;
}

MMRESULT CSdlWaveOut::Reset()
{
    SdlStream& s = *m_pStream;
    {
        std::lock_guard lock(s.mutex);
        s.queue.clear();
        s.nPos = 0;
        s.pSource.reset();
        s.ends.clear();
        ReturnHeader();
        if (s.bPending.exchange(false))
            PostDone();
    }
    // What the sound server holds is dropped with the device: Stop is
    // heard at once however much it buffers.
    m_bReset = true;
    CAudioDeviceThread::Instance().Post([stream = m_pStream] {
        if (const SDL_AudioDeviceID dev = stream->dev.exchange(0))
            SDL_CloseAudioDevice(dev);
    });
    return MMSYSERR_NOERROR;
}

MMRESULT CSdlWaveOut::Close()
{
    SdlStream& s = *m_pStream;
    std::lock_guard lock(s.mutex);
    if (s.bPending)
        return WAVERR_STILLPLAYING;
    if (s.bClosing)
        return MMSYSERR_INVALHANDLE;
    s.bClosing = true;
    s.pSource.reset(); // no write will bring more
    // What is written plays to its end; the callback posts the close then.
    // A device that failed, or was reset, plays nothing more.
    if (s.nPos >= s.queue.size() || m_bFailed || m_bReset) {
        s.bClosePosted = true;
        PostClose();
    }
    return MMSYSERR_NOERROR;
}

void CSdlWaveOut::OnWatch()
{
    if (m_bFailed || m_bReset)
        return;
    // A device that did not open, that stopped asking for data, or that
    // SDL has given up on (write errors), cannot finish the test.
    const SDL_AudioDeviceID dev = m_pStream->dev.load();
    // A sound server that is started on demand may take a while to open.
    const bool bStalled = NowMs() - m_pStream->llLastFillMs.load() > (dev ? kStallMs : kOpenTimeoutMs);
    if (m_pStream->bOpenFailed || bStalled || (dev && SDL_GetAudioDeviceStatus(dev) == SDL_AUDIO_STOPPED)) {
        m_bFailed = true;
        m_watch.stop();
        PostError();
    }
}

void SDLCALL CSdlWaveOut::AudioCallback(void* userdata, Uint8* stream, int len)
{
    Fill(*static_cast<SdlStream*>(userdata), reinterpret_cast<Sint16*>(stream), len / int(sizeof(Sint16)));
}

void CSdlWaveOut::TopUp(SdlStream& s, size_t nWanted)
{
    while (s.pSource && s.queue.size() - s.nPos < nWanted) {
        if (!s.pSource->Next(s.keyed)) {
            s.pSource.reset();
            break;
        }
        AppendKeyed(s, s.keyed.data(), uint32_t(s.keyed.size()));
        s.ends.push_back(s.llQueueBase + (long long)s.queue.size());
    }
}

bool CSdlWaveOut::AheadDone(SdlStream& s, size_t nMargin)
{
    // The write in hand is buffer nWritten - 1; earlier ones are done.
    const long long nBuf = s.nWritten.load() - 1;
    while (!s.ends.empty() && s.nFirstEnd < nBuf) {
        s.ends.pop_front();
        ++s.nFirstEnd;
    }
    if (!s.ends.empty() && s.nFirstEnd == nBuf)
        return s.llQueueBase + (long long)s.nPos + (long long)nMargin >= s.ends.front();
    // Written beyond what the source keyed: done once all is played.
    return !s.pSource && s.nPos >= s.queue.size();
}

// On the audio thread: a thread that runs late lets the server run dry.
// SDL asks for nice -20, or RealtimeKit's least nice value; where neither
// is granted, the lowest nice value the user's limit allows. Not real
// time: under load, a real-time audio thread made the stream glitch.
static void RaiseAudioThread()
{
    const auto tid = id_t(syscall(SYS_gettid));
    for (int nice = -20; nice < getpriority(PRIO_PROCESS, tid); ++nice)
        if (setpriority(PRIO_PROCESS, tid, nice) == 0)
            return;
}

void CSdlWaveOut::Fill(SdlStream& s, Sint16* out, int frames)
{
    if (!s.bRaised) {
        s.bRaised = true;
        RaiseAudioThread();
    }
    s.llLastFillMs.store(NowMs());
    std::lock_guard lock(s.mutex);
    const size_t margin = std::max(size_t(2 * frames), s.nDoneMargin);
    // Keyed ahead far enough that the done notice of every buffer can be
    // given on time.
    if (s.bAhead && s.nWritten.load() > 0)
        TopUp(s, size_t(frames) + margin);
    if (s.pBand) {
        if (s.mainScratch.size() < size_t(frames))
            s.mainScratch.resize(size_t(frames));
        for (int i = 0; i < frames; ++i)
            s.mainScratch[size_t(i)] = s.nPos < s.queue.size() ? s.queue[s.nPos++] : 0;
        const uint32_t vol = s.bWritten ? s.dwWrittenVolume : s.dwVolume.load();
        s.pBand->Process(s.mainScratch.data(), size_t(frames), VolumeFactor(vol), out);
    } else {
        for (int i = 0; i < frames; ++i)
            out[i] = s.nPos < s.queue.size() ? s.queue[s.nPos++] : 0;
    }
    if (!s.pOwner)
        return;
    const size_t left = s.queue.size() - s.nPos;
    if (s.bPending.load() && (s.bAhead ? AheadDone(s, margin) : left <= margin)) {
        s.bPending = false;
        s.pOwner->PostDone();
    }
    if (s.bClosing && !s.bClosePosted && left == 0) {
        s.bClosePosted = true;
        s.pOwner->PostClose();
    }
}
