// SPDX-License-Identifier: GPL-3.0-or-later
// A digest of everything a test keys and renders, so that a change meant
// to keep the sound can be checked sample for sample against the build
// before it: the keyed buffers of each form mode, the sound file of each
// (square, shaped, with band conditions), and the exams' texts and dots.
// The clock is fixed, so the random modes draw the same characters.
//
//   keying_digest [expected-digest-file]   (prints; compares when given)
#include "engine/MorseEngine.h"
#include "engine/ToneBuffers.h"
#include "drills/Exam.h"
#include "drills/WaveExport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

// Every draw of a test is seeded from the clock at Start: fixed here.
extern "C" time_t time(time_t* t) noexcept
{
    if (t)
        *t = 1700000000;
    return 1700000000;
}

static uint64_t Fnv(uint64_t h, const void* p, size_t n)
{
    const auto* b = static_cast<const unsigned char*>(p);
    for (size_t i = 0; i < n; ++i)
        h = (h ^ b[i]) * 1099511628211ull;
    return h;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString phrase = dir.filePath("phrase.txt");
    {
        QFile f(phrase);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write("CQ CQ DE JA1ZZZ K\r\nTHE QUICK BROWN FOX 0123456789 /?.\n\xB1\xB2\xB3\xDE\xDF \xA5\n");
        f.close();
    }
    g_strPhraseFile = QFile::encodeName(phrase).toStdString();
    std::string out;
    auto line = [&](const char* what, int mode, uint64_t h) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "%s %d %016llx\n", what, mode, static_cast<unsigned long long>(h));
        out += buf;
    };
    for (int mode = 0; mode < 6; ++mode) {
        CMorseEngine e;
        e.SetSettings({mode, 800, 12, 20});
        uint64_t h = 1469598103934665603ull;
        if (e.KeyWholeTest([&](const unsigned char* p, int n) {
                h = Fnv(h, &n, sizeof n);
                h = Fnv(h, p, size_t(n));
                return true;
            })
            != 0)
            return 1;
        h = Fnv(h, e.Sent().data(), e.Sent().size());
        line("keyed", mode, h);
        for (int variant = 0; variant < 3; ++variant) {
            TrainingOptions o;
            if (variant >= 1)
                o.eToneShape = ToneShape::Shaped;
            if (variant == 2) {
                o.nNoiseSnrDb = 10;
                o.nQsbDepthDb = 10;
                o.nQrmStations = 2;
                o.nFistJitterPercent = 10;
                o.nFilterHz = 500;
                o.nBandSeed = 99;
            }
            CMorseEngine w;
            w.SetSettings({mode, 700, 25, 60});
            const QString path = dir.filePath("t.wav");
            if (ExportTestAsWave(w, o, path, [](int) { return true; }).eStatus != WaveExportResult::Written)
                return 1;
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                return 1;
            const QByteArray bytes = f.readAll();
            line(variant == 0 ? "square" : variant == 1 ? "shaped" : "band", mode, Fnv(1469598103934665603ull, bytes.data(), size_t(bytes.size())));
        }
    }
    for (ExamPart part : {ExamPart::Wabun, ExamPart::LatinCode, ExamPart::LatinPlain}) {
        const std::string text = ExamText(part, 375, 7, ExamLines(part));
        uint64_t h = Fnv(1469598103934665603ull, text.data(), text.size());
        const int dot = ExamDotSamples(text, 75);
        line("exam", int(part), Fnv(h, &dot, sizeof dot));
    }
    std::fputs(out.c_str(), stdout);
    if (argc > 1) {
        QFile f(QString::fromLocal8Bit(argv[1]));
        if (!f.open(QIODevice::ReadOnly) || f.readAll().toStdString() != out) {
            std::fprintf(stderr, "keying_digest: differs from %s\n", argv[1]);
            return 1;
        }
        std::printf("same as %s\n", argv[1]);
    }
    return 0;
}
