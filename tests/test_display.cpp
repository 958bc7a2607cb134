// SPDX-License-Identifier: GPL-3.0-or-later
// Keying graph: the feeder's entries and the picture it paints.
#include "display/GraphStatic.h"
#include "engine/MorseEngine.h"
#include "engine/ToneBuffers.h"

#include <QtTest>

using Entries = std::vector<GraphPoint>;


using CKeyer = CMorseEngine;

// Keys one character into buffer 0 and feeds it to the graph.
static Entries Feed(CGraphStatic& graph, unsigned char ch, int wpm, int dotMs)
{
    CKeyer keyer;
    keyer.SetSettings({kLatinRandom1, 800, 12, 20});
    g_nCurBuf = 0;
    g_nToneLen[0] = keyer.MakeWave(g_ToneBuf[0], 800, dotMs, ch);
    g_nGraphWpm = wpm;
    graph.RemoveAllPoints();
    graph.AddWaveData();
    return Entries(graph.Queue().begin(), graph.Queue().end());
}

class TestDisplay : public QObject {
    Q_OBJECT

    static QColor Pixel(const CGraphStatic& g, int x, int y) { return g.Picture().toImage().pixelColor(x, y); }

    // Every pixel of column x that is green, top to bottom.
    static QList<int> GreenRows(const CGraphStatic& g, int x)
    {
        const QImage img = g.Picture().toImage();
        QList<int> rows;
        for (int y = 0; y < img.height(); ++y)
            if (img.pixelColor(x, y) == CGraphStatic::kTraceColor)
                rows << y;
        return rows;
    }

private slots:
    void entriesOfCharacters()
    {
        // E at 60 wpm: 160 tone samples, T = 20: floor(159 / 21) = 7 steps.
        // T at 5 wpm: 5832 samples, T = 100: floor(5831 / 101) = 57.
        const struct { int ch, wpm, dotMs; Entries expected; } rows[] = {
            {'A', 12, 100, {{40, 0}, {13, 0}, {15, 40}, {15, 0}, {47, 40}, {30, 0}, {30, -1}}},
            {' ', 12, 100, {{40, 0}, {30, 0}, {30, -1}}},
            {0x82, 60, 20, {{40, 0}, {30, 0}, {30, -1}}},
            {'E', 60, 20, {{40, 0}, {13, 0}, {7, 40}, {30, 0}, {30, -1}}},
            {'T', 5, 243, {{40, 0}, {13, 0}, {57, 40}, {30, 0}, {30, -1}}},
        };
        for (const auto& r : rows) {
            CGraphStatic graph;
            QCOMPARE(Feed(graph, static_cast<unsigned char>(r.ch), r.wpm, r.dotMs), r.expected);
        }
    }

    void entriesOfBuffers()
    {
        // A key-down run of N samples after its transition byte makes
        // floor((N-1)/(T+1)) steps, T by the speed.
        for (auto [wpm, t] : {std::pair{5, 100}, {6, 80}, {19, 50}, {20, 40}, {59, 30}, {60, 20}}) {
            QCOMPARE(StepThreshold(wpm), t);
            unsigned char buf[2000] = {};
            std::memset(buf, 0xC0, 1000);
            QCOMPARE(MakeGraphEntries(buf, 2000, wpm).at(2), (GraphPoint{999 / (t + 1), 40}));
        }
        // 128 and 255 within a tone neither switch the state nor count:
        // 200 samples of tone make 3 steps.
        static unsigned char buf[kToneBufSamples];
        std::memset(buf, 0xC0, 100);
        std::memset(buf + 100, 128, 50);
        std::memset(buf + 150, 255, 50);
        std::memset(buf + 200, 0x40, 100);
        std::memset(buf + 300, 0, 200);
        QCOMPARE(MakeGraphEntries(buf, 500, 12), (Entries{{40, 0}, {13, 0}, {3, 40}, {30, 0}, {30, -1}}));
        // 120 wpm, a long tone: far more than 500 records, the rest dropped;
        // the key-down run never ends within them, so it has no entry.
        std::memset(buf, 0x40, 30000);
        std::memset(buf + 30000, 0, kToneBufSamples - 30000);
        QCOMPARE(MakeGraphEntries(buf, kToneBufSamples, 120), (Entries{{40, 0}, {13, 0}, {30, 0}, {30, -1}}));
        QCOMPARE(g_nStepCount, kMaxSteps);
    }

