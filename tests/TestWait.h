// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the event loop until a condition holds, without QTest::qWaitFor's
// 10 ms sleep between rounds: queued device notices arrive at once.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
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

// For a table walked inside one test: names the row in the log when a
// check of it fails (a failed check returns from the test).
#define DRAVIK_ROW(name)                                                                                        \
    const auto rowGuard_ = qScopeGuard([&] {                                                                    \
        if (QTest::currentTestFailed())                                                                         \
            qWarning("row: %s", qPrintable(QString(name)));                                                     \
    })
