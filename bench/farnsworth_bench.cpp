// SPDX-License-Identifier: GPL-3.0-or-later
// Effective (Farnsworth) speed as heard: a phrase of PARIS words written
// to a WAV file as the device would play it, then measured from the
// samples: the silence between words and the words a minute. Then the
// prosigns of the whole set, measured the same way: no character gap
// inside one, only element gaps.
//
//   farnsworth_bench            prints one line per speed pair
#include "Check.h"
#include "engine/ToneBuffers.h"
#include "drills/WaveExport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <vector>

static std::vector<int> ExportedPcm(CMorseEngine& e, const TrainingOptions& o, const QString& wav)
{
    if (ExportTestAsWave(e, o, wav, [](int) { return true; }).eStatus != WaveExportResult::Written)
        return {};
    QFile w(wav);
    w.open(QIODevice::ReadOnly);
    const QByteArray bytes = w.readAll().mid(44);
    std::vector<int> pcm(size_t(bytes.size() / 2));
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return pcm;
}

// The tones of a sound, in samples at 8000 a second: where each begins and
// the silence before it (the first one's from the start).
struct Tone {
    size_t nStart;
    size_t nSilenceBefore;
};
static std::vector<Tone> Tones(const std::vector<int>& pcm)
{
    std::vector<Tone> tones;
    size_t i = 0, lastEnd = 0;
    while (i < pcm.size()) {
        while (i < pcm.size() && pcm[i] == 0)
            ++i;
        if (i == pcm.size())
            break;
        tones.push_back({i, i - lastEnd});
        while (i < pcm.size() && pcm[i] != 0)
            ++i;
        lastEnd = i;
    }
    return tones;
}

// Each prosign of a phrase "<AR> <SK> ..." at 20 WPM (a 60 ms dot): the
// silences inside a word are all one dot, and each word has its elements.
static void Prosigns(QTemporaryDir& dir)
{
    QFile f(dir.filePath("signs.txt"));
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write("<AR> <SK> <BT> <KN> <AS> <BK> ");
    f.close();
    g_strPhraseFile = QFile::encodeName(f.fileName()).toStdString();
    CMorseEngine e;
    e.SetSettings({kLatinPhrase, 800, 20, 20});
    TrainingOptions o;
    o.nLatinSet = kLatinProsigns;
    const std::vector<int> pcm = ExportedPcm(e, o, dir.filePath("prosigns.wav"));

    std::vector<int> elements(1, 0);
    double longestInside = 0;
    for (const Tone& t : Tones(pcm)) {
        const double silence = double(t.nSilenceBefore) / 8.0; // ms
        if (elements.back() > 0 && silence > 6 * 60)
            elements.push_back(0);
        else if (elements.back() > 0)
            longestInside = std::max(longestInside, silence);
        ++elements.back();
    }
    std::printf("\nprosigns at 20 WPM: elements heard per sign");
    for (int n : elements)
        std::printf(" %d", n);
    std::printf("; longest silence inside a sign %.1f ms (a dot is 60 ms)\n", longestInside);
    Within("prosigns heard", double(elements.size()), 6, 6);
    Within("longest silence inside a prosign, ms", longestInside, 59, 61);
    const int expected[] = {5, 6, 5, 5, 5, 7}; // AR SK BT KN AS BK
    for (size_t k = 0; k < elements.size() && k < 6; ++k)
        Within("elements of a prosign", elements[k], expected[k], expected[k]);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString phrase = dir.filePath("paris.txt");
    QFile f(phrase);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    f.write("PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS PARIS ");
    f.close();
    g_strPhraseFile = QFile::encodeName(phrase).toStdString();
    std::printf("%5s %9s %14s %14s %12s\n", "WPM", "effective", "word gap ms", "7 ta/19 ms", "words/min");
    // Below 2 it is sent at 2; at or above the character speed, not slower.
    for (auto [wpm, eff] : {std::pair{20, 10}, {18, 5}, {12, 8}, {30, 15}, {25, 18}, {20, 4}, {20, 2}, {5, 2},
                            {120, 2}, {20, 1}, {12, 12}}) {
        CMorseEngine e;
        e.SetSettings({kLatinPhrase, 800, wpm, 20});
        TrainingOptions o;
        o.nEffectiveWpm = eff;
        const std::vector<int> pcm = ExportedPcm(e, o, dir.filePath("heard.wav"));
        if (pcm.empty())
            return 1;
        // Tone runs at 8000 per second; a word begins after a silence longer
        // than 5 ta / 19, between the stretched character and word gaps.
        const int sent = std::max(eff, 2) < wpm ? std::max(eff, 2) : wpm;
        const double ta = (60.0 * wpm - 37.2 * sent) / (sent * wpm);
        const size_t wordGap = size_t(8000 * 5 * ta / 19);
        std::vector<size_t> wordStarts;
        std::vector<double> gaps;
        for (const Tone& t : Tones(pcm)) {
            if (wordStarts.empty() || t.nSilenceBefore > wordGap) {
                if (!wordStarts.empty())
                    gaps.push_back(double(t.nSilenceBefore) / 8.0);
                wordStarts.push_back(t.nStart);
            }
        }
        double gap = 0;
        for (double g : gaps)
            gap += g;
        gap /= double(gaps.size());
        const double minutes = double(wordStarts.back() - wordStarts.front()) / 8000.0 / 60.0;
        const double perMin = double(wordStarts.size() - 1) / minutes;
        std::printf("%5d %9d %14.1f %14.1f %12.2f\n", wpm, eff, gap, 7 * ta / 19 * 1000, perMin);
        Within("words a minute against the effective speed", perMin - sent, -0.05, 0.05);
        Within("word gap against 7 ta / 19, ms", gap - 7 * ta / 19 * 1000, -1, 1);
    }
    Prosigns(dir);
    return BenchResult();
}
