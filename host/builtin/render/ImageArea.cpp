#include "ImageArea.h"

#include "LinkedPicture.h"
#include "common/Units.h"
#include "model/ContourTracer.h"
#include "svg/ViewBoxMapping.h"

#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace {

constexpr double TraceDpi = 600.0;
constexpr double ToleranceInches = mmToInches(0.05);
// The refined grid is held to the budget of a decoded picture.
constexpr qint64 MaxPixels = LinkedPicture::MaxPixels;
// Without alpha, a pixel counts as the ground while no channel differs from the border colour by
// more than this (0..255): JPEG noise and a slightly uneven scan stay ground.
constexpr int GroundTolerance = 24;

struct ImageElement
{
    QString href;
    QRectF viewport; // x, y, width, height in the element's user units; empty size: intrinsic
    QString preserveAspectRatio;
    QString transform;
};

// A plain number, in user units when it has no unit or "px".
bool length(const QString &text, double *value)
{
    QString t = text.trimmed();
    if (t.endsWith(QLatin1String("px")))
        t.chop(2);
    bool ok = false;
    *value = t.isEmpty() ? 0.0 : t.toDouble(&ok);
    return t.isEmpty() || (ok && std::isfinite(*value));
}

bool readElement(const HostShape &shape, ImageElement *out)
{
    // The element alone, with the namespace declarations in force where it stood.
    QXmlStreamReader xml(QStringLiteral("<w %1>%2</w>").arg(shape.keptNamespaces, shape.keptXml));
    if (!xml.readNextStartElement() || !xml.readNextStartElement())
        return false;
    const QXmlStreamAttributes a = xml.attributes();
    out->href = LinkedPicture::hrefOf(
        a.value(QStringLiteral("href")).toString(),
        a.value(QStringLiteral("http://www.w3.org/1999/xlink"), QStringLiteral("href")).toString());
    double x, y, w, h;
    if (!length(a.value(QStringLiteral("x")).toString(), &x) ||
        !length(a.value(QStringLiteral("y")).toString(), &y) ||
        !length(a.value(QStringLiteral("width")).toString(), &w) ||
        !length(a.value(QStringLiteral("height")).toString(), &h))
        return false;
    out->viewport = QRectF(x, y, w, h);
    out->preserveAspectRatio = a.value(QStringLiteral("preserveAspectRatio")).toString();
    out->transform = a.value(QStringLiteral("transform")).toString();
    return true;
}

// The element's own transform, parsed by QtSvg as it parses every other element's.
QTransform ownTransform(const QString &transform)
{
    if (transform.trimmed().isEmpty())
        return {};
    QString escaped = transform.toHtmlEscaped();
    QSvgRenderer renderer(QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\"><g "
                                         "transform=\"%1\"><g id=\"inner\"/></g></svg>")
                              .arg(escaped)
                              .toUtf8());
    return renderer.isValid() ? renderer.transformForElement(QStringLiteral("inner"))
                              : QTransform();
}

// Without alpha, the ground is the colour most of the border's pixels have.
QRgb borderColour(const QImage &image)
{
    QHash<QRgb, int> counts;
    const int w = image.width(), h = image.height();
    for (int x = 0; x < w; ++x) {
        ++counts[image.pixel(x, 0)];
        ++counts[image.pixel(x, h - 1)];
    }
    for (int y = 0; y < h; ++y) {
        ++counts[image.pixel(0, y)];
        ++counts[image.pixel(w - 1, y)];
    }
    return std::max_element(counts.constBegin(), counts.constEnd()).key();
}

