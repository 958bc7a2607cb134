// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "audio/ToneRender.h"
#include "audio/WaveOut.h"
#include "engine/Keying.h"
#include "engine/PracticeModes.h"
#include "engine/PracticeText.h"
#include "engine/VoiceText.h"

#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

constexpr int kRandomTestLength = 50;
constexpr unsigned char kWabunStartSignal = 0xA5;

// Start's settings: frequency clamped to 250..1000 Hz, speed to 5..120
// WPM, and the dot length from the speed with Start's two truncations.
int ClampFreq(int nFreq);
int ClampWpm(int nWpm);
int DotMsForWpm(int nWpm);

// The pause between Start and the first tone, 1000 ms. The window stays
// live meanwhile; tests shorten it (0: the first buffer is written at once).
void SetStartPause(int ms);
int StartPauseMs();

// What a test starts with: the form's values as Start takes them.
struct TestSettings {
    int nMode = kLatinRandom1;
    int nFreq = 800;
    int nWpm = 12;
    int nVolume = 20;
    // Frequency and speed clamped as Start clamps them.
    TestSettings Clamped() const;
    bool operator==(const TestSettings&) const = default;
};

// How the test is keyed and rendered beyond the designed test; the
// default is exactly the designed test. Extra silence is in samples.
struct KeyingOptions {
    DrawSet drawLatin;
    DrawSet drawWabun;
    int nExtraCharGap = 0; // after every character
    int nExtraWordGap = 0; // after a group of five, a phrase's space or line break
    ToneShaping shaping;   // what the device renders
    // A human fist: each element and gap is this many percent of a dot
    // longer or shorter (one standard deviation; the mean stays), drawn
    // from nFistSeed at the start of each test.
    int nFistJitterPercent = 0;
    uint32_t nFistSeed = 1;
    // The dot in keyed samples, for speeds finer than a millisecond (the
    // exams'); 0: 8 samples for each ms of the dot length.
    int nDotSamples = 0;
    // The whole set of the air: punctuation by ITU-R M.1677-1 and the
    // prosigns ("<AR>" in a phrase text); false: the designed table.
    bool bFullSet = false;
    // The exams' telegram bytes (a text of the exam window alone).
    bool bTelegram = false;
    // A 和文 text heard without the start signal before it (one character
    // at a time, where it would be heard before every kana).
    bool bNoStartSignal = false;
    // The answer said after the Morse; off is the designed sound. Its
    // time is silence in the keying, so the graph and the timing see it
    // as key up.
    VoiceOptions voice;
    bool operator==(const KeyingOptions&) const = default;
};

// The pitch a tone buffer keys for a frequency: whole square-wave periods.
double KeyedPitch(int nFreq);

// The state of a test and the engine operations on it. The form view
// derives from this; what the stream does to the form goes through the
// two hooks.
class CMorseEngine : public IWaveOutClient {
public:
    CMorseEngine();
    virtual ~CMorseEngine();
    CMorseEngine(const CMorseEngine&) = delete;
    CMorseEngine& operator=(const CMorseEngine&) = delete;

    // A new test: nothing sent yet, buffer 0 written first, no group begun.
    void BeginTest();
    // One character keyed on its own into pBuf (not from the test's text,
    // which PrepareText keys once for the window and the device): its
    // length in samples.
    int MakeWave(unsigned char* pBuf, int nFreq, int nDotMs, unsigned char ch);
    int PrepareText(int nFreq, int nDotMs);
    void NextChar(int nFreq, int nDotMs);

    // 0 once the device is open, its first buffer written after the start
    // pause; -1 when no device opens.
    int StartWave(WaveOutWindow hWnd, int nFreq, int nDotMs);
    // Stop: the device hands its buffer back and closes; during the start
    // pause, nothing was written and the device is released at once.
    void ResetWave();
    void OnWomDone(HWAVEOUT hwo) override;
    void OnWomClose(HWAVEOUT hwo) override;
    void OnWomError(HWAVEOUT hwo) override;

    // Volume word from m_nVolume, the same in both channels.
    static uint32_t VolumeWord(int nVolume);

    // Takes the test's settings (clamped) and derives the dot length.
    void SetSettings(const TestSettings& settings);
    TestSettings Settings() const { return {m_nMode, m_nFreq, m_nWpm, m_nVolume}; }
    void SetKeyingOptions(const KeyingOptions& options) { m_keying = options; }
    const KeyingOptions& GetKeyingOptions() const { return m_keying; }
    void SetVolume(int nVolume) { m_nVolume = nVolume; }
    // A text the phrase modes send instead of the phrase file's (code page
    // 932); empty: the phrase file.
    void SetFixedText(const std::string& text) { m_strFixedText = text; }

