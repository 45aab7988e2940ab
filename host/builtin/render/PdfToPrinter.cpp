#include "PdfToPrinter.h"

#include "common/Units.h"

#include <cups/cups.h>

namespace PdfToPrinter {

namespace {

QString lastCupsError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// Options of the job: copies, the sheet's own paper and no scaling to another paper.
int jobOptions(const Job &job, cups_option_t **options)
{
    int count = 0;
    const QByteArray copies = QByteArray::number(qMax(1, job.copies));
    count = cupsAddOption("copies", copies.constData(), count, options);
    const QByteArray media = QStringLiteral("Custom.%1x%2mm")
                                 .arg(job.pageInches.width() * MM_PER_INCH, 0, 'f', 2)
                                 .arg(job.pageInches.height() * MM_PER_INCH, 0, 'f', 2)
                                 .toLatin1();
    count = cupsAddOption("media", media.constData(), count, options);
    count = cupsAddOption("print-scaling", "none", count, options);
    count = cupsAddOption("orientation-requested", "3", count, options); // portrait
    return count;
}

} // namespace

bool takesPdf(const QString &printer)
{
    if (printer.isEmpty())
        return false;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(), nullptr);
    if (!dest)
        return false;
    cupsFreeDests(1, dest);
    // Every CUPS queue takes PDF: its filters turn it into what the device reads.
    return true;
}

Result<> print(const Job &job,
               const std::function<Result<>(const RsvgPageRenderer::ByteSink &)> &write)
{
    const QByteArray printer = job.printer.toUtf8();
    cups_option_t *options = nullptr;
    const int count = jobOptions(job, &options);
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.constData(),
                                 job.title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (id == 0)
        return Failure{QStringLiteral("the printer refused the job: %1").arg(lastCupsError())};
    const auto cancelled = [&](const QString &why) -> Result<> {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.constData(), id, 0);
        return Failure{why};
    };
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer.constData(), id, "sheet.pdf", CUPS_FORMAT_PDF,
                          1) != HTTP_STATUS_CONTINUE)
        return cancelled(QStringLiteral("the printer took no document: %1").arg(lastCupsError()));
    const Result<> written = write([](const char *data, qint64 size) {
        return cupsWriteRequestData(CUPS_HTTP_DEFAULT, data, size_t(size)) == HTTP_STATUS_CONTINUE;
    });
    if (!written) {
        cupsFinishDocument(CUPS_HTTP_DEFAULT, printer.constData());
        return cancelled(written.error());
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, printer.constData()) > IPP_STATUS_OK_CONFLICTING)
        return cancelled(
            QStringLiteral("the printer did not take the document: %1").arg(lastCupsError()));
    return {};
}

} // namespace PdfToPrinter
