#include "PrintSettingsObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"
#include "render/RsvgPageRenderer.h"

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {
constexpr int FileResolution = 300; // dots per inch
constexpr int BandRows = 256;
} // namespace

PrintSettingsObject::PrintSettingsObject(HostDocument::Ptr document)
    : BuiltinObject(QStringLiteral("PrintSettings")), doc(std::move(document)),
      printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    addMember(Member::ShowDialog, Returns::Value, [this](const QVariantList &) {
        const Result<bool> confirmed = showDialog();
        return confirmed ? CallResult::of(*confirmed) : CallResult::failure(confirmed.error());
    });
    addMember(Member::PrintOut, Returns::Nothing, [this](const QVariantList &) {
        const Result<> printed = printOut();
        return printed ? CallResult::none() : CallResult::failure(printed.error());
    });
}

PrintSettingsObject::~PrintSettingsObject() = default;

Result<bool> PrintSettingsObject::showDialog()
{
    const HostPage &page = *doc->activePage;
    printer->setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Inch));
    printer->setFullPage(true);
    BuiltinHost &host = BuiltinHost::instance();
    if (host.printDialogAnswer())
        return host.printDialogAnswer()();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()) ||
        !BuiltinHost::windowAllowed())
        return Failure{QStringLiteral("no screen to show the print dialog on")};
    QPrintDialog dialog(printer.get());
    return dialog.exec() == QDialog::Accepted;
}

Result<> PrintSettingsObject::printOut()
{
    const QString redirect = BuiltinHost::instance().printOutputFile;
    if (!redirect.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(redirect);
        // A file stands in for paper; a laser printer's resolution keeps it small and sharp.
        printer->setResolution(FileResolution);
    }
    // The page's corner on the paper's corner, as in the PDF, whatever margins the printer has.
    printer->setFullPage(true);
    QPainter painter;
    if (!painter.begin(printer.get()))
        return Failure{QStringLiteral("the printer cannot be opened")};
    // Drawn at the printer's own pixels, so nothing is scaled twice.
    const Result<> drawn = RsvgPageRenderer::bands(*doc, printer->resolution(), BandRows,
                                                   [&painter](int top, const QImage &band) {
                                                       painter.drawImage(QPoint(0, top), band);
                                                       return true;
                                                   });
    if (!drawn) {
        printer->abort();
        return drawn;
    }
    painter.end();
    return {};
}
