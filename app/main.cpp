#include "PluginMW.h"
#include "PluginMWForm.h"
#include "host/CdrConnection.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QFont>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The form is laid out for Consolas' narrow advance; where that font is missing, the
    // metrically close Inconsolata keeps the labels from being clipped.
    QFont::insertSubstitution(QStringLiteral("Consolas"), QStringLiteral("Inconsolata"));
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("document"),
                      QStringLiteral("Open this drawing in the drawing host at start-up."),
                      QStringLiteral("FILE")});
    parser.process(app);
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
        else if (!connection.openDocument(parser.value(QStringLiteral("document"))))
            QMessageBox::warning(&window, QCoreApplication::translate("PluginMW", "警告"),
                                 connection.errorText());
    }
    return app.exec();
}
