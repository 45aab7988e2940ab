#include "ImageArea.h"

#include "ContourTracer.h"
#include "ParallelWork.h"
#include "common/Units.h"
#include "render/LinkedPicture.h"
#include "svg/ViewBoxMapping.h"

#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>
#include <optional>

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

// A plain ground is one colour round nearly the whole border: a band of another colour along
// one edge (a flag, a striped label) is printed art, not ground, and is cut with the rest.
constexpr double PlainGroundShare = 0.9;

// Without alpha, the colour of a plain ground round the picture; none when the border is not
// (nearly) one colour, so that the picture is outlined by its box as it prints.
std::optional<QRgb> groundColour(const QImage &image)
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
    const auto most = std::max_element(counts.constBegin(), counts.constEnd());
    const QRgb colour = most.key();
    // Shades within the tolerance count with it: JPEG noise along a white ground.
    int near = 0;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it) {
        if (std::max({std::abs(qRed(it.key()) - qRed(colour)),
                      std::abs(qGreen(it.key()) - qGreen(colour)),
                      std::abs(qBlue(it.key()) - qBlue(colour))}) <= GroundTolerance)
            near += it.value();
    }
    if (near < PlainGroundShare * 2 * (w + h))
        return std::nullopt;
    return colour;
}

// One byte of coverage per pixel; the picture itself is released on the way, so that only the
// coverage is held while it is traced.
ContourTracer::Grid coverage(QImage picture)
{
    const bool alpha = picture.hasAlphaChannel();
    // Alpha is the same premultiplied or not; other formats are converted once.
    if (picture.format() != QImage::Format_ARGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied &&
        picture.format() != QImage::Format_RGB32)
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    const std::optional<QRgb> plainGround = alpha ? std::nullopt : groundColour(picture);
    const QRgb ground = plainGround.value_or(0);
    ContourTracer::Grid grid;
    grid.width = picture.width();
    grid.height = picture.height();
    grid.values.resize(static_cast<size_t>(grid.width) * grid.height);
    for (int y = 0; y < grid.height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        std::uint8_t *out = grid.values.data() + static_cast<std::ptrdiff_t>(y) * grid.width;
        for (int x = 0; x < grid.width; ++x) {
            if (alpha) {
                out[x] = static_cast<std::uint8_t>(qAlpha(row[x]));
                continue;
            }
            if (!plainGround) {
                out[x] = 255;
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

// Where an image element puts its picture, whatever the picture's size.
struct Placement
{
    ImageElement element;
    QString reference; // the picture's key in the cache
    QTransform toPage; // the element's user units to page inches
};

Result<Placement> placementOf(const HostShape &image, const QString &sheetFile)
{
    Placement placement;
    if (!readElement(image, &placement.element))
        return Failure{QStringLiteral("its placement cannot be read")};
    const QString &href = placement.element.href;
    placement.reference = href.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)
                              ? href
                              : sheetFile + QLatin1Char('\n') + href;
    placement.toPage = ownTransform(placement.element.transform) * image.keptParents *
                       image.keptToPage * image.placement;
    return placement;
}

// How a picture of `size` placed so is traced: its pixels to the element's user units, the grid
// refinement and the tolerance in refined grid units.
struct Sampling
{
    QRectF viewport;
    QTransform place;
    int factor = 1;
    double tolerance = 0;
    QString key; // of the outlines in Picture::traced
};

Result<Sampling> samplingOf(const Placement &placement, const QSize &size)
{
    Sampling s;
    s.viewport = placement.element.viewport;
    if (s.viewport.width() <= 0 || s.viewport.height() <= 0)
        s.viewport.setSize(size);
    s.place = ViewBoxMapping::viewBoxToViewport(QRectF(QPointF(), QSizeF(size)), s.viewport.size(),
                                                placement.element.preserveAspectRatio) *
              QTransform::fromTranslate(s.viewport.x(), s.viewport.y());
    const double inchesPerPixel = largestScale(s.place * placement.toPage);
    if (!(inchesPerPixel > 0) || !std::isfinite(inchesPerPixel))
        return Failure{QStringLiteral("it is placed with no size")};
    s.factor = std::max(1, static_cast<int>(std::ceil(inchesPerPixel * TraceDpi - 1e-6)));
    while (s.factor > 1 && qint64(size.width()) * size.height() * s.factor * s.factor > MaxPixels)
        --s.factor;
    s.tolerance = ToleranceInches / inchesPerPixel * s.factor;
    s.key = QStringLiteral("%1 %2").arg(s.factor).arg(s.tolerance, 0, 'g', 6);
    return s;
}

// The picture read and traced for every placement in `uses`; its pixels are gone on return.
ImageArea::Picture readAndTrace(const QString &href, const QString &sheetFile,
                                const QVector<Placement> &uses)
{
    ImageArea::Picture picture;
    Result<LinkedPicture::Picture> decoded = LinkedPicture::read(href, sheetFile);
    if (!decoded) {
        picture.error = decoded.error();
        return picture;
    }
    picture.size = decoded->image.size();
    picture.alpha = decoded->image.hasAlphaChannel();
    decoded->bytes.clear();
    const ContourTracer::Grid grid = coverage(std::move(decoded->image));
    for (const Placement &use : uses) {
        const Result<Sampling> sampling = samplingOf(use, picture.size);
        if (!sampling || picture.traced.contains(sampling->key))
            continue;
        picture.traced.insert(sampling->key, sampling->factor == 1
                                                 ? ContourTracer::trace(grid, sampling->tolerance)
                                                 : ContourTracer::trace(ContourTracer::refined(
                                                                            grid, sampling->factor),
                                                                        sampling->tolerance));
    }
    return picture;
}

} // namespace

namespace ImageArea {

void prepare(const QList<const HostShape *> &images, const QString &sheetFile, TraceCache &cache)
{
    // The placements are read here, on one thread (QtSvg parses their transforms); the pictures
    // are decoded and traced on every core.
    QVector<QString> order;
    QHash<QString, QVector<Placement>> uses;
    for (const HostShape *image : images) {
        const Result<Placement> placement = placementOf(*image, sheetFile);
        if (!placement || cache.contains(placement->reference))
            continue;
        QVector<Placement> &list = uses[placement->reference];
        if (list.isEmpty())
            order.append(placement->reference);
        list.append(*placement);
    }
    std::vector<Picture> pictures(static_cast<size_t>(order.size()));
    ParallelWork::forEach(order.size(), [&](int i) {
        const QVector<Placement> &list = uses.value(order.at(i));
        pictures[static_cast<size_t>(i)] = readAndTrace(list.first().element.href, sheetFile, list);
    });
    for (int i = 0; i < order.size(); ++i)
        cache.insert(order.at(i), std::move(pictures[static_cast<size_t>(i)]));
}

Result<Area> trace(const HostShape &image, const QString &sheetFile, TraceCache &cache)
{
    const Result<Placement> placement = placementOf(image, sheetFile);
    if (!placement)
        return Failure{placement.error()};
    auto picture = cache.find(placement->reference);
    if (picture == cache.end())
        picture = cache.insert(placement->reference,
                               readAndTrace(placement->element.href, sheetFile, {*placement}));
    // The print leaves such a picture out too: there is nothing to cut around.
    if (picture->size.isEmpty()) {
        Area nothing;
        nothing.note = Area::Note::NotPrinted;
        nothing.reason = picture->error;
        return nothing;
    }
    const Result<Sampling> sampling = samplingOf(*placement, picture->size);
    if (!sampling)
        return Failure{sampling.error()};
    // Traced for another placement only: read again, at this one's resolution.
    if (!picture->traced.contains(sampling->key)) {
        const Picture again = readAndTrace(placement->element.href, sheetFile, {*placement});
        picture->traced.insert(sampling->key, again.traced.value(sampling->key));
    }
    const QVector<QPolygonF> &traced = picture->traced[sampling->key];
    const QTransform gridToPage =
        QTransform::fromScale(1.0 / sampling->factor, 1.0 / sampling->factor) * sampling->place *
        placement->toPage;
    Area area;
    for (const QPolygonF &poly : traced)
        area.outlines.append(gridToPage.map(poly));
    // A flat colour stretched over the page has no subject to find; it still prints, and cutting
    // around its box never cuts into it.
    if (area.outlines.isEmpty() && !picture->alpha) {
        area.outlines.append((sampling->place * placement->toPage)
                                 .map(QPolygonF(QRectF(QPointF(), QSizeF(picture->size)))));
        area.note = Area::Note::BoxOnly;
    }
    area.clip = placement->element.preserveAspectRatio.contains(QLatin1String("slice"))
                    ? placement->toPage.map(QPolygonF(sampling->viewport))
                    : QPolygonF();
    return area;
}

} // namespace ImageArea
