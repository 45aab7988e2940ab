#pragma once
// Hands a printer the PDF the host publishes, where the print system takes PDF: a CUPS queue
// converts it for its device itself (vector content at the device's resolution), so the sheet
// is printed exactly as the PDF shows it, at its own size, unscaled. The PDF goes to CUPS as it
// is made, never held whole.

#include "RsvgPageRenderer.h"
#include "common/Result.h"

#include <QSizeF>
#include <QString>

#include <functional>

namespace PdfToPrinter {

// Whether `printer` is a queue of the print system that takes PDF. False without a print system
// to ask (no CUPS server), so the caller draws the page itself.
bool takesPdf(const QString &printer);

struct Job
{
    QString printer;
    QString title;
    int copies = 1;
    QSizeF pageInches; // the sheet's size, asked of the printer as a custom size where needed
};

// Makes the PDF with `write`, which hands its bytes to the sink it is given, and sends it to the
// printer as one job; a job that fails part way is cancelled.
Result<> print(const Job &job,
               const std::function<Result<>(const RsvgPageRenderer::ByteSink &)> &write);

} // namespace PdfToPrinter
