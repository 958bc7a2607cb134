// SPDX-License-Identifier: GPL-3.0-or-later
// The room (部屋の残響) as heard in the exported sound: a dash followed by
// silence, written with the room at a set reverberation time (at five
// pitches) and without it; from where the clean dash ends, the
// reverberation's decay by Schroeder's backward integration, its RT60
// taken from the fall from -5 to -25 dB (T20, times three). The measured
// time should be the set one.
#include "Check.h"
#include "engine/ToneBuffers.h"
#include "drills/WaveExport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <vector>

// The samples of an exported file, and its rate.
static std::vector<double> Exported(const TrainingOptions& o, const QString& wav, int nFreq, int& nRate)
{
    CMorseEngine e;
    e.SetSettings({kLatinPhrase, nFreq, 20, 100});
    if (ExportTestAsWave(e, o, wav, [](int) { return true; }).eStatus != WaveExportResult::Written)
        return {};
    QFile w(wav);
    w.open(QIODevice::ReadOnly);
    const QByteArray all = w.readAll();
    nRate = qFromLittleEndian<qint32>(all.constData() + 24);
    const QByteArray bytes = all.mid(44);
    std::vector<double> pcm(size_t(bytes.size() / 2));
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return pcm;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QFile f(dir.filePath("dash.txt"));
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    f.write("T                    "); // a dash, then 20 word spaces (4.8 s) to ring out
    f.close();
    g_strPhraseFile = QFile::encodeName(f.fileName()).toStdString();
    int cleanRate = 0, rate = 0;
    const std::vector<double> clean = Exported(TrainingOptions{}, dir.filePath("clean.wav"), 800, cleanRate);
    size_t cleanEnd = clean.size();
    while (cleanEnd > 0 && clean[cleanEnd - 1] == 0)
        --cleanEnd;
    std::printf("%12s %14s %10s\n", "RT60 set ms", "measured ms", "error %");
    for (int rt60 : {300, 800, 1500, 3000}) {
        TrainingOptions o;
        o.nRoomRt60Ms = rt60;
        // Schroeder's integral from the end of the file back to the dash's
        // end, summed over five pitches: one tone meets the combs'
        // resonances unevenly, several even out.
        std::vector<double> energy;
        for (int freq : {600, 700, 800, 900, 1000}) {
            const std::vector<double> pcm = Exported(o, dir.filePath("room.wav"), freq, rate);
            const size_t end = cleanEnd * size_t(rate) / size_t(std::max(cleanRate, 1));
            if (pcm.size() < end)
                return 1;
            energy.resize(pcm.size() - end + 1, 0.0);
            double sum = 0;
            for (size_t i = pcm.size(); i-- > end;) {
                sum += pcm[i] * pcm[i];
                energy[i - end] += sum;
            }
        }
        auto timeAt = [&](double db) {
            for (size_t i = 0; i < energy.size(); ++i)
                if (10 * std::log10(energy[i] / energy[0] + 1e-300) <= db)
                    return double(i) / rate;
            return -1.0;
        };
        const double t5 = timeAt(-5), t25 = timeAt(-25);
        const double measured = t5 >= 0 && t25 > t5 ? 3 * (t25 - t5) * 1000 : 0;
        const double error = 100 * (measured - rt60) / rt60;
        std::printf("%12d %14.0f %10.1f\n", rt60, measured, error);
        Within("RT60 measured against set, %", error, -10, 10);
    }
    return BenchResult();
}
