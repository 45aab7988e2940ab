#include "PdfSettingsObject.h"

#include "BusyWork.h"
#include "render/RsvgPageRenderer.h"

#include <QCoreApplication>
#include <optional>

#include <QHash>
#include <QSaveFile>

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
    // Made in memory first so that a failure never leaves half a PDF behind.
    std::optional<Result<QByteArray>> made;
    BusyWork::run(QCoreApplication::translate("HostWindow", "Publishing the PDF"),
                  [&made, &doc] { made = RsvgPageRenderer::pdf(*doc); });
    const Result<QByteArray> &pdf = *made;
    if (!pdf)
        return Failure{pdf.error()};
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(*pdf) != pdf->size() || !file.commit())
        return Failure{QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString())};
    return {};
}
