#include "BoundaryCoverage.h"

#include "builtin/BuiltinHost.h"
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

// Pixels where nothing prints, reached from the grid's border without crossing any print.
std::vector<bool> openGround(const ContourTracer::Grid &alpha)
{
    const int w = alpha.width, h = alpha.height;
    std::vector<bool> open(static_cast<size_t>(w) * h, false);
    std::vector<int> stack;
    const auto visit = [&](int x, int y) {
        const size_t i = static_cast<size_t>(y) * w + x;
        if (!open[i] && alpha.values[i] < Faint) {
            open[i] = true;
            stack.push_back(int(i));
        }
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        visit(0, y);
        visit(w - 1, y);
    }
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        const int x = i % w, y = i / w;
        if (x > 0)
            visit(x - 1, y);
        if (x + 1 < w)
            visit(x + 1, y);
        if (y > 0)
            visit(x, y - 1);
        if (y + 1 < h)
            visit(x, y + 1);
    }
    return open;
}

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
    const QSizeF page(doc->activePage->width, doc->activePage->height);
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
    const std::vector<bool> ground = openGround(printed);
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
