#include "DocumentObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"
#include "ExportFilterObject.h"
#include "LayerObject.h"
#include "PageObject.h"
#include "PdfSettingsObject.h"
#include "PrintSettingsObject.h"
#include "common/Units.h"

DocumentObject::DocumentObject(HostDocument::Ptr document)
    : BuiltinObject(QStringLiteral("Document")), doc(std::move(document))
{
    addMember(Member::ActivePage, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(std::make_unique<PageObject>(doc, doc->activePage));
    });
    addMember(Member::ActiveLayer, Returns::Object, [this](const QVariantList &) {
        if (!doc->activeLayer)
            return CallResult::of(std::make_unique<NullObject>(QStringLiteral("no active layer")));
        return CallResult::of(std::make_unique<LayerObject>(doc, doc->activeLayer));
    });
    addMember(Member::SetReferencePoint, Returns::Nothing, [this](const QVariantList &arguments) {
        const int point = arguments.at(0).toInt();
        if (point < 1 || point > 9)
            return CallResult::failure(
                QStringLiteral("reference point %1 is not one of 1 to 9").arg(point));
        doc->referencePoint = static_cast<ReferencePoint>(point);
        return CallResult::none();
    });
    addMember(Member::ClearSelection, Returns::Nothing, [this](const QVariantList &) {
        doc->clearSelection();
        return CallResult::none();
    });
    addOutputMembers();
}

void DocumentObject::addOutputMembers()
{
    addMember(Member::ExportEx, Returns::Object, [this](const QVariantList &arguments) {
        const QString path = arguments.at(0).toString();
        if (arguments.at(1).toInt() != HPGL_EXPORT_FILTER)
            return CallResult::failure(
                QStringLiteral("export filter %1 is not supported (only %2, HPGL)")
                    .arg(arguments.at(1).toInt())
                    .arg(HPGL_EXPORT_FILTER));
        if (path.isEmpty())
            return CallResult::failure(QStringLiteral("no file name to export to"));
        const int range = arguments.at(2).toInt();
        if (range < 0 || range > 2)
            return CallResult::failure(
                QStringLiteral("export range %1 is not 0, 1 or 2").arg(range));
        return CallResult::of(std::make_unique<ExportFilterObject>(doc, path, range == 2));
    });
    addMember(Member::PDFSettings, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(std::make_unique<PdfSettingsObject>(doc));
    });
    addMember(Member::PublishToPDF, Returns::Nothing, [this](const QVariantList &arguments) {
        if (Result<> published = PdfSettingsObject::publish(doc, arguments.at(0).toString());
            !published)
            return CallResult::failure(published.error());
        return CallResult::none();
    });
    addMember(Member::PrintSettings, Returns::Object, [this](const QVariantList &) {
        return CallResult::of(std::make_unique<PrintSettingsObject>(doc));
    });
    addMember(Member::SaveAs, Returns::Nothing, [this](const QVariantList &arguments) {
        if (Result<> saved = BuiltinHost::instance().saveDocument(doc, arguments.at(0).toString());
            !saved)
            return CallResult::failure(saved.error());
        return CallResult::none();
    });
}
