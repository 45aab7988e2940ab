#include "PrintSettingsObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"
#include "BusyWork.h"
#include "CommandChoice.h"
#include "PdfSettingsObject.h"
#include "render/PdfToPrinter.h"
#include "render/RsvgPageRenderer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <cmath>

namespace {
// Each band draws the whole page again, clipped: few tall bands (at most 32 MB each at 1200 dpi
// on a 170 mm wide sheet) rather than many thin ones.
constexpr int BandRows = 1024;
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
    printer->setPageSize(QPageSize(QSizeF(page.widthInches, page.heightInches), QPageSize::Inch));
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
    const QString redirect = CommandChoice::printFile();
    if (!redirect.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(redirect);
    }
    // The sheet's own size, a custom one where the printer lists none, whatever paper the
    // dialog offered: the cutter's marks are placed for this page.
    const HostPage &page = *doc->activePage;
    printer->setPageSize(QPageSize(QSizeF(page.widthInches, page.heightInches), QPageSize::Inch,
                                   QString(), QPageSize::ExactMatch));
    printer->setPageOrientation(QPageLayout::Portrait);
    // The page's corner on the paper's corner, as in the PDF, whatever margins the printer has.
    printer->setFullPage(true);
    Result<> printed;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty())
        BusyWork::run(
            QCoreApplication::translate("HostWindow", "Printing to %1")
                .arg(printer->outputFileName()),
            [&] { printed = PdfSettingsObject::publish(doc, printer->outputFileName()); });
    else
        BusyWork::run(QCoreApplication::translate("HostWindow", "Printing"), [&] {
            printed = PdfToPrinter::takesPdf(printer->printerName()) ? printPdf() : printBands();
        });
    return printed;
}

Result<> PrintSettingsObject::printPdf()
{
    PdfToPrinter::Job job;
    job.printer = printer->printerName();
    job.title =
        printer->docName().isEmpty() ? QFileInfo(doc->filePath).fileName() : printer->docName();
    job.copies = printer->copyCount();
    job.pageInches = QSizeF(doc->activePage->widthInches, doc->activePage->heightInches);
    return PdfToPrinter::print(job, [this](const RsvgPageRenderer::ByteSink &sink) {
        return RsvgPageRenderer::pdf(*doc, sink);
    });
}

Result<> PrintSettingsObject::printBands()
{
    QPainter painter;
    if (!painter.begin(printer.get()))
        return Failure{QStringLiteral("the printer cannot be opened")};
    const double dpi = printer->resolution();
    const int bands = int(std::ceil(doc->activePage->heightInches * dpi / BandRows));
    // Drawn at the printer's own pixels, so nothing is scaled twice.
    const Result<> drawn = RsvgPageRenderer::bands(
        *doc, dpi, BandRows, [&painter, bands](int top, const QImage &band) {
            painter.drawImage(QPoint(0, top), band);
            BusyWork::progress(top / BandRows + 1, bands);
            return true;
        });
    if (!drawn) {
        printer->abort();
        return drawn;
    }
    painter.end();
    return {};
}
