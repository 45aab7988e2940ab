#pragma once
// The HPGL export filter that ExportEx answers: its settings are written by property name, and
// Finish() writes the file whole (or not at all). A property the filter does not have, or a value
// it cannot use, is refused with the reason, never taken silently.

#include "BuiltinObject.h"
#include "model/HostDocument.h"
#include "render/HpglExport.h"

class ExportFilterObject : public BuiltinObject
{
public:
    ExportFilterObject(HostDocument::Ptr document, QString path, bool selectionOnly);

    const HpglOptions &options() const { return settings; }

protected:
    QString writeProperty(const QString &name, const QVariant &value) override;

private:
    QString finish();

    HostDocument::Ptr doc;
    QString path;
    bool selectionOnly;
    HpglOptions settings;
};
