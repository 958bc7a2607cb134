// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the event loop until a condition holds, without QTest::qWaitFor's
// 10 ms sleep between rounds: queued device notices arrive at once.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

template <class Done> bool RunUntil(Done done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::yieldCurrentThread();
    }
    return true;
}
