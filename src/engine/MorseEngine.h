#pragma once
#include "audio/WaveOut.h"

#include <cstdio>
#include <string>

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

// Pause of PrepareText before it keys anything. Tests shorten it.
using PauseFunc = void (*)(int ms);
void SetPreparePause(PauseFunc pause);

// Byte of a file opened in Windows text mode: CR LF arrives as LF.
// Returns EOF at the end of the file or on a read error.
int ReadTextByte(FILE* pFile);

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

    int m_nMode = -1;
    int m_nFreq = 800;
    int m_nWpm = 12;
    std::string m_strSent;
    int m_nVolume = 0;
    int m_bPlaying = 0;
    int m_nDotMs = 0;
    int m_nSentCount = 0;
    FILE* m_pPhraseFile = nullptr;

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
    void KeyRecorded(int nBuf, unsigned char ch, int nFreq, int nDotMs);
    void WriteCurrentBuffer();
    void ApplyVolume();
};