    void catchUpAboveHundred()
    {
        // Entries queued, and left after one paint: above 100, all at once.
        for (auto [queued, left] : {std::pair{0, 0}, {1, 0}, {100, 99}, {101, 0}}) {
            CGraphStatic graph;
            graph.resize(300, 150);
            graph.show();
            QVERIFY(QTest::qWaitForWindowExposed(&graph));
            for (int i = 0; i < queued; ++i)
                graph.AddPoint(1, i % 2 ? 40 : 0, false);
            graph.repaint();
            QCOMPARE(graph.QueuedCount(), left);
        }
    }

    void pictureOfEntries()
    {
        CGraphStatic graph;
        graph.setFrameStyle(QFrame::NoFrame);
        graph.resize(200, 101);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        graph.repaint();
        const int w = 200, mid = 50;
        QCOMPARE(Pixel(graph, 0, 0), CGraphStatic::kBackColor);
        QCOMPARE(Pixel(graph, w - 1, 100), CGraphStatic::kBackColor);

        graph.AddPoint(40, 0, false);
        graph.repaint();
        QCOMPARE(GreenRows(graph, w - 40), QList<int>{mid});
        QCOMPARE(GreenRows(graph, w - 1), QList<int>{mid});
        QCOMPARE(GreenRows(graph, w - 41), QList<int>{});

        // Key down: the rising edge stops short of its end, the top runs to the edge.
        graph.AddPoint(15, 40, false);
        graph.repaint();
        QList<int> edge;
        for (int y = mid; y > mid - 40; --y)
            edge.prepend(y);
        QCOMPARE(GreenRows(graph, w - 15), QList<int>{mid - 40} + edge);
        QCOMPARE(GreenRows(graph, w - 1), QList<int>{mid - 40});
        // The first entry moved 15 pixels to the left.
        QCOMPARE(GreenRows(graph, w - 55), QList<int>{mid});
        QCOMPARE(GreenRows(graph, w - 16), QList<int>{mid});

        // A blank strip draws nothing; the next edge starts just below the mid line.
        graph.AddPoint(30, -1, false);
        graph.repaint();
        for (int x = w - 30; x < w; ++x)
            QCOMPARE(GreenRows(graph, x), QList<int>{});
        graph.AddPoint(10, 0, false);
        graph.repaint();
        QCOMPARE(GreenRows(graph, w - 10), (QList<int>{mid, mid + 1}));
        QCOMPARE(GreenRows(graph, w - 9), QList<int>{mid});
    }

    void clearGraphFillsGreyOnNextPaint()
    {
        CGraphStatic graph;
        graph.resize(120, 80);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        graph.AddPoint(60, 40, false);
        graph.repaint();
        QVERIFY(!GreenRows(graph, 100).isEmpty());
        graph.ClearGraph();
        graph.RemoveAllPoints();
        graph.repaint();
        const QImage img = graph.Picture().toImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                QCOMPARE(img.pixelColor(x, y), CGraphStatic::kBackColor);
    }

    void timerDrawsOnlyWhatIsNewWhileShown()
    {
        // Counts the graph's paints.
        struct CPaintCounter : QObject {
            int nPaints = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                nPaints += e->type() == QEvent::Paint ? 1 : 0;
                return false;
            }
        } counter;
        CGraphStatic graph;
        graph.resize(120, 80);
        graph.installEventFilter(&counter);
        for (int i = 0; i < 3; ++i)
            graph.AddPoint(5, 0, false);
        QTest::qWait(80);
        QCOMPARE(graph.QueuedCount(), 3); // hidden: nothing paints
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        QTRY_COMPARE(graph.QueuedCount(), 0);
        QVERIFY(graph.HasMemDC());
        QTest::qWait(60);
        const int drained = counter.nPaints;
        QTest::qWait(200); // ten ticks with nothing to draw
        QCOMPARE(counter.nPaints, drained);
        QVERIFY(graph.TimerActive());
        graph.AddPoint(5, 0, false); // something new is drawn at the next tick
        QTRY_VERIFY(counter.nPaints > drained);
        QCOMPARE(graph.QueuedCount(), 0);
        // Hidden, the timer stops; shown again, it runs and drains again.
        graph.hide();
        QVERIFY(!graph.TimerActive());
        graph.AddPoint(5, 0, false);
        QTest::qWait(80);
        QCOMPARE(graph.QueuedCount(), 1);
        graph.show();
        QVERIFY(graph.TimerActive());
        QTRY_COMPARE(graph.QueuedCount(), 0);
    }
};

QTEST_MAIN(TestDisplay)
#include "test_display.moc"
