#pragma once
#include "audio/WaveOut.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Practice modes, the index of the mode radio group.
enum PracticeMode {
    kLatinRandom1 = 0,
    kLatinRandom5 = 1,
    kLatinPhrase = 2,
    kWabunRandom1 = 3,
    kWabunRandom5 = 4,
    kWabunPhrase = 5,
};

constexpr int kRandomTestLength = 50;
constexpr unsigned char kWabunStartSignal = 0xA5;

// Start's settings: frequency clamped to 250..1000 Hz, speed to 5..120
// WPM, and the dot length from the speed with Start's two truncations.
int ClampFreq(int nFreq);
int ClampWpm(int nWpm);
int DotMsForWpm(int nWpm);

// Pause of PrepareText before it keys anything. Tests shorten it.
using PauseFunc = void (*)(int ms);
void SetPreparePause(PauseFunc pause);

// Byte of a file opened in Windows text mode: CR LF arrives as LF.
// Returns EOF at the end of the file or on a read error.
int ReadTextByte(FILE* pFile);

// The characters a random mode draws from. Empty: the whole set, drawn as
// designed (low 8 bits of rand, modulo its size). With chars alone, the
// same rule over chars; with weights too (one per char, each > 0), a
// draw proportional to them.
struct DrawSet {
    std::vector<unsigned char> chars;
    std::vector<int> weights;
    bool operator==(const DrawSet&) const = default;
};
unsigned char DrawFrom(const DrawSet& set, bool bWabun);

// Opens a phrase file for reading without blocking in open(); only a
// regular file (after symbolic links) is accepted, anything else is null.
FILE* OpenPhraseFile(const std::string& path);

// The state of a test and the engine operations on it. The form view
// derives from this; what the stream does to the form goes through the
// two hooks.
class CMorseEngine : public IWaveOutClient {
public:
    CMorseEngine() = default;
    virtual ~CMorseEngine();
    CMorseEngine(const CMorseEngine&) = delete;
    CMorseEngine& operator=(const CMorseEngine&) = delete;

    int MakeWave(unsigned char* pBuf, int nFreq, int nDotMs, unsigned char ch);
    int PrepareText(int nFreq, int nDotMs);
    void NextChar(int nFreq, int nDotMs);

    // 0 once the first buffer is on the device; -1 when no device opens.
    int StartWave(WaveOutWindow hWnd, int nFreq, int nDotMs);
    void OnWomDone(HWAVEOUT hwo) override;
    void OnWomClose(HWAVEOUT hwo) override;
    void OnWomError(HWAVEOUT hwo) override;

    // Volume word from m_nVolume, the same in both channels.
    static uint32_t VolumeWord(int nVolume);

    // Keys a whole test as Start and the stream would, without a device
    // and without the pause: each tone buffer, in the order it would be
    // played, goes to sink, which returns false to stop. The tone buffers
    // are the stream's own, so no test may be playing. Returns
    // PrepareText's result, or 1 when sink stopped it.
    using BufferSink = std::function<bool(const unsigned char* pSamples, int nCount)>;
    int KeyWholeTest(const BufferSink& sink);

    int m_nMode = -1;
    int m_nFreq = 800;
    int m_nWpm = 12;
    std::string m_strSent;
    int m_nVolume = 0;
    int m_bPlaying = 0;
    int m_nDotMs = 0;
    int m_nSentCount = 0;
    FILE* m_pPhraseFile = nullptr;

    // Beyond the designed test, all off by default: what the random modes
    // draw, and extra silence (samples) after every character and after a
    // word (group of five, or a phrase's space or line break).
    DrawSet m_drawLatin;
    DrawSet m_drawWabun;
    int m_nExtraCharGap = 0;
    int m_nExtraWordGap = 0;
    // Samples written to the device in this test (its duration).
    long long m_llSentSamples = 0;

protected:
    // A buffer has just been written to the device (feed the graph).
    virtual void OnBufferWritten() {}
    // The device has closed (put the form back).
    virtual void OnStreamClosed() {}
    // The device failed and was released; bWasPlaying: the text had not
    // yet ended (put the form back as Stop would, and tell the user).
    virtual void OnStreamFailed(bool bWasPlaying) { (void)bWasPlaying; }

    // Cuts off a previous test's device that is still draining or
    // closing, so that a new one can open; its late notifications are
    // ignored. With bNotify the form is put back as the close would.
    void ReleaseStream(bool bNotify);
    void ClosePhraseFile();

private:
    bool m_bPause = true; // PrepareText's pause before the first character
    void KeyRecorded(int nBuf, unsigned char ch, int nFreq, int nDotMs);
    void WriteCurrentBuffer();
    void ApplyVolume();
};
