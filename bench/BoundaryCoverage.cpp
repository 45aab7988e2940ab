#include "BoundaryCoverage.h"

#include "builtin/BuiltinHost.h"
#include "builtin/outline/ContourTracer.h"
#include "builtin/render/RsvgPageRenderer.h"
#include "host/CdrConnection.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

namespace {

// Fine enough that a small drawing's edges are not lost in whole pixels; at most this many.
constexpr double MaxDpi = 2400, MaxPixels = 16e6;
// Printed: alpha from one half, where a contour must be. Nothing prints: alpha under an eighth,
// and not enclosed by print (a hole in the artwork lies inside its contour).
constexpr int Printed = 128, Faint = 32;

} // namespace

namespace BoundaryCoverage {

Result<Shares> compare(const QString &svgPath)
{
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    const Result<HostDocument::Ptr> opened = host.openDocument(svgPath);
    if (!opened)
        return Failure{opened.error()};
    const HostDocument::Ptr doc = *opened;
    const QSizeF page(doc->activePage->widthInches, doc->activePage->heightInches);
    // What prints, read before the working layers are added.
    const Result<RsvgPageRenderer::Drawing> drawing =
        RsvgPageRenderer::readDrawing(RsvgPageRenderer::printableSvg(*doc), doc->filePath);
    if (!drawing)
        return Failure{drawing.error()};
    CdrConnection connection(QStringLiteral("CorelDraw.Application.17"));
    if (!connection.createCutBoundary())
        return Failure{connection.detail()};
    const QTransform flip(1, 0, 0, -1, 0, page.height()); // page inches y up to y down
    QPainterPath contours;
    contours.setFillRule(Qt::OddEvenFill);
    Shares shares;
    if (const HostLayer::Ptr cutting = doc->findLayer(QStringLiteral("Cutting Layer"))) {
        for (const HostShape::Ptr &shape : cutting->shapes) {
            contours.addPath(flip.map(shape->path));
            shares.contours += shape->path.toSubpathPolygons().size();
        }
    }
    const QRectF box = QRectF(QPointF(0, 0), page).united(contours.boundingRect());
    if (box.isEmpty())
        return shares;
    const double dpi = std::min(MaxDpi, std::sqrt(MaxPixels / (box.width() * box.height())));
    const QRect pixels(
        QPoint(int(std::floor(box.left() * dpi)) - 2, int(std::floor(box.top() * dpi)) - 2),
        QPoint(int(std::ceil(box.right() * dpi)) + 2, int(std::ceil(box.bottom() * dpi)) + 2));
    ContourTracer::Grid printed;
    const Result<> drawn = RsvgPageRenderer::coverage(
        *drawing, page, dpi, {pixels}, [&](const QRect &, const ContourTracer::Grid &alpha) {
            printed = alpha;
            return true;
        });
    if (!drawn)
        return Failure{drawn.error()};
    QImage inside(pixels.size(), QImage::Format_Alpha8);
    inside.fill(0);
    {
        QPainter painter(&inside);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-pixels.x(), -pixels.y());
        painter.scale(dpi, dpi);
        painter.fillPath(contours, Qt::black);
    }
    const std::vector<bool> ground = ContourTracer::openGround(printed, Faint);
    qint64 printedCount = 0, insideCount = 0, outside = 0, unprinted = 0;
    for (int y = 0; y < printed.height; ++y) {
        const uchar *row = inside.constScanLine(y);
        for (int x = 0; x < printed.width; ++x) {
            const bool p = printed.at(x, y) >= Printed, c = row[x] >= 128;
            printedCount += p;
            insideCount += c;
            outside += p && !c;
            unprinted += c && ground[static_cast<size_t>(y) * printed.width + x];
        }
    }
    shares.printedOutside = printedCount ? double(outside) / printedCount : 0.0;
    shares.contourUnprinted = insideCount ? double(unprinted) / insideCount : 0.0;
    return shares;
}

} // namespace BoundaryCoverage
