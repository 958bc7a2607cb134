// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/KeyedStream.h"
#include "audio/DeviceThread.h"

#include <algorithm>
#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

long long SteadyNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

long long SteadyNowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

bool IsKeyedFormat(const WAVEFORMATEX& format)
{
    return format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels == 1 && format.wBitsPerSample == 8
        && format.nSamplesPerSec == 8000;
}

CStreamWaveOut::CStreamWaveOut(WaveOutWindow window, std::shared_ptr<KeyedStream> stream,
                               const ToneShaping& shaping)
    : CWaveOutBase(window), m_pStream(std::move(stream))
{
    KeyedStream& s = *m_pStream;
    s.pOwner = this;
    s.llLastFillMs = SteadyNowMs();
    s.pChain = std::make_unique<CToneChain>(shaping);
    // Keyed buffers come at 8000 per second; a shaped tone is rendered finer.
    m_nRate = s.pChain->Rate();
    s.nDoneMargin = size_t(m_nRate) * kDoneMarginMs / 1000;
    s.queue.assign(size_t(m_nRate) * kLeadInMs / 1000, 0);
    m_watch.setInterval(kWatchMs);
    connect(&m_watch, &QTimer::timeout, this, &CStreamWaveOut::OnWatch);
}

CStreamWaveOut::~CStreamWaveOut() { Detach(); }

void CStreamWaveOut::Detach()
{
    std::lock_guard lock(m_pStream->mutex);
    m_pStream->pOwner = nullptr;
}

int CStreamWaveOut::ClosingCount() { return CAudioDeviceThread::Instance().Pending(); }

MMRESULT CStreamWaveOut::SetVolume(uint32_t dwVolume)
{
    m_pStream->dwVolume.store(dwVolume);
    return MMSYSERR_NOERROR;
}

void CStreamWaveOut::PlayAhead(std::unique_ptr<IKeyedSource> source)
{
    std::lock_guard lock(m_pStream->mutex);
    m_pStream->pSource = std::move(source);
    m_pStream->bAhead = m_pStream->pSource != nullptr;
}

long long KeyedStream::AppendKeyed(const unsigned char* data, uint32_t len)
{
    queue.erase(queue.begin(), queue.begin() + std::ptrdiff_t(nPos));
    llQueueBase += static_cast<long long>(nPos);
    nPos = 0;
    // The volume of this moment: a change is heard from the next buffer
    // on, never inside one.
    const uint32_t vol = dwVolume.load();
    const size_t nFrom = queue.size();
    pChain->AppendKeyed(data, len, vol, queue);
    const auto sounding = [](int16_t v) { return v != 0; };
    const auto first = std::find_if(queue.begin() + std::ptrdiff_t(nFrom), queue.end(), sounding);
    if (first != queue.end()) {
        if (llFirstTone < 0)
            llFirstTone = llQueueBase + (first - queue.begin());
        const auto last = std::find_if(queue.rbegin(), queue.rend() - std::ptrdiff_t(nFrom), sounding);
        llLastTone = llQueueBase + (queue.rend() - last) - 1;
    }
    bWritten = true;
    dwWrittenVolume = vol;
    return llQueueBase + static_cast<long long>(nFrom);
}

void KeyedStream::OverlayVoices(int16_t* out, int frames, long long llOutPos)
{
    const long long llEnd = llOutPos + frames;
    const double gain = pChain->VoiceGain(bWritten ? dwWrittenVolume : dwVolume.load());
    for (const PlacedVoice& v : voices)
        if (v.llAt < llEnd)
            OverlayVoice(out, size_t(frames), llOutPos, *v.pSamples, v.llAt, gain);
    while (!voices.empty() && voices.front().llAt + static_cast<long long>(voices.front().pSamples->size()) <= llEnd)
        voices.pop_front();
}

MMRESULT CStreamWaveOut::Enqueue(const unsigned char* data, uint32_t len)
{
    KeyedStream& s = *m_pStream;
    // bAhead and bClosing change only on this thread.
    if (s.bClosing)
        return MMSYSERR_INVALHANDLE;
    if (s.bAhead) {
        // The audio thread keys this buffer itself, on time whenever it
        // was written; the next done waits for this count.
        s.nWritten.fetch_add(1);
    } else {
        std::lock_guard lock(s.mutex);
        s.AppendKeyed(data, len);
    }
    s.bPending = true;
    return MMSYSERR_NOERROR;
}

MMRESULT CStreamWaveOut::Reset()
{
    KeyedStream& s = *m_pStream;
    {
        std::lock_guard lock(s.mutex);
        s.queue.clear();
        s.nPos = 0;
        s.pSource.reset();
        s.ends.clear();
        s.voices.clear();
        ReturnHeader();
        if (s.bPending.exchange(false))
            PostDone();
    }
    m_bReset = true;
    DropDevice();
    return MMSYSERR_NOERROR;
}

MMRESULT CStreamWaveOut::Close()
{
    KeyedStream& s = *m_pStream;
    std::lock_guard lock(s.mutex);
    if (s.bPending)
        return WAVERR_STILLPLAYING;
    if (s.bClosing)
        return MMSYSERR_INVALHANDLE;
    s.bClosing = true;
    s.pSource.reset(); // no write will bring more
    // A device that failed, or was reset, plays nothing more. Otherwise
    // what is written plays to its end, and what the server holds of it
    // too; the audio thread posts the close then.
    if (m_bFailed || m_bReset) {
        s.bClosePosted = true;
        PostClose();
    } else {
        s.queue.insert(s.queue.end(), s.nHeldByServer, 0);
    }
    return MMSYSERR_NOERROR;
}

