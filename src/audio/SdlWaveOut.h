#pragma once
#include "audio/WaveOut.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <mutex>
#include <vector>

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

protected:
    MMRESULT Enqueue(const unsigned char* data, uint32_t len) override;

private:
    explicit CSdlWaveOut(WaveOutWindow window);
    static void SDLCALL AudioCallback(void* userdata, Uint8* stream, int len);
    void Fill(Uint8* stream, int len);

    SDL_AudioDeviceID m_dev = 0;
    std::mutex m_mutex;
    std::vector<unsigned char> m_queue; // samples not yet played
    size_t m_nPos = 0;
    bool m_bPending = false;     // written, done not yet posted
    bool m_bClosing = false;
    bool m_bClosePosted = false;
    std::atomic<uint32_t> m_dwVolume{0xFFFFFFFFu};
};
