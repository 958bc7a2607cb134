// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MorseEngine.h"
#include "engine/Keying.h"
#include "engine/MorseTable.h"
#include "engine/PracticeText.h"
#include "engine/ToneBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>

static int g_nStartPauseMs = 1000;

int ClampFreq(int nFreq) { return nFreq < 250 ? 250 : (nFreq > 1000 ? 1000 : nFreq); }

int ClampWpm(int nWpm) { return nWpm < 5 ? 5 : (nWpm > 120 ? 120 : nWpm); }

int DotMsForWpm(int nWpm)
{
    const int q = (nWpm * 500) / 60;
    return q > 0 ? 10000 / q : 10000;
}

void SetStartPause(int ms) { g_nStartPauseMs = std::max(ms, 0); }
int StartPauseMs() { return g_nStartPauseMs; }

TestSettings TestSettings::Clamped() const
{
    TestSettings s = *this;
    s.nFreq = ClampFreq(nFreq);
    s.nWpm = ClampWpm(nWpm);
    return s;
}

CMorseEngine::CMorseEngine()
{
    m_startPause.setSingleShot(true);
    QObject::connect(&m_startPause, &QTimer::timeout, &m_startPause, [this] { WriteFirstBuffer(); });
}

CMorseEngine::~CMorseEngine()
{
    ClosePhraseFile();
}

void CMorseEngine::SetSettings(const TestSettings& settings)
{
    const TestSettings s = settings.Clamped();
    m_nMode = s.nMode;
    m_nFreq = s.nFreq;
    m_nWpm = s.nWpm;
    m_nVolume = s.nVolume;
    m_nDotMs = DotMsForWpm(s.nWpm);
}

// A Wabun test's two start signals come before its first group.
static bool FirstGroupBegins(size_t nIndex, int nMode) { return nIndex == 2 && IsWabunMode(nMode); }

// The test's characters keyed once, in order, by KeyChar. The window's
// tone buffers (the graph, the counts, a whole test keyed without a
// device) and the device's keying ahead each take them at their own pace;
// a character is kept until every reader still reading has taken it.
class CKeyedPlan {
public:
    enum Reader { kWindow, kDevice };
    struct Keyed {
        KeyedChar keyed;
        int nGroupPos; // the group's count after it
        KeyedVoice voice;
    };

    // plan: every buffer's character, known at Start; voice: what is said
    // after which (VoiceLinesFor), at nRate, the device's.
    CKeyedPlan(std::vector<unsigned char> plan, const KeyerParams& params, const CBandRandom& fist, int nGroupPos,
               std::vector<SpokenLine> voice, const VoiceOptions& voiceOptions, int nRate)
        : m_plan(std::move(plan)), m_params(params), m_fist(fist), m_nGroupPos(nGroupPos), m_voice(std::move(voice)),
          m_voiceOptions(voiceOptions), m_nRate(nRate)
    {
    }
    size_t Size() const { return m_plan.size(); }
    unsigned char At(size_t i) const { return m_plan[i]; }

