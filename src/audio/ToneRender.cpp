// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ToneRender.h"

#include <algorithm>
#include <cmath>
#include <numbers>

int RenderRate(const ToneShaping& shaping)
{
    return shaping.eShape == ToneShape::Shaped || shaping.band.Active() ? 48000 : 8000;
}

int16_t ScaleToVolume(int sample, uint32_t dwVolume)
{
    const long long swing = static_cast<long long>(sample) * (dwVolume & 0xFFFF);
    return int16_t(swing >= 0 ? (swing + 32767) / 65535 : (swing - 32767) / 65535);
}

// The keyed square wave's period in samples at the start of a run.
static int KeyedPeriod(const unsigned char* key, uint32_t from, uint32_t to)
{
    // One high half and the low half after it.
    uint32_t i = from;
    while (i < to && key[i] == key[from])
        ++i;
    while (i < to && key[i] != 0 && key[i] != key[from])
        ++i;
    const uint32_t period = i - from;
    return period > 1 ? int(period) : 2;
}

void RenderKeyed(const unsigned char* key, uint32_t len, const ToneShaping& shaping, std::vector<int16_t>& out)
{
    const size_t base = out.size();
    const int rate = RenderRate(shaping);
    const int ratio = rate / 8000;
    if (shaping.eShape == ToneShape::Square) {
        out.resize(base + size_t(len) * size_t(ratio));
        for (uint32_t i = 0; i < len; ++i)
            std::fill_n(out.begin() + std::ptrdiff_t(base + size_t(i) * size_t(ratio)), ratio,
                        int16_t(key[i] == 0 ? 0 : (int(key[i]) - 128) * 256));
        return;
    }
    const double pi = std::numbers::pi;
    // nEdgeMs is the rise time from 10 % to 90 %, as rise times are quoted;
    // a raised cosine takes 0.59 of its whole span for that.
    const double riseTime = std::clamp(shaping.nEdgeMs, 1, 10) / 1000.0;
    const double span = riseTime * pi / (std::acos(-0.8) - std::acos(0.8));
    const int spanSamples = int(std::lround(span * rate));
    out.resize(base + size_t(len) * size_t(ratio), 0);
    for (uint32_t i = 0; i < len;) {
        if (key[i] == 0) {
            ++i;
            continue;
        }
        uint32_t j = i;
        while (j < len && key[j] != 0)
            ++j;
        uint32_t next = j;
        while (next < len && key[next] == 0)
            ++next;
        const double freq = 8000.0 / KeyedPeriod(key, i, j);
        const int on = int(j - i) * ratio; // key-down length at the device rate
        // Rise and fall alike, one span for every element of the test (its
        // dot), and never longer than the element or the silence after it.
        const int span = shaping.nMaxEdgeKeyed > 0 ? std::min(spanSamples, shaping.nMaxEdgeKeyed * ratio) : spanSamples;
        const int edgeSamples = std::max(1, std::min({span, on, int(next - j) * ratio}));
        const size_t first = base + size_t(i) * size_t(ratio);
        const int last = std::min(on + edgeSamples, int(out.size() - first));
        for (int n = 0; n < last; ++n) {
            double env = 1.0;
            if (n < edgeSamples)
                env = 0.5 - 0.5 * std::cos(pi * n / edgeSamples);
            if (n >= on)
                env *= 0.5 + 0.5 * std::cos(pi * (n - on) / edgeSamples);
            out[first + size_t(n)] = int16_t(std::lround(kToneLevel * env * std::sin(2 * pi * freq * n / rate)));
        }
        i = j;
    }
}

CToneChain::CToneChain(const ToneShaping& shaping) : m_shaping(shaping), m_nRate(RenderRate(shaping))
{
    if (shaping.band.Active())
        m_pBand = std::make_unique<CBandRender>(shaping.band, shaping.eShape == ToneShape::Square, m_nRate);
}

void CToneChain::AppendKeyed(const unsigned char* key, uint32_t len, uint32_t dwVolume, std::vector<int16_t>& out) const
{
    const size_t from = out.size();
    RenderKeyed(key, len, m_shaping, out);
    for (size_t i = from; i < out.size(); ++i)
        out[i] = ScaleToVolume(out[i], dwVolume);
}

void CToneChain::Band(const int16_t* in, size_t n, uint32_t dwVolume, int16_t* out)
{
    if (m_pBand)
        m_pBand->Process(in, n, VolumeFactor(dwVolume), out);
    else
        std::copy_n(in, n, out);
}

double CToneChain::VoiceGain(uint32_t dwVolume) const
{
    const double rms = m_shaping.eShape == ToneShape::Square ? kToneLevel : kToneLevel / std::sqrt(2.0);
    return rms * VolumeFactor(dwVolume);
}
