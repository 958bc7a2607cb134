// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/MorseEngine.h"
#include "engine/MorseTable.h"
#include "engine/ToneBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstring>
#include <ctime>

static int g_nStartPauseMs = 1000;

int ClampFreq(int nFreq) { return nFreq < 250 ? 250 : (nFreq > 1000 ? 1000 : nFreq); }

int ClampWpm(int nWpm) { return nWpm < 5 ? 5 : (nWpm > 120 ? 120 : nWpm); }

int DotMsForWpm(int nWpm)
{
    const int q = (nWpm * 500) / 60;
    return q > 0 ? 10000 / q : 10000;
}

void SetStartPause(int ms) { g_nStartPauseMs = std::max(ms, 0); }

int ReadTextByte(FILE* pFile)
{
    int c = std::fgetc(pFile);
    if (c == '\r') {
        int next = std::fgetc(pFile);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            std::ungetc(next, pFile);
    }
    return c;
}

FILE* OpenPhraseFile(const std::string& path)
{
    // Non-blocking, so that a FIFO cannot hang the caller in open().
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* pFile = ::fdopen(fd, "rb");
    if (!pFile)
        ::close(fd);
    return pFile;
}

// Draws use only the low 8 bits before the modulo.
static int Draw(int n) { return (std::rand() & 0xFF) % n; }

const std::vector<unsigned char>& WholeSet(bool bWabun)
{
    static const std::vector<unsigned char> latin = [] {
        std::vector<unsigned char> v;
        for (int c = 'A'; c <= 'Z'; ++c)
            v.push_back(static_cast<unsigned char>(c));
        return v;
    }();
    static const std::vector<unsigned char> kana = [] {
        std::vector<unsigned char> v;
        for (int c = 0xB1; c <= 0xDD; ++c)
            v.push_back(static_cast<unsigned char>(c));
        v.push_back(0xA6);
        return v;
    }();
    return bWabun ? kana : latin;
}

unsigned char DrawFrom(const DrawSet& set, bool bWabun)
{
    const int n = int(set.chars.size());
    if (n == 0) {
        const std::vector<unsigned char>& whole = WholeSet(bWabun);
        return whole[size_t(Draw(int(whole.size())))];
    }
    if (set.weights.size() != set.chars.size())
        return set.chars[size_t(Draw(n))];
    long long total = 0;
    for (int w : set.weights)
        total += std::max(w, 1);
    // Full rand: the weights' sum may pass 256.
    long long r = static_cast<long long>(std::rand()) % total;
    for (int i = 0; i < n; ++i) {
        r -= std::max(set.weights[size_t(i)], 1);
        if (r < 0)
            return set.chars[size_t(i)];
    }
    return set.chars.back();
}

TestSettings TestSettings::Clamped() const
{
    TestSettings s = *this;
    s.nFreq = ClampFreq(nFreq);
    s.nWpm = ClampWpm(nWpm);
    return s;
}

static bool IsPhraseMode(int nMode) { return nMode == kLatinPhrase || nMode == kWabunPhrase; }
static bool IsWabunRandom(int nMode) { return nMode == kWabunRandom1 || nMode == kWabunRandom5; }

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

int CMorseEngine::ProgressPermille() const
{
    int permille = m_nSentCount * 1000 / kRandomTestLength;
    if (m_pPhraseFile) {
        struct stat st {};
        const long pos = std::ftell(m_pPhraseFile);
        if (fstat(fileno(m_pPhraseFile), &st) == 0 && st.st_size > 0 && pos >= 0)
            permille = int(1000.0 * double(pos) / double(st.st_size));
    }
    return std::clamp(permille, 0, 1000);
}

int CMorseEngine::MakeWave(unsigned char* pBuf, int nFreq, int nDotMs, unsigned char ch)
{
    std::memset(pBuf, 0, kToneBufSamples);
    const int dot = m_keying.nDotSamples > 0 ? m_keying.nDotSamples : kSamplesPerMs * nDotMs;
    const int dash = 3 * dot;
    // Start clamps the frequency; a guard keeps other callers safe.
    const int period = nFreq > 0 && nFreq <= 8000 ? 8000 / nFreq : 1;
    const int half = period / 2;

    const char* pattern = MorsePattern(ch);
    if (*pattern == '\0') {
        // A word space of a phrase makes the effective speed's word gap; the
        // character before it has already added its character gap.
        const bool bWordSpace = (ch == ' ' || ch == '\n') && IsPhraseMode(m_nMode);
        const int extra = bWordSpace ? std::max(0, m_keying.nExtraWordGap - m_keying.nExtraCharGap) : 0;
        return std::min(4 * dot + extra, kToneBufSamples);
    }

    int pos = 0;
    int count = 0;
    for (int e = 0; e < 10 && pattern[e] != '\0'; ++e) {
        const int len = (pattern[e] == '-' ? dash : dot) + FistJitter(dot);
        for (int i = 0; i < len && pos + i < kToneBufSamples; ++i)
            pBuf[pos + i] = (i % period) < half ? kToneHigh : kToneLow;
        // The gap after the last element is part of the character's gap,
        // which varies once below.
        const int gap = e + 1 < 10 && pattern[e + 1] != '\0' ? dot + FistJitter(dot) : dot;
        pos += len + gap;
        count += len + gap;
    }
    count += FistJitter(dot);

    switch (m_nMode) {
    case kLatinRandom1:
    case kWabunRandom1:
        count += 5 * dot + m_keying.nExtraCharGap;
        break;
    case kLatinRandom5:
    case kWabunRandom5:
        if (++g_nGroupPos < 5) {
            count += 2 * dot + m_keying.nExtraCharGap;
        } else {
            g_nGroupPos = 0;
            if (m_nSentCount != kRandomTestLength)
                m_strSent += ' ';
            count += 10 * dot + m_keying.nExtraWordGap;
        }
        break;
    case kLatinPhrase:
    case kWabunPhrase:
        count += 2 * dot + m_keying.nExtraCharGap;
        break;
    default:
        break;
    }
    // Never more than the buffer holds, whatever the caller's dot length.
    return count < kToneBufSamples ? count : kToneBufSamples;
}