    // Character i, a reader's next.
    Keyed Take(Reader reader, size_t i)
    {
        std::lock_guard lock(m_mutex);
        while (m_nFirst + m_keyed.size() <= i) {
            const size_t n = m_nFirst + m_keyed.size();
            if (FirstGroupBegins(n, m_params.nMode))
                m_nGroupPos = 0;
            KeyedChar k = KeyChar(m_plan[n], m_params, m_fist, m_nGroupPos);
            KeyedVoice voice;
            // Keyed in order: the next line is the only one that can be this character's.
            if (m_nVoiceNext < m_voice.size() && m_voice[m_nVoiceNext].nAfter == n) {
                PrefetchFrom(m_nVoiceNext);
                voice = AddVoice(k, SpeakLine(m_voice[m_nVoiceNext++].line, m_nRate));
            }
            m_keyed.push_back({k, m_nGroupPos, voice});
        }
        const Keyed k = m_keyed[i - m_nFirst];
        m_anNext[reader] = i + 1;
        Trim();
        return k;
    }
    // The reader takes no more.
    void Leave(Reader reader)
    {
        std::lock_guard lock(m_mutex);
        m_abReading[reader] = false;
        Trim();
    }

private:
    // The silence after the character's last element becomes the pause
    // before the voice, the voice and the pause after it.
    KeyedVoice AddVoice(KeyedChar& k, VoiceSamples samples) const
    {
        if (!samples || k.nSpans < 2 || k.spans[size_t(k.nSpans - 1)].bDown)
            return {};
        int nEnd = 0; // the last element's end
        for (int s = 0; s + 1 < k.nSpans; ++s)
            nEnd += k.spans[size_t(s)].nSamples;
        const int factor = m_nRate / 8000;
        const int nBefore = m_voiceOptions.nBeforeMs * kSamplesPerMs;
        const int nAfter = m_voiceOptions.nAfterMs * kSamplesPerMs;
        const int nRoom = kToneBufSamples - nEnd - nBefore - nAfter;
        if (nRoom <= 0 || factor <= 0)
            return {};
        int nVoice = int((samples->size() + size_t(factor) - 1) / size_t(factor));
        if (nVoice > nRoom) { // a very long line: what fits in a buffer
            nVoice = nRoom;
            samples = std::make_shared<const std::vector<float>>(samples->begin(),
                                                                 samples->begin() + std::ptrdiff_t(nRoom) * factor);
        }
        k.spans[size_t(k.nSpans - 1)].nSamples = nBefore + nVoice + nAfter;
        k.nCount = nEnd + nBefore + nVoice + nAfter;
        return {samples, nEnd + nBefore};
    }

    void Trim()
    {
        size_t low = SIZE_MAX;
        for (int r : {kWindow, kDevice})
            if (m_abReading[r])
                low = std::min(low, m_anNext[r]);
        while (!m_keyed.empty() && m_nFirst < low) {
            m_keyed.pop_front();
            ++m_nFirst;
        }
    }

    std::mutex m_mutex;
    const std::vector<unsigned char> m_plan;
    const KeyerParams m_params;
    CBandRandom m_fist;
    int m_nGroupPos;
    const std::vector<SpokenLine> m_voice;
    size_t m_nVoiceNext = 0; // the first line not yet keyed
    const VoiceOptions m_voiceOptions;
    const int m_nRate;
    std::deque<Keyed> m_keyed; // from character m_nFirst on
    size_t m_nFirst = 0;
    size_t m_anNext[2] = {0, 0};
    bool m_abReading[2] = {true, true};
};

// The device's side: it keys the test on its own thread, never waiting
// for the window's, and renders what the plan keyed.
class CKeyingAhead final : public IKeyedSource {
public:
    CKeyingAhead(std::shared_ptr<CKeyedPlan> pKeyed, int nFreq)
        : m_pKeyed(std::move(pKeyed)), m_nFreq(nFreq), m_buf(kToneBufSamples)
    {
    }
    ~CKeyingAhead() override { m_pKeyed->Leave(CKeyedPlan::kDevice); }
    CKeyingAhead(const CKeyingAhead&) = delete;
    CKeyingAhead& operator=(const CKeyingAhead&) = delete;
    bool Next(std::vector<unsigned char>& out) override
    {
        if (m_nNext >= m_pKeyed->Size())
            return false;
        const CKeyedPlan::Keyed k = m_pKeyed->Take(CKeyedPlan::kDevice, m_nNext++);
        ToneFromSpans(k.keyed, m_nFreq, m_buf.data());
        out.assign(m_buf.begin(), m_buf.begin() + k.keyed.nCount);
        m_voice = k.voice;
        return true;
    }
    bool NextVoice(KeyedVoice& voice) override
    {
        voice = m_voice;
        return voice.pSamples != nullptr;
    }

private:
    std::shared_ptr<CKeyedPlan> m_pKeyed;
    int m_nFreq;
    std::vector<unsigned char> m_buf;
    size_t m_nNext = 0;
    KeyedVoice m_voice; // said in the buffer last given
};

int CMorseEngine::ProgressPermille() const
{
    int permille = m_nSentCount * 1000 / kRandomTestLength;
    if (m_bTextOpen && m_pKeyed && m_pKeyed->Size() > 0)
        permille = int(1000.0 * double(m_nPlanNext) / double(m_pKeyed->Size()));
    return std::clamp(permille, 0, 1000);
}

