#include "PluginMW.h"
#include "PluginMWForm.h"
#include "common/LibraryMessages.h"
#include "common/Version.h"
#include "common/WholeFileWriter.h"
#include "host/CdrConnection.h"
#include "translations/UiTranslation.h"
#include "views/BuildDate.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QFont>
#include <QMessageBox>

#include <cstdio>

extern const char vxBuildDay[]; // "yyyy-MM-dd", made at every build (BuildStamp.cmake)

int main(int argc, char *argv[])
{
    ignoreFileSizeSignal();
    dropLibraryNoise();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(PROGRAM_VERSION));
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DESKTOP_APP_ID));
    setBuildDay(QDate::fromString(QString::fromLatin1(vxBuildDay), Qt::ISODate));
    // The form is laid out for Consolas' narrow advance; where that font is missing, the
    // metrically close Inconsolata keeps the labels from being clipped.
    QFont::insertSubstitution(QStringLiteral("Consolas"), QStringLiteral("Inconsolata"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("document"),
                      QStringLiteral("Open this drawing in the drawing host at start-up."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("lang"),
                      QStringLiteral("Language of the window: zh or en (default: the locale's)."),
                      QStringLiteral("LANGUAGE")});
    parser.process(app);
    // A null value when --lang was not given, so that the locale decides.
    const Result<UiLanguage> language = chooseLanguage(
        parser.isSet(QStringLiteral("lang")) ? parser.value(QStringLiteral("lang")) : QString());
    if (!language) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(language.error()));
        return 1;
    }
    // Before the window exists: the form takes its texts when it is built.
    const UiTranslation translation(*language);
    PluginMW window;
    window.show();
    if (parser.isSet(QStringLiteral("document"))) {
        // Asked for by the user, so the host is reached at start-up only in this case.
        CdrConnection connection(window.controls()->cdrVersion->currentText());
        if (!connection.isConnected())
            QMessageBox::warning(
                &window, QCoreApplication::translate("PluginMW", "警告"),
                QCoreApplication::translate("PluginMW",
                                            "请确认CorelDraw安装并选择正确的CorelDraw版本..."));
        else if (const Result<> opened =
                     connection.openDocument(parser.value(QStringLiteral("document")));
                 !opened)
            QMessageBox::warning(&window, QCoreApplication::translate("PluginMW", "警告"),
                                 opened.error());
    }
    return app.exec();
}
