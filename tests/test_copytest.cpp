// The copy-test library: form, stream, scoring and a whole test through
// SDL's disk driver, each a test class of its own.
#include "TestRegistry.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    for (const TestFactory& make : TestRegistry()) {
        std::unique_ptr<QObject> test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