static KeyerParams ParamsFor(int nMode, int nDotMs, const KeyingOptions& keying)
{
    const int dot = keying.nDotSamples > 0 ? keying.nDotSamples : kSamplesPerMs * nDotMs;
    return {nMode, dot, keying.nExtraCharGap, keying.nExtraWordGap, keying.nFistJitterPercent, keying.bFullSet, keying.bTelegram};
}

int CMorseEngine::MakeWave(unsigned char* pBuf, int nFreq, int nDotMs, unsigned char ch)
{
    const KeyedChar keyed = KeyChar(ch, ParamsFor(m_nMode, nDotMs, m_keying), m_fist, g_nGroupPos);
    ToneFromSpans(keyed, nFreq, pBuf);
    if (keyed.bGroupEnd && m_nSentCount != kRandomTestLength)
        m_strSent += ' ';
    return keyed.nCount;
}

KeyedChar CMorseEngine::KeyPlanned(int nBuf, int nFreq)
{
    const CKeyedPlan::Keyed k = m_pKeyed->Take(CKeyedPlan::kWindow, m_nPlanNext++);
    ToneFromSpans(k.keyed, nFreq, g_ToneBuf[nBuf]);
    g_nToneLen[nBuf] = k.keyed.nCount;
    g_nGroupPos = k.nGroupPos;
    m_aVoice[nBuf] = k.voice;
    return k.keyed;
}

void CMorseEngine::KeyTextChar(int nBuf, int nFreq)
{
    m_strSent += static_cast<char>(m_pKeyed->At(m_nPlanNext));
    ++m_nSentCount;
    const KeyedChar keyed = KeyPlanned(nBuf, nFreq);
    if (keyed.bGroupEnd && m_nSentCount != kRandomTestLength)
        m_strSent += ' ';
    m_anSentEnd[nBuf] = m_strSent.size();
    m_abOfText[nBuf] = true;
    // A sign begins with key down; a byte without one is silence alone.
    m_abSign[nBuf] = keyed.spans[0].bDown;
}

void CMorseEngine::ClosePhraseFile() { m_bTextOpen = false; }

double KeyedPitch(int nFreq) { return nFreq > 0 && nFreq <= 8000 ? 8000.0 / (8000 / nFreq) : 8000.0; }

bool CMorseEngine::LoadText(std::vector<unsigned char>& out)
{
    ClosePhraseFile();
    m_bTextOpen = ReadPhraseText(m_strFixedText.empty() ? nullptr : &m_strFixedText, out);
    if (m_bTextOpen && m_keying.bFullSet) {
        const std::string folded = FoldProsigns(std::string(out.begin(), out.end()));
        out.assign(folded.begin(), folded.end());
    }
    return m_bTextOpen;
}

int CMorseEngine::PrepareText(int nFreq, int nDotMs)
{
    m_fist = CBandRandom(m_keying.nFistSeed);
    const auto now = static_cast<long long>(std::time(nullptr));
    std::srand(static_cast<unsigned>(now & 0xFFFFFFFF));

    // Every buffer's character, known now: the audio thread keys from it.
    std::vector<unsigned char> plan;
    const bool bWabun = IsWabunMode(m_nMode);
    const bool bStartSignal = bWabun && !m_keying.bNoStartSignal;
    if (bStartSignal)
        plan.assign(2, kWabunStartSignal);
    if (IsPhraseMode(m_nMode)) {
        if (!LoadText(plan))
            return -2;
    } else {
        for (int i = 0; i < kRandomTestLength; ++i)
            plan.push_back(DrawFrom(bWabun ? m_keying.drawWabun : m_keying.drawLatin, bWabun));
    }
    m_pAhead.reset();
    m_pKeyed.reset();
    if (!bStartSignal && plan.size() < 2)
        return -2; // fewer than two bytes; the text stays open
    std::vector<SpokenLine> voice =
        VoiceLinesFor(plan, bStartSignal ? 2 : 0, m_nMode, m_keying.bFullSet, m_keying.voice);
    if (!voice.empty()) {
        PrepareVoice(bWabun); // loaded now, not while the test plays
        std::vector<VoiceLine> said;
        said.reserve(voice.size());
        for (const SpokenLine& s : voice)
            said.push_back(s.line);
        PrefetchLines(std::move(said), RenderRate(m_keying.shaping));
    }
    m_pKeyed = std::make_shared<CKeyedPlan>(std::move(plan), ParamsFor(m_nMode, nDotMs, m_keying), m_fist, g_nGroupPos,
                                            std::move(voice), m_keying.voice, RenderRate(m_keying.shaping));
    m_pAhead = std::make_unique<CKeyingAhead>(m_pKeyed, nFreq);
    m_nPlanNext = 0;

    if (bStartSignal) {
        // The start signal opens every Wabun test; it is not part of the text.
        KeyPlanned(0, nFreq);
        KeyPlanned(1, nFreq);
        m_abOfText[0] = m_abOfText[1] = false;
        if (FirstGroupBegins(m_nPlanNext, m_nMode))
            g_nGroupPos = 0;
    } else { // Latin; a random one also for a mode that the table does not know
        KeyTextChar(0, nFreq);
        KeyTextChar(1, nFreq);
    }
    return 0;
}

