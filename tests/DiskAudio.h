// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SDL's disk driver writing the device's output to a file of the test's.
#include "audio/SdlWaveOut.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

struct CDiskAudio {
    QTemporaryDir dir;
    QString file = dir.filePath("out.raw");

    // Points SDL at the file, 8 times faster than real time.
    void Use() const
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(file));
        qputenv("SDL_DISKAUDIODELAY", "2");
    }
    // What reached the device; the file is complete once it is released.
    QByteArray Captured() const
    {
        if (!QTest::qWaitFor([] { return CSdlWaveOut::ClosingCount() == 0; }, 5000))
            qWarning("audio device still closing");
        QFile f(file);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};
