// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/Voice.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <numbers>
#include <numeric>
#include <set>
#include <thread>
#include <tuple>

namespace {

// The speech engine keeps global state: one caller at a time.
std::mutex g_speechMutex;
int g_nSpeechRate = 0; // 0: not loaded yet, -1: failed
int g_nVoiceLoaded = -1; // 0 English, 1 Japanese
std::vector<short>* g_pCollect = nullptr;

int Collect(short* wav, int n, espeak_EVENT*)
{
    if (wav && n > 0 && g_pCollect)
        g_pCollect->insert(g_pCollect->end(), wav, wav + n);
    return 0;
}

// Under the mutex.
bool LoadVoice(bool bJapanese)
{
    if (g_nSpeechRate == 0) {
        // Never exit the process on a missing data folder.
        g_nSpeechRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (g_nSpeechRate <= 0)
            g_nSpeechRate = -1;
        else
            espeak_SetSynthCallback(Collect);
    }
    if (g_nSpeechRate < 0)
        return false;
    const int want = bJapanese ? 1 : 0;
    if (g_nVoiceLoaded != want) {
        if (espeak_SetVoiceByName(bJapanese ? "ja" : "en-us") != EE_OK)
            return false;
        g_nVoiceLoaded = want;
    }
    return true;
}

// The speech engine's leading and trailing near-silence cut off, so that
// the voice begins where it is placed.
void TrimSilence(std::vector<float>& v)
{
    float peak = 0;
    for (float x : v)
        peak = std::max(peak, std::fabs(x));
    const float floor = peak * 0.01f;
    const auto loud = [floor](float x) { return std::fabs(x) > floor; };
    const auto first = std::find_if(v.begin(), v.end(), loud);
    const auto last = std::find_if(v.rbegin(), v.rend(), loud).base();
    if (first >= last) {
        v.clear();
        return;
    }
    v = std::vector<float>(first, last);
}

template <typename T> double ActiveRmsOf(const T* p, size_t n, int nRate)
{
    const size_t frame = std::max<size_t>(1, size_t(nRate) / 100);
    std::vector<double> power;
    for (size_t at = 0; at + frame <= n; at += frame) {
        double sum = 0;
        for (size_t i = at; i < at + frame; ++i)
            sum += double(p[i]) * double(p[i]);
        power.push_back(sum / double(frame));
    }
    const double loudest = power.empty() ? 0 : *std::max_element(power.begin(), power.end());
    if (loudest <= 0)
        return 0;
    double sum = 0;
    int count = 0;
    for (double w : power)
        if (w >= loudest * 1e-3) { // within 30 dB
            sum += w;
            ++count;
        }
    return std::sqrt(sum / count);
}

// Speech peaks lie 12 to 15 dB above its level; a tone's, 0 to 3 dB. So
// that the voice can be as loud as the tone at full volume, its peaks
// are brought down to kCrest times its level: a gain that falls at once
// ahead of a peak (1 ms ahead) and recovers over some 50 ms.
void LimitPeaks(std::vector<float>& v, int nRate)
{
    constexpr float kCrest = 2.0f;
    const size_t ahead = size_t(std::max(1, nRate / 1000));
    const float recover = 1.0f / float(std::max(1, nRate / 20));
    std::vector<float> need(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        need[i] = std::min(1.0f, kCrest / std::max(1e-6f, std::fabs(v[i])));
    // The least need over [i, i + ahead), kept by a queue of rising needs.
    std::deque<size_t> rising;
    size_t filled = 0;
    float g = 1.0f;
    for (size_t i = 0; i < v.size(); ++i) {
        for (; filled < std::min(v.size(), i + ahead); ++filled) {
            while (!rising.empty() && need[rising.back()] >= need[filled])
                rising.pop_back();
            rising.push_back(filled);
        }
        while (rising.front() < i)
            rising.pop_front();
        g = std::min(need[rising.front()], g + recover);
        v[i] *= g;
    }
}

void Normalise(std::vector<float>& v, int nRate)
{
    const double rms = ActiveRms(v.data(), v.size(), nRate);
    if (rms > 0)
        for (float& x : v)
            x = float(x / rms);
}

} // namespace

double ActiveRms(const float* p, size_t n, int nRate) { return ActiveRmsOf(p, n, nRate); }
double ActiveRms(const int16_t* p, size_t n, int nRate) { return ActiveRmsOf(p, n, nRate); }

bool PrepareVoice(bool bJapanese)
{
    std::lock_guard lock(g_speechMutex);
    return LoadVoice(bJapanese);
}

std::vector<float> Resample(const std::vector<float>& in, int nFrom, int nTo)
{
    if (nFrom == nTo || in.empty() || nFrom <= 0 || nTo <= 0)
        return in;
    // Output sample n lies at input position n * M / L; its fraction takes
    // one of L phases, whose taps are worked out once.
    const int g = std::gcd(nFrom, nTo);
    const long long L = nTo / g, M = nFrom / g;
    const double cutoff = 0.45 * std::min(1.0, double(nTo) / nFrom); // of the input rate, below both Nyquists
    const int half = int(std::ceil(16 / (2 * cutoff))); // taps on each side
    const int taps = 2 * half;
    std::vector<float> table(size_t(L) * size_t(taps));
    for (long long phase = 0; phase < L; ++phase)
        for (int j = 0; j < taps; ++j) {
            const double x = double(phase) / double(L) + (half - 1 - j); // from the tap to the output
            const double arg = 2 * cutoff * x;
            const double sinc = arg == 0 ? 1 : std::sin(std::numbers::pi * arg) / (std::numbers::pi * arg);
            const double w
                = 0.42 + 0.5 * std::cos(std::numbers::pi * x / half) + 0.08 * std::cos(2 * std::numbers::pi * x / half);
            table[size_t(phase) * size_t(taps) + size_t(j)] = float(2 * cutoff * sinc * w);
        }
    const size_t outLen = size_t(static_cast<long long>(in.size()) * L / M);
    std::vector<float> out(outLen);
    for (size_t n = 0; n < outLen; ++n) {
        const long long pos = static_cast<long long>(n) * M;
        const long long centre = pos / L;
        const float* coef = &table[size_t(pos % L) * size_t(taps)];
        double sum = 0;
        for (int j = 0; j < taps; ++j) {
            const long long k = centre - half + 1 + j;
            if (k >= 0 && k < static_cast<long long>(in.size()))
                sum += double(in[size_t(k)]) * coef[j];
        }
        out[n] = float(sum);
    }
    return out;
}

namespace {

using CacheKey = std::tuple<std::string, bool, bool, int>;
std::mutex g_cacheMutex;
std::map<CacheKey, VoiceSamples> g_cache; // null: the line says nothing
std::deque<CacheKey> g_cacheOrder;        // oldest first
size_t g_nCachedSamples = 0;
// About 3 minutes of voices at 48 kHz (32 MiB): the oldest go first.
constexpr size_t kCacheSamples = size_t(8) << 20;
std::set<CacheKey> g_saying; // being said now, on some thread
std::condition_variable g_said;

// The speech engine under its lock; the rest on the caller's thread, so
// that a line from the cache never waits for another being said.
VoiceSamples Synthesize(const VoiceLine& line, int nRate)
{
    std::vector<short> said;
    int nSpeechRate = 0;
    {
        std::lock_guard lock(g_speechMutex);
        if (!LoadVoice(line.bJapanese))
            return nullptr;
        g_pCollect = &said;
        const unsigned flags = espeakCHARS_UTF8 | (line.bSsml ? espeakSSML : 0u);
        const espeak_ERROR e
            = espeak_Synth(line.strText.c_str(), line.strText.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, nullptr);
        g_pCollect = nullptr;
        if (e != EE_OK)
            return nullptr;
        nSpeechRate = g_nSpeechRate;
    }
    std::vector<float> v(said.begin(), said.end());
    TrimSilence(v);
    v = Resample(v, nSpeechRate, nRate);
    if (ActiveRms(v.data(), v.size(), nRate) <= 0)
        return nullptr;
    for (int pass = 0; pass < 2; ++pass) {
        Normalise(v, nRate);
        LimitPeaks(v, nRate);
    }
    Normalise(v, nRate);
    return std::make_shared<const std::vector<float>>(std::move(v));
}

// Says a test's lines ahead of its keying, one after another, so that
// the keying (on the audio thread too) finds them in the cache.
class CVoiceWorker {
public:
    static CVoiceWorker& Instance()
    {
        static CVoiceWorker s_worker;
        return s_worker;
    }
    void Prefetch(std::vector<VoiceLine> lines, int nRate)
    {
        std::lock_guard lock(m_mutex);
        m_lines = std::move(lines);
        m_nNext = 0;
        m_nLimit = kAhead;
        m_nRate = nRate;
        m_wake.notify_one();
    }
    void KeyedUpTo(size_t n)
    {
        std::lock_guard lock(m_mutex);
        if (n + kAhead > m_nLimit) {
            m_nLimit = n + kAhead;
            m_wake.notify_one();
        }
    }
    ~CVoiceWorker()
    {
        {
            std::lock_guard lock(m_mutex);
            m_bQuit = true;
            m_wake.notify_one();
        }
        m_thread.join();
    }

private:
    CVoiceWorker() : m_thread([this] { Run(); }) { }
    void Run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_bQuit || m_nNext < std::min(m_lines.size(), m_nLimit); });
            if (m_bQuit)
                return;
            const VoiceLine line = m_lines[m_nNext++];
            const int nRate = m_nRate;
            lock.unlock();
            SpeakLine(line, nRate);
            lock.lock();
        }
    }
    std::mutex m_mutex;
    std::condition_variable m_wake;
    // Said no further ahead of the keying than this many lines, so that
    // a long text's voices do not crowd the cache.
    static constexpr size_t kAhead = 64;
    std::vector<VoiceLine> m_lines;
    size_t m_nNext = 0;
    size_t m_nLimit = 0;
    int m_nRate = 0;
    bool m_bQuit = false;
    std::thread m_thread; // last: started once the rest is set
};

} // namespace