void CMorseEngine::NextChar(int nFreq, int)
{
    const int nFree = g_nCurBuf == 1 ? 0 : 1;
    const bool bEnded = IsPhraseMode(m_nMode) ? !m_bTextOpen : m_nSentCount >= kRandomTestLength;
    if (bEnded || !m_pKeyed || m_nPlanNext >= m_pKeyed->Size()) {
        m_bPlaying = 0;
        return;
    }
    KeyTextChar(nFree, nFreq);
}

void CMorseEngine::BeginTest()
{
    m_strSent.clear();
    m_nHeardSentLen = 0;
    m_bCountHeard = true;
    m_bToneHeard = false;
    m_nSentCount = 0;
    g_nCurBuf = 0;
    g_nGroupPos = 0;
}

void CMorseEngine::SetFormValues(const TestSettings& form)
{
    m_nMode = form.nMode;
    m_nFreq = form.nFreq;
    m_nWpm = form.nWpm;
}

bool CMorseEngine::EndPlaying()
{
    const bool bWas = m_bPlaying != 0;
    m_bPlaying = 0;
    return bWas;
}

int CMorseEngine::KeyWholeTest(const BufferSink& sink)
{
    BeginTest();
    const int r = PrepareText(m_nFreq, m_nDotMs);
    return r != 0 ? r : KeyPreparedTest(sink);
}

int CMorseEngine::KeyPreparedTest(const BufferSink& sink)
{
    m_pAhead.reset(); // no device plays it
    // The order of StartWave and OnWomDone: buffer 0, then each done
    // writes the other buffer and refills the one just finished.
    m_bPlaying = 1;
    if (!sink(g_ToneBuf[g_nCurBuf], g_nToneLen[g_nCurBuf])) {
        m_bPlaying = 0;
        return 1;
    }
    for (;;) {
        g_nCurBuf ^= 1;
        if (!m_bPlaying)
            break;
        const int nBuf = g_nCurBuf;
        NextChar(m_nFreq, m_nDotMs); // refills the other buffer
        if (!sink(g_ToneBuf[nBuf], g_nToneLen[nBuf])) {
            m_bPlaying = 0;
            ClosePhraseFile();
            return 1;
        }
    }
    ClosePhraseFile();
    return 0;
}

const KeyedVoice& CMorseEngine::SinkVoice() const { return m_aVoice[g_nCurBuf]; }

uint32_t CMorseEngine::VolumeWord(int nVolume)
{
    const uint32_t v = static_cast<uint32_t>(nVolume * 65535 / 100) & 0xFFFF;
    return v | (v << 16);
}

void CMorseEngine::ApplyVolume() { waveOutSetVolume(g_hWaveOut, VolumeWord(m_nVolume)); }

void CMorseEngine::WriteCurrentBuffer()
{
    g_WaveHdr.lpData = g_ToneBuf[g_nCurBuf];
    g_WaveHdr.dwBufferLength = static_cast<uint32_t>(g_nToneLen[g_nCurBuf]);
    if (m_abOfText[g_nCurBuf]) {
        m_llHeardSamples += g_nToneLen[g_nCurBuf];
        m_nHeardChars += m_abSign[g_nCurBuf] ? 1 : 0;
    }
    waveOutPrepareHeader(g_hWaveOut, &g_WaveHdr, sizeof(WAVEHDR));
    waveOutWrite(g_hWaveOut, &g_WaveHdr, sizeof(WAVEHDR));
}

