// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/Band.h"
#include "audio/ToneRender.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

static constexpr double kPi = std::numbers::pi;

double CBandRandom::Uniform() { return double(m_gen() >> 5) * (1.0 / 134217728.0); }

double CBandRandom::Normal()
{
    // Box-Muller, both halves used.
    if (m_bSpare) {
        m_bSpare = false;
        return m_dSpare;
    }
    const double u = 1.0 - Uniform(); // (0, 1]
    const double v = Uniform();
    const double r = std::sqrt(-2.0 * std::log(u));
    m_dSpare = r * std::sin(2 * kPi * v);
    m_bSpare = true;
    return r * std::cos(2 * kPi * v);
}

double CBandRender::Biquad::Power(double dHz, int nRate) const
{
    const std::complex<double> z1 = std::polar(1.0, -2 * kPi * dHz / nRate);
    const std::complex<double> h = (b0 + b1 * z1 + b2 * z1 * z1) / (1.0 + a1 * z1 + a2 * z1 * z1);
    return std::norm(h);
}

// The cookbook sections (R. Bristow-Johnson, "Audio EQ Cookbook").
enum class Pass { Low, High, Band };
static CBandRender::Biquad Section(Pass pass, double dHz, double q, int nRate)
{
    const double w = 2 * kPi * dHz / nRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    CBandRender::Biquad s;
    switch (pass) {
    case Pass::Low:
        s.b0 = s.b2 = (1 - c) / 2 / a0;
        s.b1 = (1 - c) / a0;
        break;
    case Pass::High:
        s.b0 = s.b2 = (1 + c) / 2 / a0;
        s.b1 = -(1 + c) / a0;
        break;
    case Pass::Band: // 0 dB at the centre
        s.b0 = alpha / a0;
        s.b1 = 0;
        s.b2 = -alpha / a0;
        break;
    }
    s.a1 = -2 * c / a0;
    s.a2 = (1 - alpha) / a0;
    return s;
}

std::vector<CBandRender::Biquad> CBandRender::FilterFor(double dCentreHz, int nWidthHz, int nRate)
{
    // Each resonator is -1.5 dB where the pair is -3 dB: its own width is
    // the pair's / sqrt(sqrt 2 - 1).
    const double width = nWidthHz / std::sqrt(std::sqrt(2.0) - 1);
    const double q = dCentreHz / width;
    return {Section(Pass::Band, dCentreHz, q, nRate), Section(Pass::Band, dCentreHz, q, nRate)};
}

// Power gain of a chain integrated over [from, to) Hz, in Hz.
static double PowerIn(const std::vector<CBandRender::Biquad>& chain, double from, double to, int nRate)
{
    const double step = 1.0;
    double sum = 0;
    for (double f = std::max(from, 0.0) + step / 2; f < to; f += step) {
        double p = 1;
        for (const CBandRender::Biquad& s : chain)
            p *= s.Power(f, nRate);
        sum += p * step;
    }
    return sum;
}

CBandRender::CBandRender(const BandConditions& conditions, bool bSquareTone, int nRate)
    : m_c(conditions), m_nRate(nRate), m_random(conditions.nSeed)
{
    const double level = kToneLevel;
    // The tone as heard in the band: a sine's power, or the square wave's
    // fundamental's (8/π² of its power; its harmonics lie outside).
    const double tonePower = bSquareTone ? 8 / (kPi * kPi) * level * level : level * level / 2;
    // A receiver's audio passband shapes the hiss, as on the air.
    m_passband = {Section(Pass::High, 200, std::numbers::sqrt2 / 2, nRate),
                  Section(Pass::Low, 3000, std::numbers::sqrt2 / 2, nRate)};
    if (m_c.nFilterHz > 0)
        m_filter = FilterFor(m_c.dToneHz, m_c.nFilterHz, nRate);
    if (m_c.nRoomRt60Ms > 0)
        m_pRoom = std::make_unique<CRoomReverb>(m_c.nRoomRt60Ms, nRate);

    double peak = level;
    double noiseOut = 0;
    if (m_c.bNoise) {
        // White noise of deviation s has s² · 2 / rate of power per Hz.
        const double inBand = PowerIn(m_passband, m_c.dToneHz - 250, m_c.dToneHz + 250, nRate) * 2.0 / nRate;
        const double noisePower = tonePower / std::pow(10.0, m_c.dSnrDb / 10);
        m_dNoiseSigma = std::sqrt(noisePower / inBand);
        std::vector<Biquad> heard = m_passband;
        heard.insert(heard.end(), m_filter.begin(), m_filter.end());
        noiseOut = m_dNoiseSigma * std::sqrt(PowerIn(heard, 0, nRate / 2.0, nRate) * 2.0 / nRate);
        peak += 4 * noiseOut;
    }
    const double qrmAmplitude = std::sqrt(2 * tonePower * std::pow(10.0, m_c.nQrmLevelDb / 10.0));
    const double ratio = nRate / 8000.0;
    for (const QrmStation& q : m_c.qrm) {
        Station s;
        s.dAmplitude = qrmAmplitude;
        s.dStep = 2 * kPi * (m_c.dToneHz + q.dOffsetHz) / nRate;
        for (int span : q.spans)
            s.spans.push_back(std::max(1, int(std::lround(span * ratio))));
        if (s.spans.size() % 2 == 1)
            s.spans.push_back(1);
        if (s.spans.empty())
            continue;
        // Into the loop at its starting point.
        long long at = std::lround(q.nStartAt * ratio);
        long long loop = 0;
        for (int span : s.spans)
            loop += span;
        at %= loop;
        while (at >= s.spans[s.nSpan]) {
            at -= s.spans[s.nSpan];
            ++s.nSpan;
        }
        s.nLeft = int(s.spans[s.nSpan] - at);
        m_stations.push_back(std::move(s));
        peak += qrmAmplitude;
    }
    m_dHeadroom = std::min(1.0, 32000.0 / peak);
    // Other stations key with 5 ms edges, so they do not click.
    m_dEdgeStep = 1.0 / (0.005 * nRate);

    if (m_c.nQsbDepthDb > 0) {
        m_bQsbLow = m_random.Uniform() < 0.5;
        m_dQsbTo = m_bQsbLow ? -m_c.nQsbDepthDb : 0;
        NextQsbPoint();
        m_llQsbAt = std::llround(m_random.Uniform() * double(m_llQsbLen));
    }
}

