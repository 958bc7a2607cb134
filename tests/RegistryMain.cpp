// SPDX-License-Identifier: GPL-3.0-or-later
// The main of a test program of several test classes: each file
// registers its class and they run one after the other.
#include "TestRegistry.h"

#ifdef QT_WIDGETS_LIB
#include <QApplication>
using App = QApplication;
#else
#include <QCoreApplication>
using App = QCoreApplication;
#endif
#include <QtTest>

int main(int argc, char** argv)
{
    App app(argc, argv);
    int failed = 0;
    for (const TestFactory& make : TestRegistry()) {
        std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
