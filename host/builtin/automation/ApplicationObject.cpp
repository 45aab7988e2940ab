#include "ApplicationObject.h"

#include "../AutomationMembers.h"
#include "BuiltinHost.h"
#include "DocumentObject.h"
#include "ShapeRangeObject.h"
#include "WindowsObject.h"

ApplicationObject::ApplicationObject() : BuiltinObject(QStringLiteral("Application"))
{
    BuiltinHost &host = BuiltinHost::instance();
    addMember(Member::SetVisible, Returns::Nothing, [&host](const QVariantList &arguments) {
        host.setVisible(arguments.at(0).toBool());
        return CallResult::none();
    });
    addMember(Member::SetOptimization, Returns::Nothing, [&host](const QVariantList &arguments) {
        host.setOptimization(arguments.at(0).toBool());
        return CallResult::none();
    });
    addMember(Member::ActiveDocument, Returns::Object, [&host](const QVariantList &) {
        if (!host.activeDocument())
            return CallResult::of(
                std::make_unique<NullObject>(QStringLiteral("no document is open")));
        return CallResult::of(std::make_unique<DocumentObject>(host.activeDocument()));
    });
    addMember(Member::CreateDocument, Returns::Object, [&host](const QVariantList &) {
        return CallResult::of(std::make_unique<DocumentObject>(host.createDocument()));
    });
    addMember(Member::OpenDocument, Returns::Object, [&host](const QVariantList &arguments) {
        const Result<HostDocument::Ptr> doc = host.openDocument(arguments.at(0).toString());
        if (!doc)
            return CallResult::failure(doc.error());
        return CallResult::of(std::make_unique<DocumentObject>(*doc));
    });
    addMember(Member::ActiveSelection, Returns::Object, [&host](const QVariantList &) {
        if (!host.activeDocument())
            return CallResult::failure(QStringLiteral("no document is open"));
        return CallResult::of(ShapeRangeObject::selection(host.activeDocument()));
    });
    addMember(Member::Refresh, Returns::Nothing, [&host](const QVariantList &) {
        host.refresh();
        return CallResult::none();
    });
    addMember(Member::Windows, Returns::Object, [](const QVariantList &) {
        return CallResult::of(std::make_unique<WindowsObject>());
    });
    // The two option structures are only passed on to ExportEx; the built-in export needs none
    // of their fields, so they are plain tokens.
    addMember(Member::CreateStructExportOptions, Returns::Value, [](const QVariantList &) {
        return CallResult::of(
            QVariant::fromValue(BuiltinObjectToken{QStringLiteral("StructExportOptions")}));
    });
    addMember(Member::CreateStructPaletteOptions, Returns::Value, [](const QVariantList &) {
        return CallResult::of(
            QVariant::fromValue(BuiltinObjectToken{QStringLiteral("StructPaletteOptions")}));
    });
}
