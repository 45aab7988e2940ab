#pragma once
// The document's print settings: ShowDialog() asks the user (QPrintDialog) and answers whether
// they confirmed; PrintOut() prints the page's printable layers on a page of the sheet's own size:
// printed to a file, it writes the very vector PDF that PublishToPDF writes; on a printer, the
// page drawn by librsvg at the printer's resolution so the sheet matches that PDF. Where no
// dialog can be shown (tests, batch runs) the host's print-dialog answer stands in for the user.

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
    Result<> printBands();

    HostDocument::Ptr doc;
    std::unique_ptr<QPrinter> printer;
};
