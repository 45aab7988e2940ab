#include "HostTestSupport.h"

#include <QApplication>
#include <QTest>

#include <memory>

int main(int argc, char **argv)
{
    // Widgets: the host's window and print dialog live in QtWidgets.
    QApplication app(argc, argv);
    int failures = 0;
    for (const HostTestFactory &make : hostTestRegistry()) {
        std::unique_ptr<QObject> test(make());
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
