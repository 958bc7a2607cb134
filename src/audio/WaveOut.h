// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Wave-out device with the shape of the WINMM calls the engine makes.
// Done and close reach the client as queued calls on the GUI thread.
#include "audio/ToneRender.h"
#include "audio/Voice.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

using MMRESULT = unsigned;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

constexpr unsigned WAVE_MAPPER = unsigned(-1);
constexpr uint32_t CALLBACK_WINDOW = 0x10000;
constexpr uint16_t WAVE_FORMAT_PCM = 1;

constexpr uint32_t WHDR_DONE = 0x01;
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_INQUEUE = 0x10;

struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};

struct WAVEHDR {
    unsigned char* lpData;
    uint32_t dwBufferLength;
    uint32_t dwBytesRecorded;
    uintptr_t dwUser;
    uint32_t dwFlags;
    uint32_t dwLoops;
    WAVEHDR* lpNext;
    uintptr_t reserved;
};

class IWaveOut;
using HWAVEOUT = IWaveOut*;

// The receiver of MM_WOM_DONE and MM_WOM_CLOSE; each names its device.
class IWaveOutClient {
public:
    virtual void OnWomDone(HWAVEOUT hwo) = 0;
    virtual void OnWomClose(HWAVEOUT hwo) = 0;
    // The device stopped taking data or failed to write; no done or
    // close will follow unless the client resets and closes it.
    virtual void OnWomError(HWAVEOUT hwo) { (void)hwo; }

protected:
    ~IWaveOutClient() = default;
};

// The window a device reports to: calls are dropped once pContext is gone.
struct WaveOutWindow {
    QObject* pContext = nullptr;
    IWaveOutClient* pClient = nullptr;
};

// The keying a test will write, for a device that plays it without
// waiting for the writes: each call gives the next keyed buffer (8000 per
// second), false after the last. Called on the audio thread.
class IKeyedSource {
public:
    virtual ~IKeyedSource() = default;
    virtual bool Next(std::vector<unsigned char>& buf) = 0;
    // The voice said in the buffer Next gave last, at the device's rate.
    virtual bool NextVoice(KeyedVoice& voice) { (void)voice; return false; }
};

// When a test's tone was heard, in steady-clock nanoseconds (see
// SteadyNowNs): the start of its first element and the end of its last,
// as the sound device plays them out.
struct ToneHeard {
    long long llStartNs = 0;
    long long llEndNs = 0;
    bool bComplete = false; // the whole test is keyed: no tone comes after llEndNs
};

class IWaveOut {
public:
    virtual ~IWaveOut() = default;
    virtual MMRESULT SetVolume(uint32_t dwVolume) = 0;
    virtual MMRESULT PrepareHeader(WAVEHDR* pwh) = 0;
    virtual MMRESULT UnprepareHeader(WAVEHDR* pwh) = 0;
    virtual MMRESULT Write(WAVEHDR* pwh) = 0;
    virtual MMRESULT Reset() = 0;
    virtual MMRESULT Close() = 0;
    // False while a device opened in the background has not started (an
    // error then means it could not be opened at all).
    virtual bool IsOpen() const { return true; }
    // From the first write on, the device may play source's buffers in
    // turn, so that a late write leaves no gap; the writes then bring
    // the same buffers and pace the done notices. Others ignore it.
    virtual void PlayAhead(std::unique_ptr<IKeyedSource> source) { (void)source; }
    // The tone written so far, as heard; false while none was, or for a
    // device that cannot tell.
    virtual bool Heard(ToneHeard& heard) const { (void)heard; return false; }
};

// Header bookkeeping and delivery shared by every device. A device
// deletes itself on the GUI thread right after its close is delivered.
class CWaveOutBase : public QObject, public IWaveOut {
public:
    explicit CWaveOutBase(WaveOutWindow window);

    MMRESULT PrepareHeader(WAVEHDR* pwh) override;
    MMRESULT UnprepareHeader(WAVEHDR* pwh) override;
    MMRESULT Write(WAVEHDR* pwh) override;

protected:
    // The device takes its own copy of the samples.
    virtual MMRESULT Enqueue(const unsigned char* data, uint32_t len) = 0;
    // Thread-safe: queue the done of the header in hand / the close.
    void PostDone();
    void PostClose();
    void PostError();
    // GUI thread: hand the header back at once (reset); the done follows.
    void ReturnHeader();

private:
    WAVEHDR* m_pHeader = nullptr; // the header written and not yet returned
    QPointer<QObject> m_pContext;
    IWaveOutClient* m_pClient;
};

// Makes the device that waveOutOpen opens: the program installs the SDL
// device, tests a device of their own. Without one, no device opens.
using WaveOutFactory =
    std::function<IWaveOut*(const WAVEFORMATEX& format, WaveOutWindow window, const ToneShaping& shaping)>;
void SetWaveOutFactory(WaveOutFactory factory);

// shaping: how the device renders the keyed buffers written to it.
MMRESULT waveOutOpen(HWAVEOUT* phwo, unsigned uDeviceID, const WAVEFORMATEX* pwfx,
                     WaveOutWindow window, uintptr_t dwInstance, uint32_t fdwOpen,
                     const ToneShaping& shaping = {});
MMRESULT waveOutSetVolume(HWAVEOUT hwo, uint32_t dwVolume);
MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned cbwh);
MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, WAVEHDR* pwh, unsigned cbwh);
MMRESULT waveOutWrite(HWAVEOUT hwo, WAVEHDR* pwh, unsigned cbwh);
MMRESULT waveOutReset(HWAVEOUT hwo);
MMRESULT waveOutClose(HWAVEOUT hwo);
MMRESULT waveOutPlayAhead(HWAVEOUT hwo, std::unique_ptr<IKeyedSource> source);