void PrefetchLines(std::vector<VoiceLine> lines, int nRate)
{
    CVoiceWorker::Instance().Prefetch(std::move(lines), nRate);
}

void PrefetchFrom(size_t nLine) { CVoiceWorker::Instance().KeyedUpTo(nLine); }

VoiceSamples SpeakLine(const VoiceLine& line, int nRate)
{
    if (line.strText.empty() || nRate <= 0)
        return nullptr;
    const CacheKey key {line.strText, line.bJapanese, line.bSsml, nRate};
    std::unique_lock lock(g_cacheMutex);
    // A line another thread is saying is waited for, not said twice.
    g_said.wait(lock, [&] { return !g_saying.contains(key); });
    if (const auto found = g_cache.find(key); found != g_cache.end())
        return found->second;
    g_saying.insert(key);
    lock.unlock();
    VoiceSamples samples = Synthesize(line, nRate);
    lock.lock();
    g_saying.erase(key);
    g_said.notify_all();
    const auto placed = g_cache.emplace(key, samples);
    if (placed.second) {
        g_cacheOrder.push_back(key);
        g_nCachedSamples += samples ? samples->size() : 0;
    }
    // A long text's words should not grow the cache without end.
    while (g_nCachedSamples > kCacheSamples && g_cacheOrder.size() > 1) {
        const auto oldest = g_cache.find(g_cacheOrder.front());
        g_nCachedSamples -= oldest->second ? oldest->second->size() : 0;
        g_cache.erase(oldest);
        g_cacheOrder.pop_front();
    }
    return samples;
}

// Below full scale a little, so that a limited peak is never clipped.
static int16_t SoftLimit(double x)
{
    constexpr double kKnee = 24000, kCeiling = 32600;
    const double a = std::fabs(x);
    if (a <= kKnee)
        return int16_t(std::lround(x));
    const double limited = kKnee + (kCeiling - kKnee) * std::tanh((a - kKnee) / (kCeiling - kKnee));
    return int16_t(std::lround(std::copysign(limited, x)));
}

void OverlayVoice(
    int16_t* out, size_t n, long long llOutPos, const std::vector<float>& voice, long long llVoiceAt, double dGain)
{
    const long long from = std::max(llOutPos, llVoiceAt);
    const long long to
        = std::min(llOutPos + static_cast<long long>(n), llVoiceAt + static_cast<long long>(voice.size()));
    for (long long p = from; p < to; ++p)
        out[p - llOutPos] = SoftLimit(voice[size_t(p - llVoiceAt)] * dGain);
}
