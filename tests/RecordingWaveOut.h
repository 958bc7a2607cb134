// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A wave-out device that records what the stream does to it instead of
// playing. In auto mode every write is done at once; otherwise the test
// finishes buffers with Complete().
#include "engine/ToneBuffers.h"
#include "audio/WaveOut.h"

#include <string>
#include <vector>

struct WaveOutLog {
    int nOpens = 0;
    int nWrites = 0;
    int nDones = 0;
    int nResets = 0;
    int nCloses = 0;
    int nLive = 0;          // devices not yet deleted
    int nBadCalls = 0;      // a write or close the device refused
    std::vector<uint32_t> volumes;
    std::vector<ToneShaping> shapings;   // given at each open
    std::vector<int> bufferIndex;      // which tone buffer each write held
    std::vector<std::string> buffers;  // the samples of each write
    std::vector<std::string> ahead;    // what the device was given to play ahead
};

class CRecordingWaveOut final : public CWaveOutBase {
public:
    static inline WaveOutLog s_log;
    static inline bool s_bAuto = true;
    static inline bool s_bRefuseOpen = false;
    static inline CRecordingWaveOut* s_pLast = nullptr;

    static void Install(bool bAuto)
    {
        s_log = WaveOutLog{};
        s_bAuto = bAuto;
        s_bRefuseOpen = false;
        s_pLast = nullptr;
        SetWaveOutFactory([](const WAVEFORMATEX& fmt, WaveOutWindow window, const ToneShaping& shaping) -> IWaveOut* {
            if (s_bRefuseOpen || fmt.nSamplesPerSec != 8000 || fmt.wBitsPerSample != 8 || fmt.nChannels != 1)
                return nullptr;
            ++s_log.nOpens;
            s_log.shapings.push_back(shaping);
            return s_pLast = new CRecordingWaveOut(window);
        });
    }
    static void Uninstall() { SetWaveOutFactory(nullptr); }

    explicit CRecordingWaveOut(WaveOutWindow window) : CWaveOutBase(window) { ++s_log.nLive; }
    ~CRecordingWaveOut() override
    {
        --s_log.nLive;
        if (s_pLast == this)
            s_pLast = nullptr;
    }

    // Finishes the buffer on the device, as playing it to its end would.
    void Complete()
    {
        if (m_bPending) {
            m_bPending = false;
            ++s_log.nDones;
            PostDone();
        }
    }
    bool Pending() const { return m_bPending; }
    // The device stops taking data, as a stuck server would; or, opened
    // in the background, it never started.
    void Fail(bool bNeverOpened = false)
    {
        m_bOpen = !bNeverOpened;
        PostError();
    }
    bool IsOpen() const override { return m_bOpen; }
    void PlayAhead(std::unique_ptr<IKeyedSource> source) override
    {
        for (std::vector<unsigned char> b; source->Next(b);)
            s_log.ahead.emplace_back(b.begin(), b.end());
    }

    MMRESULT SetVolume(uint32_t dwVolume) override
    {
        s_log.volumes.push_back(dwVolume);
        return MMSYSERR_NOERROR;
    }
    MMRESULT Write(WAVEHDR* pwh) override
    {
        const MMRESULT r = CWaveOutBase::Write(pwh);
        if (r != MMSYSERR_NOERROR)
            ++s_log.nBadCalls;
        return r;
    }
    MMRESULT Reset() override
    {
        ++s_log.nResets;
        ReturnHeader();
        Complete();
        return MMSYSERR_NOERROR;
    }
    MMRESULT Close() override
    {
        if (m_bPending || m_bClosed) {
            ++s_log.nBadCalls;
            return WAVERR_STILLPLAYING;
        }
        m_bClosed = true;
        ++s_log.nCloses;
        PostClose();
        return MMSYSERR_NOERROR;
    }

protected:
    MMRESULT Enqueue(const unsigned char* data, uint32_t len) override
    {
        if (m_bClosed)
            return MMSYSERR_INVALHANDLE;
        ++s_log.nWrites;
        s_log.bufferIndex.push_back(data == g_ToneBuf[0] ? 0 : data == g_ToneBuf[1] ? 1 : -1);
        s_log.buffers.emplace_back(reinterpret_cast<const char*>(data), len);
        m_bPending = true;
        if (s_bAuto)
            Complete();
        return MMSYSERR_NOERROR;
    }

private:
    bool m_bOpen = true;
    bool m_bPending = false;
    bool m_bClosed = false;
};