    int Mode() const { return m_nMode; }
    int Freq() const { return m_nFreq; }
    int Wpm() const { return m_nWpm; }
    int DotMs() const { return m_nDotMs; }
    int Volume() const { return m_nVolume; }
    bool IsPlaying() const { return m_bPlaying != 0; }
    const std::string& Sent() const { return m_strSent; }
    int SentCount() const { return m_nSentCount; }
    // A phrase test's text is open (read whole at Start, closed at the end).
    bool HasPhraseFile() const { return m_bTextOpen; }
    // How far through its text the test is, 0..1000: the phrase file's
    // position, or the characters drawn.
    int ProgressPermille() const;
    // What was written to the device in this test: the characters of its
    // text with the samples that keyed them (the start signals and a
    // character keyed but never written left out).
    int HeardChars() const { return m_nHeardChars; }
    // The part of Sent() whose characters were played whole: all of it
    // once the text has ended, less the character that Stop cut off and
    // those keyed ahead of it.
    std::string HeardSent() const { return m_strSent.substr(0, m_nHeardSentLen); }
    double HeardSeconds() const { return double(m_llHeardSamples) / 8000.0; }
    // When this test's tone is heard, as the device plays it out: asked of
    // the device while it is open, kept from its close on. False when the
    // device cannot tell or nothing has sounded.
    bool Heard(ToneHeard& heard) const;

    // Keys a whole test as Start and the stream would, without a device
    // and without the pause: each tone buffer, in the order it would be
    // played, goes to sink, which returns false to stop. The tone buffers
    // are the stream's own, so no test may be playing. Returns
    // PrepareText's result, or 1 when sink stopped it.
    using BufferSink = std::function<bool(const unsigned char* pSamples, int nCount)>;
    int KeyWholeTest(const BufferSink& sink);
    // The same from a test prepared by PrepareText on: 0, or 1 when sink
    // stopped it.
    int KeyPreparedTest(const BufferSink& sink);
    // The voice said in the tone buffer the sink has just been given.
    const KeyedVoice& SinkVoice() const;

protected:
    // What the form's boxes hold, taken as they are; Start clamps them.
    void SetFormValues(const TestSettings& form);
    // The test has started playing (Start), or ends (Stop, the form
    // going): true when it was playing.
    void BeginPlaying() { m_bPlaying = 1; }
    bool EndPlaying();

    // A buffer has just been written to the device (feed the graph).
    virtual void OnBufferWritten() {}
    // The device has closed (put the form back).
    virtual void OnStreamClosed() {}
    // The device failed and was released; bWasPlaying: the text had not
    // yet ended (put the form back as Stop would, and tell the user).
    virtual void OnStreamFailed(bool bWasPlaying) { (void)bWasPlaying; }
    // The device, opened in the background, could not be opened at all
    // and was released (put the form back at rest, and tell the user).
    virtual void OnStreamNotOpened() {}

    // Cuts off a previous test's device that is still draining or
    // closing, so that a new one can open; its late notifications are
    // ignored. With bNotify the form is put back as the close would.
    void ReleaseStream(bool bNotify);
    void ClosePhraseFile();

private:
    int m_nMode = -1;
    int m_nFreq = 800;
    int m_nWpm = 12;
    std::string m_strSent;
    int m_nVolume = 0;
    int m_bPlaying = 0;
    int m_nDotMs = 0;
    int m_nSentCount = 0;
    KeyingOptions m_keying;
    std::string m_strFixedText;
    // The phrase file (or the fixed text) read whole at Start into the
    // plan below.
    bool LoadText(std::vector<unsigned char>& out);
    bool m_bTextOpen = false;
    // The next of the test's characters to key.
    size_t m_nPlanNext = 0;
    // The test keyed once, taken by the window's tone buffers and by the
    // device's keying ahead (handed over at open).
    std::shared_ptr<class CKeyedPlan> m_pKeyed;
    std::unique_ptr<IKeyedSource> m_pAhead;
    long long m_llHeardSamples = 0;
    int m_nHeardChars = 0;
    // Per tone buffer: it holds a character of the text (not a start
    // signal), and one with a sign.
    bool m_abOfText[2] = {false, false};
    // Per tone buffer: the length of Sent() up to its character; the
    // length played whole, counted until Stop cuts the sound.
    size_t m_anSentEnd[2] = {0, 0};
    size_t m_nHeardSentLen = 0;
    bool m_bCountHeard = false;
    bool m_bToneHeard = false; // m_toneHeard holds the closed device's answer
    ToneHeard m_toneHeard;
    bool m_abSign[2] = {false, false};
    KeyedVoice m_aVoice[2]; // per tone buffer
    QTimer m_startPause; // writes the first buffer
    CBandRandom m_fist;
    void WriteFirstBuffer();
    // The plan's next character into a tone buffer, as it was keyed.
    KeyedChar KeyPlanned(int nBuf, int nFreq);
    void KeyTextChar(int nBuf, int nFreq);
    void WriteCurrentBuffer();
    void ApplyVolume();
};
