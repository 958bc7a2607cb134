// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a wave-out device over a sound library shares with its audio
// thread: the keyed buffers rendered and queued, played ahead from the
// test's source, and the done and close notices given as they are heard.
#include "audio/Band.h"
#include "audio/ToneRender.h"
#include "audio/WaveOut.h"

#include <QTimer>

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

class CStreamWaveOut;

// It outlives the wave-out object until the device is closed, which a
// stuck sound server may delay for as long as it likes; the GUI thread
// never waits for that.
struct KeyedStream {
    virtual ~KeyedStream() = default;
    std::atomic<bool> bOpen{false};       // set once the device thread has opened it
    std::atomic<bool> bOpenFailed{false};
    std::atomic<bool> bDeviceFailed{false}; // the server dropped the stream
    std::mutex mutex;
    CStreamWaveOut* pOwner = nullptr;     // null once the wave-out is gone
    std::vector<int16_t> queue;           // rendered samples at their volume, not yet played
    size_t nPos = 0;
    std::atomic<bool> bPending{false};    // written, done not yet posted
    bool bClosing = false;
    bool bClosePosted = false;
    std::atomic<uint32_t> dwVolume{0xFFFFFFFFu};
    std::atomic<long long> llLastFillMs{0}; // steady clock, last fill
    size_t nDoneMargin = 0;                 // samples
    // What the server holds ahead of the ear, in samples: from the
    // source, a buffer is done once it has been heard, as on the
    // designed device, so that the graph shows what is heard.
    size_t nHeldByServer = 0;
    // Band conditions, heard from the open on, in the gaps and the pause
    // too, at the volume of the last buffer written.
    std::unique_ptr<CToneChain> pChain; // set at construction
    std::vector<int16_t> mainScratch;
    bool bWritten = false;
    uint32_t dwWrittenVolume = 0;
    // Playing ahead: from the first write on, the audio thread keys the
    // test from the source, and the writes only pace the done notices.
    // They then take no lock, so that the audio thread never waits for
    // the window's thread.
    std::unique_ptr<IKeyedSource> pSource;
    bool bAhead = false;         // set by PlayAhead
    long long llQueueBase = 0;   // stream position of queue[0]
    std::deque<long long> ends;  // where each buffer from the source ends
    long long nFirstEnd = 0;     // the buffer number of ends.front()
    std::atomic<long long> nWritten{0}; // writes since playing ahead
    std::vector<unsigned char> keyed;
    bool bRaised = false; // the audio thread's priority
    // Where the tone sounds in the stream: its first and last sounding
    // samples (-1: none yet), and which sample the ear hears at a moment
    // of the steady clock. A device that knows its play-out position sets
    // that with SetHeard; otherwise each fill takes what the server holds
    // as the distance to the ear.
    long long llFirstTone = -1, llLastTone = -1;
    long long llHeardPos = 0, llHeardNs = 0;
    bool bHeardKnown = false;
    bool bDeviceClock = false;
    // Voices said in the silence the keying left for them, each from its
    // stream position on, laid over what the band conditions make.
    struct PlacedVoice {
        VoiceSamples pSamples;
        long long llAt;
    };
    std::deque<PlacedVoice> voices;

    // On the audio thread: the next frames to play.
    void Fill(int16_t* out, int frames);
    // On the audio thread: the stream position heard now.
    void SetHeard(long long llPos);
    // When stream position llPos is (or was) heard, in steady ns.
    long long HeardNs(long long llPos, int nRate) const;

private:
    // Returns the stream position of the buffer's first sample.
    long long AppendKeyed(const unsigned char* data, uint32_t len);
    void OverlayVoices(int16_t* out, int frames, long long llOutPos);
    void TopUp(size_t nWanted);
    bool AheadDone();
    friend class CStreamWaveOut;
};

// The device side common to every sound library: it takes 8-bit keyed
// buffers and plays them at 16 bits, rendered as the tone shaping given
// at open asks (ToneRender.h): key-up and idle are silence, and the
// volume word's share of the tone level is heard. A device supplies the
// opening, the audio thread that calls Fill, and the dropping at Stop.
class CStreamWaveOut : public CWaveOutBase {
public:
    ~CStreamWaveOut() override;

    MMRESULT SetVolume(uint32_t dwVolume) override;
    MMRESULT Reset() override;
    MMRESULT Close() override;
    bool IsOpen() const override { return m_pStream->bOpen.load(); }
    void PlayAhead(std::unique_ptr<IKeyedSource> source) override;
    bool Heard(ToneHeard& heard) const override;

    // Written without a source, a buffer is done while this much is
    // still queued, so that the next one is in hand before the last
    // sample of this one is played.
    static constexpr int kDoneMarginMs = 400;
    // Silence the stream begins with: a sound server may drop the first
    // few milliseconds of a new stream, which must not be tone.
    static constexpr int kLeadInMs = 40;
    // A device that asks for no data this long, or does not open in
    // kOpenTimeoutMs, has failed.
    static constexpr int kStallMs = 2000;
    static constexpr int kOpenTimeoutMs = 10000;
    static constexpr int kWatchMs = 250;
    int Rate() const { return m_nRate; }
    // Opens and closes still under way on the device thread; every
    // device's output is complete once this is 0.
    static int ClosingCount();

protected:
    // stream: the device's own, which its audio thread fills.
    CStreamWaveOut(WaveOutWindow window, std::shared_ptr<KeyedStream> stream, const ToneShaping& shaping);
    MMRESULT Enqueue(const unsigned char* data, uint32_t len) override;
    // Reset: silence what the server holds, then close the device (on the
    // device thread, without waiting for it).
    virtual void DropDevice() = 0;
    // The audio thread no longer reports to this object; a device's
    // destructor calls it before it closes the device.
    void Detach();
    // The library has given up on an open device.
    virtual bool DeviceStopped() const { return false; }
    void StartWatch() { m_watch.start(); }

    std::shared_ptr<KeyedStream> m_pStream;
    int m_nRate = 8000;

private:
    friend struct KeyedStream; // posts the done and close notices
    void OnWatch();
    QTimer m_watch;
    bool m_bFailed = false;
    bool m_bReset = false;
};

long long SteadyNowMs();
long long SteadyNowNs();
// The only format the engine writes: 8-bit mono keyed buffers at 8000 Hz.
bool IsKeyedFormat(const WAVEFORMATEX& format);
