#pragma once
// The document's PDF publish settings. Every property the automation layer sets is known here
// with the type it takes; the values are kept with the document (a later run finds them), and
// PublishToPDF writes the printable layers of the page as a vector PDF at the page size. An
// unknown property or a value of the wrong kind is refused with the reason.

#include "BuiltinObject.h"
#include "common/Result.h"
#include "model/HostDocument.h"

class PdfSettingsObject : public BuiltinObject
{
public:
    explicit PdfSettingsObject(HostDocument::Ptr document);

    // Writes the page's printable layers to a PDF file, whole or not at all.
    static Result<> publish(const HostDocument::Ptr &doc, const QString &fileName);

protected:
    QString writeProperty(const QString &name, const QVariant &value) override;

private:
    HostDocument::Ptr doc;
};
