#pragma once
// The document's print settings: ShowDialog() asks the user (QPrintDialog) and answers whether
// they confirmed; PrintOut() prints the page's printable layers on a page of the sheet's own size:
// printed to a file, it writes the very vector PDF that PublishToPDF writes; on a printer that
// takes no PDF, the page drawn by librsvg at the printer's resolution so the sheet matches it.
// Where no dialog can be shown (tests, batch runs) the host's print-dialog answer stands in for the
// user. A CUPS queue gets that same PDF (PdfToPrinter); only other printers get the drawn bands.

#include "BuiltinObject.h"
#include "common/Result.h"
#include "model/HostDocument.h"

#include <memory>

class QPrinter;

class PrintSettingsObject : public BuiltinObject
{
public:
    explicit PrintSettingsObject(HostDocument::Ptr document);
    ~PrintSettingsObject() override;

private:
    // Whether the user confirmed the dialog.
    Result<bool> showDialog();
    Result<> printOut();
    // The PDF handed to a print system that takes it; raster bands to any other printer.
    Result<> printPdf();
    Result<> printBands();

    HostDocument::Ptr doc;
    std::unique_ptr<QPrinter> printer;
};
