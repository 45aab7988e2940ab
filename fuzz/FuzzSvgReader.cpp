// Fuzz target: opening an SVG document in the built-in host. Any input is either refused with a
// reason or opens as a document with a page, an active layer on it, and shapes whose boxes are
// finite numbers (a NaN or an infinity there would reach the reference point and the stretch).

#include "FuzzChecks.h"
#include "host/builtin/svg/SvgDocumentReader.h"

#include <QGuiApplication>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// QtSvg needs a GUI application for fonts (text elements); the offscreen platform needs no
// display. Made once and kept for the process, as libFuzzer calls the entry point many times.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "vx-fuzz-svgreader";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    // QtSvg warns about every broken input; here that is all of them, and the warnings would
    // drown libFuzzer's own report.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
}

bool finite(const QRectF &r)
{
    return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) &&
           std::isfinite(r.height());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const Result<HostDocument::Ptr> read =
        SvgDocumentReader::readData(bytes, QStringLiteral("fuzz.svg"));
    if (!read) {
        fuzzCheck(!read.error().isEmpty(), "a refused file gives no reason");
        return 0;
    }
    const HostDocument::Ptr doc = *read;
    fuzzCheck(!doc->pages.isEmpty() && doc->activePage, "an opened document has no page");
    fuzzCheck(doc->activeLayer && doc->activePage->layers.contains(doc->activeLayer),
              "the active layer is not on the active page");
    fuzzCheck(std::isfinite(doc->activePage->widthInches) &&
                  std::isfinite(doc->activePage->heightInches),
              "the page size is not a number");
    for (const HostLayer::Ptr &layer : doc->activePage->layers) {
        for (const HostShape::Ptr &shape : layer->shapes) {
            fuzzCheck(shape->inDocument, "a shape read from the file is not in the document");
            fuzzCheck(finite(shape->bounds()), "a shape's box is not finite");
        }
    }
    return 0;
}
