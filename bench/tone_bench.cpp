// SPDX-License-Identifier: GPL-3.0-or-later
// The shaped tone measured from what the renderer makes: its rise time
// (10 % to 90 %) against the set edge, where its 50 % points lie against
// the keyed edges, its level and pitch; a fall that ends within a short
// gap; and, at 120 WPM with edges longer than a dot, every element and
// gap at its keyed length between 50 % points.
//
//   tone_bench
#include "Check.h"
#include "audio/ToneRender.h"
#include "drills/Apply.h"
#include "engine/ToneBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

static int FirstAbove(const std::vector<int16_t>& pcm, double level)
{
    for (size_t i = 0; i < pcm.size(); ++i)
        if (std::abs(pcm[i]) >= level)
            return int(i);
    return -1;
}

static int LastAbove(const std::vector<int16_t>& pcm, double level)
{
    for (size_t i = pcm.size(); i-- > 0;)
        if (std::abs(pcm[i]) >= level)
            return int(i);
    return -1;
}

static void Rise()
{
    std::printf("Shaped element of 100 ms (edge ms, keyed period): rise 10-90 %%, 50 %% points, level, pitch\n");
    for (auto [edgeMs, period] : {std::pair{5, 10}, {1, 11}, {10, 32}, {3, 16}}) {
        std::vector<unsigned char> key(1600, 0);
        for (int i = 0; i < 800; ++i)
            key[size_t(i)] = i % period < period / 2 ? kToneHigh : kToneLow;
        std::vector<int16_t> out;
        const ToneShaping shaping{ToneShape::Shaped, edgeMs, 0, {}};
        RenderKeyed(key.data(), uint32_t(key.size()), shaping, out);
        const int rate = RenderRate(shaping);
        Within("rate of a shaped tone", rate, 48000, 48000);
        Within("samples for 1600 keyed", double(out.size()), 1600.0 * 6, 1600.0 * 6);
        const double ms = 1000.0 / rate;
        // The envelope is seen at the sine's peaks: half a period apart.
        const double tol = 1000.0 / (8000.0 / period) / 2 + 0.1;
        auto first = [&](double share) { return FirstAbove(out, share * kToneLevel) * ms; };
        const double rise = first(0.9) - first(0.1);
        const double span = edgeMs / 0.59033; // the raised cosine's whole span
        const double half0 = first(0.5), half1 = LastAbove(out, 0.5 * kToneLevel) * ms;
        const double silentFrom = LastAbove(out, 0.0001 * kToneLevel) * ms;
        const int from = int(span / ms) + 1, to = int(100.0 / ms);
        const int peak = std::abs(*std::max_element(out.begin() + from, out.begin() + to,
                                                    [](int a, int b) { return std::abs(a) < std::abs(b); }));
        int crossings = 0;
        for (int i = from + 1; i < to; ++i)
            crossings += (out[size_t(i - 1)] < 0) != (out[size_t(i)] < 0) ? 1 : 0;
        const double hz = crossings / 2.0 / (double(to - from) / rate);
        std::printf("  %2d ms, %2d: rise %6.2f ms, 50 %% at %6.2f and %7.2f ms, silent from %7.2f ms, level %5d, %6.1f Hz\n",
                    edgeMs, period, rise, half0, half1, silentFrom, peak, hz);
        Within("rise against the edge, ms", rise - edgeMs, -tol, tol);
        Within("first 50 % point after the keyed edge, ms", half0 - span / 2, -tol, tol);
        Within("last 50 % point after the keyed end, ms", half1 - (100 + span / 2), -tol, tol);
        Within("silent once the fall is over, ms", silentFrom, 0, 100 + span);
        Within("level against the tone's, share", double(peak) / kToneLevel, 0.99, 1.01);
        Within("pitch against the keyed, Hz", hz - 8000.0 / period, -15, 15);
    }
}