ContourTracer::Grid coverage(const QImage &picture)
{
    const bool alpha = picture.hasAlphaChannel();
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb ground = alpha ? 0 : borderColour(image);
    ContourTracer::Grid grid;
    grid.width = image.width();
    grid.height = image.height();
    grid.values.resize(static_cast<size_t>(grid.width) * grid.height);
    for (int y = 0; y < grid.height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        std::uint8_t *out = grid.values.data() + static_cast<std::ptrdiff_t>(y) * grid.width;
        for (int x = 0; x < grid.width; ++x) {
            if (alpha) {
                out[x] = static_cast<std::uint8_t>(qAlpha(row[x]));
                continue;
            }
            const int diff = std::max({std::abs(qRed(row[x]) - qRed(ground)),
                                       std::abs(qGreen(row[x]) - qGreen(ground)),
                                       std::abs(qBlue(row[x]) - qBlue(ground))});
            out[x] = diff > GroundTolerance ? 255 : 0;
        }
    }
    return grid;
}

// The longer side of a unit square's image: the coarsest direction of a mapping.
double largestScale(const QTransform &t)
{
    return std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22()));
}

} // namespace

namespace ImageArea {

Result<Area> trace(const HostShape &image, const QString &sheetFile, TraceCache &cache)
{
    ImageElement element;
    if (!readElement(image, &element))
        return Failure{QStringLiteral("its placement cannot be read")};
    const QString reference = element.href.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)
                                  ? element.href
                                  : sheetFile + QLatin1Char('\n') + element.href;
    auto picture = cache.find(reference);
    if (picture == cache.end()) {
        Picture read;
        Result<LinkedPicture::Picture> decoded = LinkedPicture::read(element.href, sheetFile);
        if (decoded)
            read.image = std::move(decoded->image);
        else
            read.error = decoded.error();
        picture = cache.insert(reference, read);
    }
    // The print leaves such a picture out too: there is nothing to cut around.
    if (picture->image.isNull()) {
        Area nothing;
        nothing.note = Area::Note::NotPrinted;
        nothing.reason = picture->error;
        return nothing;
    }
    const QSize size = picture->image.size();
    QRectF viewport = element.viewport;
    if (viewport.width() <= 0 || viewport.height() <= 0)
        viewport.setSize(size);
    // Picture pixels to the element's user units, then on to the page.
    const QTransform place =
        ViewBoxMapping::viewBoxToViewport(QRectF(QPointF(), QSizeF(size)), viewport.size(),
                                          element.preserveAspectRatio) *
        QTransform::fromTranslate(viewport.x(), viewport.y());
    const QTransform toPage =
        ownTransform(element.transform) * image.keptParents * image.keptToPage * image.placement;
    const double inchesPerPixel = largestScale(place * toPage);
    if (!(inchesPerPixel > 0) || !std::isfinite(inchesPerPixel))
        return Failure{QStringLiteral("it is placed with no size")};
    int factor = std::max(1, static_cast<int>(std::ceil(inchesPerPixel * TraceDpi - 1e-6)));
    while (factor > 1 && qint64(size.width()) * size.height() * factor * factor > MaxPixels)
        --factor;
    const double tolerance = ToleranceInches / inchesPerPixel * factor; // refined grid units
    const QString key = QStringLiteral("%1 %2").arg(factor).arg(tolerance, 0, 'g', 6);
    auto traced = picture->traced.find(key);
    if (traced == picture->traced.end()) {
        const ContourTracer::Grid grid = ContourTracer::refined(coverage(picture->image), factor);
        traced = picture->traced.insert(key, ContourTracer::trace(grid, tolerance));
    }
    const QTransform gridToPage =
        QTransform::fromScale(1.0 / factor, 1.0 / factor) * place * toPage;
    Area area;
    for (const QPolygonF &poly : *traced)
        area.outlines.append(gridToPage.map(poly));
    // A flat colour stretched over the page has no subject to find; it still prints, and cutting
    // around its box never cuts into it.
    if (area.outlines.isEmpty() && !picture->image.hasAlphaChannel()) {
        area.outlines.append((place * toPage).map(QPolygonF(QRectF(QPointF(), QSizeF(size)))));
        area.note = Area::Note::BoxOnly;
    }
    area.clip = element.preserveAspectRatio.contains(QLatin1String("slice"))
                    ? toPage.map(QPolygonF(viewport))
                    : QPolygonF();
    return area;
}

} // namespace ImageArea
