#pragma once
#include "audio/WaveOut.h"

#include <SDL2/SDL.h>

#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class CSdlWaveOut;

// What the audio thread touches. It outlives the wave-out object until
// SDL has closed the device, which a stuck sound server may delay for
// as long as it likes; the GUI thread never waits for that.
struct SdlStream {
    std::mutex mutex;
    CSdlWaveOut* pOwner = nullptr;      // null once the wave-out is gone
    std::vector<unsigned char> queue;   // samples not yet played
    size_t nPos = 0;
    bool bPending = false;              // written, done not yet posted
    bool bClosing = false;
    bool bClosePosted = false;
    std::atomic<uint32_t> dwVolume{0xFFFFFFFFu};
    std::atomic<long long> llLastFillMs{0}; // steady clock, last callback
};

// Wave-out over SDL2's audio subsystem, 8-bit unsigned mono.
// Key-up (0) and idle play as the mid level 128; 64 and 192 are the two
// halves of the tone, scaled by the left volume word around 128.
class CSdlWaveOut final : public CWaveOutBase {
public:
    static CSdlWaveOut* Open(const WAVEFORMATEX& format, WaveOutWindow window);
    ~CSdlWaveOut() override;

    MMRESULT SetVolume(uint32_t dwVolume) override;
    MMRESULT Reset() override;
    MMRESULT Close() override;

    // Frames per SDL callback; done is posted two callbacks before the end.
    static constexpr int kCallbackFrames = 128;
    // A device that asks for no data this long has failed.
    static constexpr int kStallMs = 2000;
    static constexpr int kWatchMs = 250;
    // Devices whose release is still under way on a thread of their own;
    // their output is complete once this is 0.
    static int ClosingCount() { return s_nClosing.load(); }

protected:
    MMRESULT Enqueue(const unsigned char* data, uint32_t len) override;

private:
    explicit CSdlWaveOut(WaveOutWindow window);
    static void SDLCALL AudioCallback(void* userdata, Uint8* stream, int len);
    static void Fill(SdlStream& s, Uint8* stream, int len);
    void OnWatch();

    SDL_AudioDeviceID m_dev = 0;
    std::shared_ptr<SdlStream> m_pStream;
    QTimer m_watch;
    bool m_bFailed = false;
    static inline std::atomic<int> s_nClosing{0};
};
