// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of keying one character and of the graph's work per character.
#include "display/GraphStatic.h"
#include "engine/MorseEngine.h"
#include "engine/ToneBuffers.h"

#include <QApplication>
#include <benchmark/benchmark.h>

using CKeyer = CMorseEngine;

// The dot length Start derives from a speed.
static int DotMs(int wpm) { return 10000 / (wpm * 500 / 60); }

// MakeWave for a long (0) and a short (E) character.
static void BM_MakeWave(benchmark::State& state)
{
    const int wpm = int(state.range(0));
    const auto ch = static_cast<unsigned char>(state.range(1));
    CKeyer keyer;
    keyer.SetSettings({kLatinRandom1, 800, 12, 20});
    int samples = 0;
    for (auto _ : state) {
        samples = keyer.MakeWave(g_ToneBuf[0], 800, DotMs(wpm), ch);
        benchmark::DoNotOptimize(g_ToneBuf[0][samples / 2]);
    }
    state.counters["samples"] = samples;
}
BENCHMARK(BM_MakeWave)->ArgsProduct({{5, 12, 120}, {'0', 'E'}})->ArgNames({"wpm", "ch"});

// AddWaveData: one tone buffer turned into queued entries.
static void BM_AddWaveData(benchmark::State& state)
{
    const int wpm = int(state.range(0));
    CKeyer keyer;
    keyer.SetSettings({kLatinRandom1, 800, 12, 20});
    g_nCurBuf = 0;
    g_nToneLen[0] = keyer.MakeWave(g_ToneBuf[0], 800, DotMs(wpm), '0');
    g_nGraphWpm = wpm;
    CGraphStatic graph;
    for (auto _ : state) {
        graph.AddWaveData();
        state.PauseTiming();
        graph.RemoveAllPoints();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddWaveData)->Arg(5)->Arg(12)->Arg(120)->ArgName("wpm");

// One paint's Draw with one queued entry, on the form's graph size and a larger one.
class CGraphProbe : public CGraphStatic {
public:
    using CGraphStatic::Draw;
    QPixmap& Pixmap() { return m_bmpMem; }
};
static void BM_GraphDraw(benchmark::State& state)
{
    CGraphProbe graph;
    graph.resize(int(state.range(0)), int(state.range(1)));
    graph.Pixmap() = QPixmap(graph.size());
    for (auto _ : state) {
        state.PauseTiming();
        graph.AddPoint(15, 40, false);
        state.ResumeTiming();
        graph.Draw(&graph.Pixmap());
    }
}
BENCHMARK(BM_GraphDraw)->Args({507, 162})->Args({1000, 300})->ArgNames({"w", "h"});

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
