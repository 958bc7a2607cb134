// SPDX-License-Identifier: GPL-3.0-or-later
// Effective (Farnsworth) speed as heard: a phrase of PARIS words written
// to a WAV file as the device would play it, then measured from the
// samples: the silence between words and the words a minute.
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
        const QString wav = dir.filePath("heard.wav");
        if (ExportTestAsWave(e, o, wav, [](int) { return true; }).eStatus != WaveExportResult::Written)
            return 1;
        QFile w(wav);
        w.open(QIODevice::ReadOnly);
        const QByteArray bytes = w.readAll().mid(44);
        std::vector<int> pcm(size_t(bytes.size() / 2));
        for (size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
        // Tone runs at 8000 per second; a word begins after a silence longer
        // than 5 ta / 19, between the stretched character and word gaps.
        const int sent = std::max(eff, 2) < wpm ? std::max(eff, 2) : wpm;
        const double ta = (60.0 * wpm - 37.2 * sent) / (sent * wpm);
        const size_t wordGap = size_t(8000 * 5 * ta / 19);
        std::vector<size_t> wordStarts;
        std::vector<double> gaps;
        size_t i = 0, lastEnd = 0;
        while (i < pcm.size()) {
            while (i < pcm.size() && pcm[i] == 0)
                ++i;
            if (i == pcm.size())
                break;
            if (wordStarts.empty() || i - lastEnd > wordGap) {
                if (!wordStarts.empty())
                    gaps.push_back(double(i - lastEnd) / 8.0);
                wordStarts.push_back(i);
            }
            while (i < pcm.size() && pcm[i] != 0)
                ++i;
            lastEnd = i;
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
    return BenchResult();
}
