#pragma once
// The document's print settings: ShowDialog() asks the user (QPrintDialog) and answers whether
// they confirmed; PrintOut() prints the page's printable layers on the printer chosen, drawn by
// librsvg at the printer's resolution so the sheet matches the published PDF. Where no
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
    // Prints into a PDF file standing in for paper (the host's print-output file).
    Result<> printToFile(const QString &path);

    HostDocument::Ptr doc;
    std::unique_ptr<QPrinter> printer;
};
