#include "PrintSettingsObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"
#include "render/PageRenderer.h"

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

PrintSettingsObject::PrintSettingsObject(HostDocument::Ptr document)
    : BuiltinObject(QStringLiteral("PrintSettings")), doc(std::move(document)),
      printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    addMember(Member::ShowDialog, Returns::Value, [this](const QVariantList &) {
        QString error;
        const bool confirmed = showDialog(&error);
        return error.isEmpty() ? CallResult::of(confirmed) : CallResult::failure(error);
    });
    addMember(Member::PrintOut, Returns::Nothing, [this](const QVariantList &) {
        QString error;
        return printOut(&error) ? CallResult::none() : CallResult::failure(error);
    });
}

PrintSettingsObject::~PrintSettingsObject() = default;

bool PrintSettingsObject::showDialog(QString *error)
{
    const HostPage &page = *doc->activePage;
    printer->setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Inch));
    printer->setFullPage(true);
    BuiltinHost &host = BuiltinHost::instance();
    if (host.printDialogAnswer())
        return host.printDialogAnswer()();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()) ||
        !BuiltinHost::windowAllowed()) {
        *error = QStringLiteral("no screen to show the print dialog on");
        return false;
    }
    QPrintDialog dialog(printer.get());
    return dialog.exec() == QDialog::Accepted;
}

bool PrintSettingsObject::printOut(QString *error)
{
    const QString redirect = BuiltinHost::instance().printOutputFile;
    if (!redirect.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(redirect);
    }
    QPainter painter;
    if (!painter.begin(printer.get())) {
        *error = QStringLiteral("the printer cannot be opened");
        return false;
    }
    PageRenderer::render(painter, *doc, printer->pageRect(QPrinter::DevicePixel), true);
    painter.end();
    return true;
}
