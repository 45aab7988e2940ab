#include "TestRegistry.h"

#include <QCoreApplication>
#include <QTest>

#include <memory>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (const TestFactory &make : testRegistry()) {
        std::unique_ptr<QObject> test(make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
