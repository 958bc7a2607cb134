// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "audio/ToneRender.h"
#include "audio/WaveOut.h"

#include <SDL2/SDL.h>

#include <QTimer>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class CSdlWaveOut;

// What the audio thread and the device thread touch. It outlives the
// wave-out object until SDL has closed the device, which a stuck sound
// server may delay for as long as it likes; the GUI thread never waits
// for that.
struct SdlStream {
    std::atomic<SDL_AudioDeviceID> dev{0}; // set once the device thread has opened it
    std::atomic<bool> bOpenFailed{false};
    std::mutex mutex;
    CSdlWaveOut* pOwner = nullptr;      // null once the wave-out is gone
    std::vector<int16_t> queue;         // rendered samples at their volume, not yet played
    size_t nPos = 0;
    std::atomic<bool> bPending{false};  // written, done not yet posted
    bool bClosing = false;
    bool bClosePosted = false;
    std::atomic<uint32_t> dwVolume{0xFFFFFFFFu};
    std::atomic<long long> llLastFillMs{0}; // steady clock, last callback
    size_t nDoneMargin = 0;                 // samples
    // Band conditions, heard from the open on, in the gaps and the pause
    // too, at the volume of the last buffer written.
    std::unique_ptr<CBandRender> pBand;
    std::vector<int16_t> mainScratch;
    bool bWritten = false;
    uint32_t dwWrittenVolume = 0;
    ToneShaping shaping;
    // Playing ahead: from the first write on, the audio thread keys the
    // test from the source, and the writes only pace the done notices.
    // They then take no lock, so that the audio thread never waits for
    // the window's thread.
    std::unique_ptr<IKeyedSource> pSource;
    bool bAhead = false; // set by PlayAhead
    long long llQueueBase = 0;   // stream position of queue[0]
    std::deque<long long> ends;  // where each buffer from the source ends
    long long nFirstEnd = 0;     // the buffer number of ends.front()
    std::atomic<long long> nWritten{0}; // writes since playing ahead
    std::vector<unsigned char> keyed;
    bool bRaised = false; // the audio thread's priority
};

// Wave-out over SDL2's audio subsystem. It takes 8-bit keyed buffers and
// plays them at 16 bits, rendered as the tone shaping given at open
// asks (ToneRender.h): key-up and idle are silence, and the volume word's
// share of the tone level is heard.
class CSdlWaveOut final : public CWaveOutBase {
public:
    static CSdlWaveOut* Open(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping);
    ~CSdlWaveOut() override;

    MMRESULT SetVolume(uint32_t dwVolume) override;
    MMRESULT Reset() override;
    MMRESULT Close() override;
    bool IsOpen() const override { return m_pStream->dev.load() != 0; }
    void PlayAhead(std::unique_ptr<IKeyedSource> source) override;

    // Length of an SDL callback (48 ms), which is also what a PulseAudio
    // server holds of the stream: little enough that Stop is heard at
    // once. The audio thread takes the lowest nice value it may, so that
    // a busy machine does not make it late.
    static constexpr int kCallbackMs = 48;
    // Done is posted while this much is still queued, so that the next
    // buffer is in hand before the last sample of this one is played.
    static constexpr int kDoneMarginMs = 400;
    // Silence the stream begins with: a sound server may drop the first
    // few milliseconds of a new stream, which must not be tone.
    static constexpr int kLeadInMs = 40;
    int Rate() const { return m_nRate; }
    // A device that asks for no data this long, or does not open in
    // kOpenTimeoutMs, has failed.
    static constexpr int kStallMs = 2000;
    static constexpr int kOpenTimeoutMs = 10000;
    static constexpr int kWatchMs = 250;
    // Opens and closes still under way on the device thread; every
    // device's output is complete once this is 0.
    static int ClosingCount();

protected:
    MMRESULT Enqueue(const unsigned char* data, uint32_t len) override;

private:
    explicit CSdlWaveOut(WaveOutWindow window);
    static void SDLCALL AudioCallback(void* userdata, Uint8* stream, int len);
    static void Fill(SdlStream& s, Sint16* out, int frames);
    static void AppendKeyed(SdlStream& s, const unsigned char* data, uint32_t len);
    static void TopUp(SdlStream& s, size_t nWanted);
    static bool AheadDone(SdlStream& s, size_t nMargin);
    ToneShaping m_shaping;
    int m_nRate = 8000;
    void OnWatch();

    std::shared_ptr<SdlStream> m_pStream;
    QTimer m_watch;
    bool m_bFailed = false;
    bool m_bReset = false;
};
