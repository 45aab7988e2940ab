// One executable for the window's tests; each class is a separate QtTest run.
#include "FormTest.h"
#include "LanguageTest.h"
#include "SettingsTest.h"
#include "WindowTest.h"

#include <QApplication>
#include <QtTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    int failures = 0;
    FormTest form;
    failures += QTest::qExec(&form, argc, argv);
    WindowTest window;
    failures += QTest::qExec(&window, argc, argv);
    SettingsTest settings;
    failures += QTest::qExec(&settings, argc, argv);
    LanguageTest language;
    failures += QTest::qExec(&language, argc, argv);
    return failures == 0 ? 0 : 1;
}