static void ShortGap()
{
    // Two elements 1 ms apart at 10 ms edges: the first one's fall is over
    // before the second begins.
    std::vector<unsigned char> key(1600, 0);
    for (int i = 0; i < 808; ++i)
        key[size_t(i)] = i >= 400 && i < 408 ? kKeyUp : (i % 10 < 5 ? kToneHigh : kToneLow);
    std::vector<int16_t> out;
    RenderKeyed(key.data(), uint32_t(key.size()), {ToneShape::Shaped, 10, 0, {}}, out);
    int loudest = 0;
    for (int i = 408 * 6 - 3; i < 408 * 6; ++i)
        loudest = std::max(loudest, std::abs(int(out[size_t(i)])));
    std::printf("A 1 ms gap at 10 ms edges: %d at its end (%.2f %% of the tone)\n", loudest, 100.0 * loudest / kToneLevel);
    Within("level at the end of a 1 ms gap, share", double(loudest) / kToneLevel, 0, 0.02);
}

static void LongEdges()
{
    // 'A' then 'E' at 120 WPM (a dot of 80 keyed samples) with 10 ms edges.
    CMorseEngine e;
    e.SetSettings({kLatinPhrase, 800, 120, 100});
    TrainingOptions o;
    o.eToneShape = ToneShape::Shaped;
    o.nEdgeMs = 10;
    ApplyTrainingOptions(o, e);
    static unsigned char buf[kToneBufSamples];
    std::vector<int16_t> out;
    for (unsigned char ch : {'A', 'E'})
        RenderKeyed(buf, uint32_t(e.MakeWave(buf, 800, e.DotMs(), ch)), e.GetKeyingOptions().shaping, out);
    // Envelope crossings of 50 %, from the peaks of each half period.
    std::vector<double> edges;
    bool above = false;
    for (size_t i = 0; i + 30 < out.size(); i += 30) {
        int peak = 0;
        for (size_t k = i; k < i + 30; ++k)
            peak = std::max(peak, std::abs(int(out[k])));
        if ((peak >= kToneLevel / 2) != above) {
            edges.push_back(double(i) / 48.0);
            above = !above;
        }
    }
    std::printf("A then E at 120 WPM, 10 ms edges: spans between 50 %% points (ms):");
    for (size_t k = 1; k < edges.size(); ++k)
        std::printf(" %.1f", edges[k] - edges[k - 1]);
    std::printf("\n");
    // Dot, gap, dash, character gap (3 dots), dot: 10 ms a dot.
    Within("50 % crossings", double(edges.size()), 6, 6);
    const double want[] = {10, 10, 30, 30, 10};
    for (size_t k = 0; k < 5 && k + 1 < edges.size(); ++k)
        Within("span between 50 % points against the keyed, ms", edges[k + 1] - edges[k] - want[k], -1, 1);
}

static void Volume()
{
    // Each step of the form's slider is a level of its own, key up stays
    // silence, and 1 % is quiet but heard: about -40 dB of the full tone.
    int last = 0, steps = 0;
    for (int percent = 0; percent <= 100; ++percent) {
        const uint32_t v = CMorseEngine::VolumeWord(percent);
        const int level = ScaleToVolume(kToneLevel, v);
        steps += percent == 0 ? level == 0 : level > last && ScaleToVolume(-kToneLevel, v) == -level;
        steps -= ScaleToVolume(0, v) != 0;
        last = level;
    }
    const double quiet = 20 * std::log10(ScaleToVolume(kToneLevel, CMorseEngine::VolumeWord(1)) / double(kToneLevel));
    std::printf("Volume: %d of 101 steps their own level, 1 %% at %.2f dB\n", steps, quiet);
    Within("volume steps each their own level", steps, 101, 101);
    Within("level at 1 %, dB", quiet, -40.2, -39.8);
}

int main()
{
    Volume();
    Rise();
    ShortGap();
    LongEdges();
    return BenchResult();
}