void CStreamWaveOut::OnWatch()
{
    if (m_bFailed || m_bReset)
        return;
    // A device that did not open, that stopped asking for data, or that
    // the library has given up on (write errors), cannot finish the test.
    const bool bOpen = m_pStream->bOpen.load();
    // A sound server that is started on demand may take a while to open.
    const bool bStalled = SteadyNowMs() - m_pStream->llLastFillMs.load() > (bOpen ? kStallMs : kOpenTimeoutMs);
    if (m_pStream->bOpenFailed || m_pStream->bDeviceFailed || bStalled || (bOpen && DeviceStopped())) {
        m_bFailed = true;
        m_watch.stop();
        PostError();
    }
}

void KeyedStream::SetHeard(long long llPos)
{
    std::lock_guard lock(mutex);
    bDeviceClock = true;
    bHeardKnown = true;
    llHeardPos = llPos;
    llHeardNs = SteadyNowNs();
}

long long KeyedStream::HeardNs(long long llPos, int nRate) const
{
    return llHeardNs + (llPos - llHeardPos) * 1000000000LL / nRate;
}

bool CStreamWaveOut::Heard(ToneHeard& heard) const
{
    KeyedStream& s = *m_pStream;
    std::lock_guard lock(s.mutex);
    if (s.llFirstTone < 0 || !s.bHeardKnown)
        return false;
    heard.llStartNs = s.HeardNs(s.llFirstTone, m_nRate);
    heard.llEndNs = s.HeardNs(s.llLastTone + 1, m_nRate);
    heard.bComplete = (s.bAhead && !s.pSource) || s.bClosing;
    return true;
}

void KeyedStream::TopUp(size_t nWanted)
{
    while (pSource && queue.size() - nPos < nWanted) {
        if (!pSource->Next(keyed)) {
            pSource.reset();
            break;
        }
        const long long llAt = AppendKeyed(keyed.data(), uint32_t(keyed.size()));
        ends.push_back(llQueueBase + static_cast<long long>(queue.size()));
        KeyedVoice voice;
        if (pSource->NextVoice(voice) && voice.pSamples)
            voices.push_back({voice.pSamples, pChain->VoiceAt(voice.nAtKeyed, llAt)});
    }
}

bool KeyedStream::AheadDone()
{
    // The write in hand is buffer nWritten - 1; earlier ones are done.
    const long long nBuf = nWritten.load() - 1;
    while (!ends.empty() && nFirstEnd < nBuf) {
        ends.pop_front();
        ++nFirstEnd;
    }
    // Done once heard to its end: the next write then comes as its
    // first sound is heard.
    if (!ends.empty() && nFirstEnd == nBuf)
        return llQueueBase + static_cast<long long>(nPos) - static_cast<long long>(nHeldByServer) >= ends.front();
    // Written beyond what the source keyed: done once all is played.
    return !pSource && nPos >= queue.size();
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

void KeyedStream::Fill(int16_t* out, int frames)
{
    if (!bRaised) {
        bRaised = true;
        RaiseAudioThread();
    }
    llLastFillMs.store(SteadyNowMs());
    std::lock_guard lock(mutex);
    if (!bDeviceClock) {
        // What the server holds is played before this fill is.
        llHeardPos = llQueueBase + static_cast<long long>(nPos) - static_cast<long long>(nHeldByServer);
        llHeardNs = SteadyNowNs();
        bHeardKnown = true;
    }
    // Keyed no further ahead than this fill needs, so that a volume
    // change is heard soon, from the next character on.
    if (bAhead && nWritten.load() > 0)
        TopUp(size_t(frames));
    // Silence once the queue runs dry; it counts as played, so that the
    // stream's positions stay those of the ear.
    const bool bBand = pChain->HasBand();
    if (bBand && mainScratch.size() < size_t(frames))
        mainScratch.resize(size_t(frames));
    int16_t* const main = bBand ? mainScratch.data() : out;
    const size_t nQueued = std::min(queue.size() - nPos, size_t(frames));
    const long long llOutPos = llQueueBase + static_cast<long long>(nPos);
    std::copy_n(queue.begin() + std::ptrdiff_t(nPos), nQueued, main);
    std::fill(main + nQueued, main + frames, int16_t(0));
    nPos += nQueued;
    llQueueBase += static_cast<long long>(size_t(frames) - nQueued);
    if (bBand)
        pChain->Band(main, size_t(frames), bWritten ? dwWrittenVolume : dwVolume.load(), out);
    if (!voices.empty())
        OverlayVoices(out, frames, llOutPos);
    if (!pOwner)
        return;
    const size_t left = queue.size() - nPos;
    // Written buffers are done while this much is still queued, so that
    // the next one is in hand before the last sample of this one plays.
    const size_t margin = std::max(size_t(2 * frames), nDoneMargin);
    if (bPending.load() && (bAhead ? AheadDone() : left <= margin)) {
        bPending = false;
        pOwner->PostDone();
    }
    if (bClosing && !bClosePosted && left == 0) {
        bClosePosted = true;
        pOwner->PostClose();
    }
}