void CBandRender::NextQsbPoint()
{
    // Loud and faded in turn, each about half a period, so that a fade
    // comes about once a period and the two ends span nearly the depth.
    const double depth = m_c.nQsbDepthDb;
    m_dQsbFrom = m_dQsbTo;
    m_bQsbLow = !m_bQsbLow;
    const double u = m_random.Uniform();
    m_dQsbTo = m_bQsbLow ? -depth + 0.05 * depth * u : -0.05 * depth * u;
    const double half = std::clamp(m_c.nQsbPeriodS, 2, 60) / 2.0 * (0.75 + 0.5 * m_random.Uniform());
    m_llQsbLen = std::max(1LL, std::llround(half * m_nRate));
    m_llQsbAt = 0;
}

double CBandRender::QsbGainDb()
{
    if (m_llQsbAt >= m_llQsbLen)
        NextQsbPoint();
    const double s = double(m_llQsbAt++) / double(m_llQsbLen);
    return m_dQsbFrom + (m_dQsbTo - m_dQsbFrom) * (0.5 - 0.5 * std::cos(kPi * s));
}

static int16_t Clip(long long v) { return int16_t(std::clamp(v, -32768LL, 32767LL)); }

// The combs' delays, mutually prime in samples at any rate used, and the
// allpasses' (Schroeder's); the share of the reverberation in what is heard.
static constexpr double kCombMs[] = {29.7, 37.1, 41.1, 43.7};
static constexpr double kAllpassMs[] = {5.0, 1.7};
static constexpr double kAllpassGain = 0.7;
static constexpr double kWet = 0.35;

CRoomReverb::CRoomReverb(int nRt60Ms, int nRate)
{
    for (size_t i = 0; i < std::size(m_combs); ++i) {
        const double ms = kCombMs[i];
        m_combs[i].buf.assign(size_t(std::lround(ms * nRate / 1000.0)), 0.0);
        m_combs[i].g = std::pow(10.0, -3.0 * ms / nRt60Ms);
    }
    for (size_t i = 0; i < std::size(m_allpasses); ++i) {
        m_allpasses[i].buf.assign(size_t(std::lround(kAllpassMs[i] * nRate / 1000.0)), 0.0);
        m_allpasses[i].g = kAllpassGain;
    }
}

double CRoomReverb::Run(double x)
{
    // Each comb's input is scaled by 1 - g, so that a held tone builds up
    // to no more than itself: the mix keeps its headroom.
    double wet = 0;
    for (Delay& c : m_combs) {
        const double y = c.buf[c.at];
        c.buf[c.at] = x * (1 - c.g) + c.g * y;
        c.at = (c.at + 1) % c.buf.size();
        wet += y;
    }
    for (Delay& a : m_allpasses) {
        const double d = a.buf[a.at];
        const double y = d - a.g * wet;
        a.buf[a.at] = wet + a.g * y;
        a.at = (a.at + 1) % a.buf.size();
        wet = y;
    }
    return (1 - kWet) * x + kWet * wet;
}

void CBandRender::Process(const int16_t* main, size_t n, double dVolume, int16_t* out)
{
    const bool bScaled = m_dHeadroom < 1 || m_c.nQsbDepthDb > 0;
    const double added = dVolume * m_dHeadroom;
    for (size_t i = 0; i < n; ++i) {
        double x = main[i];
        if (bScaled) {
            double gain = m_dHeadroom;
            if (m_c.nQsbDepthDb > 0)
                gain *= std::pow(10.0, QsbGainDb() / 20);
            x *= gain;
        }
        double add = 0;
        if (m_c.bNoise) {
            double w = m_random.Normal() * m_dNoiseSigma;
            for (Biquad& s : m_passband)
                w = s.Run(w);
            add += w;
        }
        for (Station& s : m_stations) {
            if (s.nLeft == 0) {
                s.nSpan = (s.nSpan + 1) % s.spans.size();
                s.nLeft = s.spans[s.nSpan];
            }
            --s.nLeft;
            const bool bDown = s.nSpan % 2 == 0;
            s.dEnv = bDown ? std::min(1.0, s.dEnv + m_dEdgeStep) : std::max(0.0, s.dEnv - m_dEdgeStep);
            if (s.dEnv > 0)
                add += s.dAmplitude * (0.5 - 0.5 * std::cos(kPi * s.dEnv)) * std::sin(s.dPhase);
            s.dPhase += s.dStep;
            if (s.dPhase > 2 * kPi)
                s.dPhase -= 2 * kPi;
        }
        add *= added;
        if (m_filter.empty() && !m_pRoom) {
            // Added, never multiplied in: without fading or scaling, the
            // clean samples pass exactly and the rest lies on top.
            out[i] = Clip(std::llround(x) + std::llround(add));
        } else {
            // The receiver's filter, then the room the loudspeaker is in.
            double y = x + add;
            for (Biquad& s : m_filter)
                y = s.Run(y);
            if (m_pRoom)
                y = m_pRoom->Run(y);
            out[i] = Clip(std::llround(y));
        }
    }
}