int CMorseEngine::StartWave(WaveOutWindow hWnd, int, int)
{
    g_WaveFormat.wFormatTag = WAVE_FORMAT_PCM;
    g_WaveFormat.nChannels = 1;
    g_WaveFormat.nSamplesPerSec = 8000;
    g_WaveFormat.nAvgBytesPerSec = 8000;
    g_WaveFormat.nBlockAlign = 1;
    g_WaveFormat.wBitsPerSample = 8;
    g_WaveFormat.cbSize = 0;

    if (waveOutOpen(&g_hWaveOut, WAVE_MAPPER, &g_WaveFormat, hWnd, 0, CALLBACK_WINDOW, m_keying.shaping)
        != MMSYSERR_NOERROR) {
        g_hWaveOut = nullptr;
        return -1;
    }
    ApplyVolume();
    if (m_pAhead)
        waveOutPlayAhead(g_hWaveOut, std::move(m_pAhead));
    m_llHeardSamples = 0;
    m_nHeardChars = 0;
    g_WaveHdr = WAVEHDR{};
    g_WaveHdr.dwLoops = 1;
    // The device plays silence until then.
    if (g_nStartPauseMs > 0)
        m_startPause.start(g_nStartPauseMs);
    else
        WriteFirstBuffer();
    return 0;
}

void CMorseEngine::WriteFirstBuffer()
{
    if (!g_hWaveOut)
        return;
    WriteCurrentBuffer();
    OnBufferWritten();
}

void CMorseEngine::ResetWave()
{
    m_bCountHeard = false; // the buffer playing now is cut off
    if (m_startPause.isActive()) {
        ReleaseStream(false);
        return;
    }
    waveOutReset(g_hWaveOut);
}

void CMorseEngine::OnWomDone(HWAVEOUT hwo)
{
    if (hwo != g_hWaveOut || !hwo)
        return; // a released device's late notice
    if (m_bCountHeard && m_abOfText[g_nCurBuf])
        m_nHeardSentLen = m_anSentEnd[g_nCurBuf];
    g_nCurBuf = g_nCurBuf + 1 > 1 ? 0 : g_nCurBuf + 1;
    if (!m_bPlaying) {
        waveOutClose(g_hWaveOut);
        return;
    }
    ApplyVolume();
    waveOutUnprepareHeader(g_hWaveOut, &g_WaveHdr, sizeof(WAVEHDR));
    WriteCurrentBuffer();
    NextChar(m_nFreq, m_nDotMs);
    OnBufferWritten();
}

void CMorseEngine::OnWomClose(HWAVEOUT hwo)
{
    if (hwo != g_hWaveOut || !hwo)
        return;
    waveOutUnprepareHeader(g_hWaveOut, &g_WaveHdr, sizeof(WAVEHDR));
    m_bToneHeard = hwo->Heard(m_toneHeard);
    m_toneHeard.bComplete = true;
    g_hWaveOut = nullptr;
    m_bPlaying = 0;
    OnStreamClosed();
}

bool CMorseEngine::Heard(ToneHeard& heard) const
{
    // Until its close, after the text's end too: a new test releases any
    // device before it, so an open one is this test's.
    if (g_hWaveOut)
        return g_hWaveOut->Heard(heard);
    heard = m_toneHeard;
    return m_bToneHeard;
}

void CMorseEngine::OnWomError(HWAVEOUT hwo)
{
    if (hwo != g_hWaveOut || !hwo)
        return;
    // The device has stopped taking data: end the test as Stop would.
    const bool bWasPlaying = m_bPlaying != 0;
    const bool bOpened = hwo->IsOpen();
    ReleaseStream(false);
    m_bPlaying = 0;
    if (bOpened)
        OnStreamFailed(bWasPlaying);
    else
        OnStreamNotOpened();
}

void CMorseEngine::ReleaseStream(bool bNotify)
{
    m_bCountHeard = false;
    m_startPause.stop();
    HWAVEOUT hwo = g_hWaveOut;
    if (!hwo)
        return;
    g_hWaveOut = nullptr;
    waveOutReset(hwo); // hands the header back at once
    waveOutUnprepareHeader(hwo, &g_WaveHdr, sizeof(WAVEHDR));
    waveOutClose(hwo); // the device frees itself after its close notice
    if (bNotify) {
        m_bPlaying = 0;
        OnStreamClosed();
    }
}
