#include "PdfSettingsObject.h"

#include "BusyWork.h"
#include "common/WholeFileWriter.h"
#include "render/RsvgPageRenderer.h"

#include <QCoreApplication>

#include <QHash>

namespace {

const QHash<QString, ArgType> &knownProperties()
{
    static const QHash<QString, ArgType> known = [] {
        QHash<QString, ArgType> properties;
        for (const char *name : {"PublishRange",
                                 "BitmapCompression",
                                 "JPEGQualityFactor",
                                 "SubsetPct",
                                 "Encoding",
                                 "ColorResolution",
                                 "MonoResolution",
                                 "GrayResolution",
                                 "Startup",
                                 "FountainSteps",
                                 "EPSAs",
                                 "pdfVersion",
                                 "Bleed",
                                 "ColorMode",
                                 "ColorProfile",
                                 "JP2QualityFactor",
                                 "TextExportMode",
                                 "PrintPermissions",
                                 "EditPermissions",
                                 "EncryptType",
                                 "OutputSpotColorsAs",
                                 "OverprintBlackLimit"})
            properties.insert(QLatin1String(name), ArgType::Int);
        for (const char *name :
             {"TextAsCurves",          "EmbedFonts",      "EmbedBaseFonts",  "TrueTypeToType1",
              "SubsetFonts",           "CompressText",    "DownsampleColor", "DownsampleGray",
              "DownsampleMono",        "Hyperlinks",      "Bookmarks",       "Thumbnails",
              "ComplexFillsAsBitmaps", "Overprints",      "Halftones",       "MaintainOPILinks",
              "IncludeBleed",          "Linearize",       "CropMarks",       "RegistrationMarks",
              "DensitometerScales",    "FileInformation", "UseColorProfile", "EmbedFile",
              "ContentCopyingAllowed"})
            properties.insert(QLatin1String(name), ArgType::Bool);
        for (const char *name : {"PageRange", "Author", "Subject", "Keywords", "EmbedFilename",
                                 "OpenPassword", "PermissionPassword"})
            properties.insert(QLatin1String(name), ArgType::String);
        return properties;
    }();
    return known;
}

} // namespace

PdfSettingsObject::PdfSettingsObject(HostDocument::Ptr document)
    : BuiltinObject(QStringLiteral("PDFSettings")), doc(std::move(document))
{
}

QString PdfSettingsObject::writeProperty(const QString &name, const QVariant &value)
{
    const auto it = knownProperties().find(name);
    if (it == knownProperties().end())
        return QStringLiteral("the PDF settings have no such property");
    QVariant converted;
    if (!convertArgument(value, it.value(), &converted))
        return QStringLiteral("%1 cannot be converted").arg(value.toString());
    doc->pdfSettings.insert(name, converted);
    return {};
}

Result<> PdfSettingsObject::publish(const HostDocument::Ptr &doc, const QString &fileName)
{
    if (fileName.isEmpty())
        return Failure{QStringLiteral("no file name to publish to")};
    // Cairo writes into a new file beside the old one, which stays until the PDF is whole; all
    // of it off the window's thread, so that both windows keep painting.
    Result<> published;
    BusyWork::run(QCoreApplication::translate("HostWindow", "Publishing the PDF"), [&] {
        WholeFileWriter out(fileName);
        if (Result<> opened = out.open(); !opened) {
            published = opened;
            return;
        }
        const Result<> made = RsvgPageRenderer::pdf(
            *doc, [&out](const char *data, qint64 size) { return out.write(data, size); });
        published = !made && !out.failed() ? made : out.commit();
    });
    return published;
}