void CMorseEngine::KeyRecorded(int nBuf, unsigned char ch, int nFreq, int nDotMs)
{
    m_strSent += static_cast<char>(ch);
    ++m_nSentCount;
    g_nToneLen[nBuf] = MakeWave(g_ToneBuf[nBuf], nFreq, nDotMs, ch);
    m_abRecorded[nBuf] = true;
    m_abSign[nBuf] = *MorsePattern(ch) != '\0';
}

void CMorseEngine::ClosePhraseFile()
{
    if (m_pPhraseFile) {
        std::fclose(m_pPhraseFile);
        m_pPhraseFile = nullptr;
    }
}

FILE* CMorseEngine::OpenText() const
{
    if (m_strFixedText.empty())
        return OpenPhraseFile(g_strPhraseFile);
    // Read in place: the text outlives the test, which closes the stream.
    return fmemopen(const_cast<char*>(m_strFixedText.data()), m_strFixedText.size(), "r");
}

double KeyedPitch(int nFreq) { return nFreq > 0 && nFreq <= 8000 ? 8000.0 / (8000 / nFreq) : 8000.0; }

int CMorseEngine::FistJitter(int nDot)
{
    if (m_keying.nFistJitterPercent <= 0)
        return 0;
    // Cut off symmetrically at three deviations, so the mean stays and no
    // element or gap is lost (30 % at most: 0.1 dot remains).
    const double z = std::clamp(m_fist.Normal(), -3.0, 3.0);
    return int(std::lround(z * nDot * m_keying.nFistJitterPercent / 100.0));
}

int CMorseEngine::PrepareText(int nFreq, int nDotMs)
{
    m_fist = CBandRandom(m_keying.nFistSeed);
    const auto now = static_cast<long long>(std::time(nullptr));
    std::srand(static_cast<unsigned>(now & 0xFFFFFFFF));

    switch (m_nMode) {
    case kLatinPhrase: {
        ClosePhraseFile();
        m_pPhraseFile = OpenText();
        if (!m_pPhraseFile)
            return -2;
        int first = ReadTextByte(m_pPhraseFile);
        int second = first == EOF ? EOF : ReadTextByte(m_pPhraseFile);
        if (second == EOF)
            return -2; // fewer than two bytes; the file stays open
        KeyRecorded(0, static_cast<unsigned char>(first), nFreq, nDotMs);
        KeyRecorded(1, static_cast<unsigned char>(second), nFreq, nDotMs);
        break;
    }
    case kWabunPhrase:
        ClosePhraseFile();
        m_pPhraseFile = OpenText();
        if (!m_pPhraseFile)
            return -2;
        [[fallthrough]];
    case kWabunRandom1:
    case kWabunRandom5:
        // The start signal opens every Wabun test; it is not recorded.
        g_nToneLen[0] = MakeWave(g_ToneBuf[0], nFreq, nDotMs, kWabunStartSignal);
        g_nToneLen[1] = MakeWave(g_ToneBuf[1], nFreq, nDotMs, kWabunStartSignal);
        m_abRecorded[0] = m_abRecorded[1] = false;
        g_nGroupPos = 0;
        break;
    default: // Latin random; also a mode that no radio selects
        KeyRecorded(0, DrawFrom(m_keying.drawLatin, false), nFreq, nDotMs);
        KeyRecorded(1, DrawFrom(m_keying.drawLatin, false), nFreq, nDotMs);
        break;
    }
    return 0;
}

void CMorseEngine::NextChar(int nFreq, int nDotMs)
{
    const int nFree = g_nCurBuf == 1 ? 0 : 1;
    unsigned char ch;
    if (IsPhraseMode(m_nMode)) {
        int c = m_pPhraseFile ? ReadTextByte(m_pPhraseFile) : EOF;
        if (c == EOF) {
            m_bPlaying = 0;
            return;
        }
        ch = static_cast<unsigned char>(c);
    } else {
        if (m_nSentCount >= kRandomTestLength) {
            m_bPlaying = 0;
            return;
        }
        ch = IsWabunRandom(m_nMode) ? DrawFrom(m_keying.drawWabun, true) : DrawFrom(m_keying.drawLatin, false);
    }
    KeyRecorded(nFree, ch, nFreq, nDotMs);
}

int CMorseEngine::KeyWholeTest(const BufferSink& sink)
{
    // The order of StartWave and OnWomDone: buffer 0, then each done
    // writes the other buffer and refills the one just finished.
    m_strSent.clear();
    m_nSentCount = 0;
    g_nCurBuf = 0;
    g_nGroupPos = 0;
    const int r = PrepareText(m_nFreq, m_nDotMs);
    if (r != 0)
        return r;
    m_bPlaying = 1;
    if (!sink(g_ToneBuf[0], g_nToneLen[0])) {
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
    m_llSentSamples += g_nToneLen[g_nCurBuf];
    if (m_abRecorded[g_nCurBuf]) {
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
    m_llSentSamples = m_llHeardSamples = 0;
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
    g_hWaveOut = nullptr;
    m_bPlaying = 0;
    OnStreamClosed();
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
