// CdrConnection's "Setup Print" operations: the print layer set-up, PDF and printing.
#include "CdrConnection.h"

#include "AutomationMembers.h"
#include "HostNoAnswer.h"

#include <QCoreApplication>

#include <iterator>
#include <utility>

namespace {

// The layer queried, its name not read: nothing is restored, the printability set here stays.
HostSession::Opening printOpening()
{
    HostSession::Opening opening;
    opening.layerName = false;
    return opening;
}

// Every layer prints, then the working layers that hold no ink (the assist outline, crease and
// cut contours) do not: the sheet goes out with marks and artwork only.
void printLayerSetUp(HostSession &session)
{
    const QString hidden[] = {CdrConnection::AssistLayer, CdrConnection::CreasingLayer,
                              CdrConnection::CuttingLayer};
    bool found[3];
    for (int i = 0; i < 3; ++i)
        found[i] = session.findLayer(hidden[i]);
    for (int i = 1; i <= session.layerCount(); ++i)
        HostSession::call(*HostSession::query(session.layers(), Member::Item, {i}),
                          Member::SetPrintable, {true});
    for (int i = 0; i < 3; ++i) {
        if (found[i])
            HostSession::call(*session.layerByName(hidden[i]), Member::SetPrintable, {false});
    }
}

// The publish settings, written on every run so the host's own earlier choices never leak into
// the sheet; in the order the host's dialog takes them.
using PdfSetting = std::pair<const char *, QVariant>;

const QVector<PdfSetting> &pdfSettings()
{
    static const PdfSetting table[] = {
        {"PublishRange", 0},
        {"PageRange", QString()},
        {"Author", QStringLiteral("Administrator")},
        {"Subject", QString()},
        {"Keywords", QString()},
        {"BitmapCompression", 2},
        {"JPEGQualityFactor", 10},
        {"TextAsCurves", false},
        {"EmbedFonts", true},
        {"EmbedBaseFonts", true},
        {"TrueTypeToType1", true},
        {"SubsetFonts", true},
        {"SubsetPct", 80},
        {"CompressText", true},
        {"Encoding", 1},
        {"DownsampleColor", true},
        {"DownsampleGray", true},
        {"DownsampleMono", true},
        {"ColorResolution", 200},
        {"MonoResolution", 600},
        {"GrayResolution", 200},
        {"Hyperlinks", true},
        {"Bookmarks", true},
        {"Thumbnails", false},
        {"Startup", 0},
        {"ComplexFillsAsBitmaps", false},
        {"Overprints", true},
        {"Halftones", false},
        {"MaintainOPILinks", false},
        {"FountainSteps", 256},
        {"EPSAs", 0},
        {"pdfVersion", 6},
        {"IncludeBleed", false},
        {"Bleed", 31750},
        {"Linearize", false},
        {"CropMarks", false},
        {"RegistrationMarks", false},
        {"DensitometerScales", false},
        {"FileInformation", false},
        {"ColorMode", 3},
        {"UseColorProfile", true},
        {"ColorProfile", 1},
        {"EmbedFilename", QString()},
        {"EmbedFile", false},
        {"JP2QualityFactor", 10},
        {"TextExportMode", 0},
        {"PrintPermissions", 0},
        {"EditPermissions", 0},
        {"ContentCopyingAllowed", false},
        {"OpenPassword", QString()},
        {"PermissionPassword", QString()},
        {"EncryptType", 0},
        {"OutputSpotColorsAs", 0},
        {"OverprintBlackLimit", 95},
    };
    static_assert(std::size(table) == 54, "the host's dialog has 54 publish settings");
    static const QVector<PdfSetting> settings(std::begin(table), std::end(table));
    return settings;
}

} // namespace

Result<> CdrConnection::preparePrintLayers()
{
    return runSteps(printOpening(), false, printLayerSetUp);
}

Result<> CdrConnection::publishPdf(const QString &filePath)
{
    return runSteps(printOpening(), false, [&](HostSession &session) {
        printLayerSetUp(session);
        AutomationHandle settings = HostSession::query(session.document(), Member::PDFSettings);
        for (const PdfSetting &setting : pdfSettings()) {
            if (!settings->setProperty(setting.first, setting.second))
                throw HostNoAnswer{
                    QStringLiteral("PDF settings refused %1: %2")
                        .arg(QString::fromLatin1(setting.first), settings->errorText())};
        }
        HostSession::callExplained(
            session.document(), Member::PublishToPDF, {filePath},
            QCoreApplication::translate("CdrConnection", "PDF文件无法生成: %1"));
    });
}

Result<> CdrConnection::printDocument()
{
    return runSteps(printOpening(), false, [](HostSession &session) {
        printLayerSetUp(session);
        AutomationHandle settings = HostSession::query(session.document(), Member::PrintSettings);
        if (HostSession::read(*settings, Member::ShowDialog).toBool())
            HostSession::callExplained(
                *settings, Member::PrintOut, {},
                QCoreApplication::translate("CdrConnection", "打印失败: %1"));
    });
}
