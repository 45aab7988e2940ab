#include "PrintSettingsObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"
#include "common/WholeFileWriter.h"
#include "render/RsvgPageRenderer.h"

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
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

namespace {

// Draws the page into `painter`, begun on a device of `dpi`.
Result<> drawPage(const HostDocument &doc, QPainter &painter, int dpi)
{
    // Drawn at the device's own pixels, so nothing is scaled twice.
    return RsvgPageRenderer::bands(doc, dpi, BandRows, [&painter](int top, const QImage &band) {
        painter.drawImage(QPoint(0, top), band);
        return true;
    });
}

} // namespace

Result<> PrintSettingsObject::printToFile(const QString &path)
{
    // The printer's own PDF engine writes without telling of a failing disk: the file is made
    // through the whole-file writer instead, at the size the printer has been given.
    WholeFileWriter out(path);
    if (Result<> opened = out.open(); !opened)
        return opened;
    QPdfWriter pdf(out.device());
    pdf.setPageLayout(printer->pageLayout());
    pdf.setPageMargins(QMarginsF());
    // A laser printer's resolution keeps the file small and sharp.
    pdf.setResolution(FileResolution);
    QPainter painter;
    if (!painter.begin(&pdf))
        return Failure{QStringLiteral("cannot write %1: the PDF cannot be started").arg(path)};
    const Result<> drawn = drawPage(*doc, painter, FileResolution);
    painter.end();
    if (!drawn && !out.failed())
        return drawn;
    return out.commit();
}

Result<> PrintSettingsObject::printOut()
{
    // The page's corner on the paper's corner, as in the PDF, whatever margins the printer has.
    printer->setFullPage(true);
    const QString redirect = BuiltinHost::instance().printOutputFile;
    if (!redirect.isEmpty())
        return printToFile(redirect);
    QPainter painter;
    if (!painter.begin(printer.get()))
        return Failure{QStringLiteral("the printer cannot be opened")};
    const Result<> drawn = drawPage(*doc, painter, printer->resolution());
    if (!drawn) {
        printer->abort();
        return drawn;
    }
    painter.end();
    return {};
}
