#include "HostPageView.h"

#include "BusyWork.h"
#include "CdrConnection.h"
#include "render/PageRenderer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

// Colours nothing on a printed sheet is likely to share, so the contours stand out from any art.
const QColor HostPageView::CutColour(230, 0, 126);
const QColor HostPageView::CreaseColour(0, 150, 230);
const QColor HostPageView::ZoneColour(255, 170, 0, 90);
const QColor HostPageView::ZoneWithArtColour(255, 0, 0, 110);

namespace {

constexpr double MinZoom = 5, MaxZoom = 6400; // percent
constexpr double ZoomStep = 1.25;
constexpr int DeskMargin = 16;          // pixels of desk around a fitted page
constexpr int KeptInView = 48;          // pixels of the page a pan never moves out of the view
constexpr int CutWidth = 3;             // screen pixels
constexpr int CreaseWidth = 2;          // screen pixels
constexpr double MaxImagePixels = 40e6; // a bigger zoom scales up the picture instead

int indexOf(HostSettings::Overlay overlay)
{
    return static_cast<int>(overlay);
}

QList<QPainterPath> curvesOf(const HostLayer::Ptr &layer)
{
    QList<QPainterPath> paths;
    if (!layer || !layer->visible)
        return paths;
    for (const HostShape::Ptr &shape : layer->shapes) {
        if (shape->kind == ShapeKind::Curve)
            paths << shape->path;
    }
    return paths;
}

} // namespace

HostPageView::HostPageView(QWidget *parent) : QWidget(parent), maker(new PagePictureMaker(this))
{
    connect(maker, &PagePictureMaker::finished, this, &HostPageView::pictureArrived);
    setMinimumSize(200, 200);
    setFocusPolicy(Qt::StrongFocus);
    for (HostSettings::Overlay overlay :
         {HostSettings::Overlay::CutLines, HostSettings::Overlay::CreaseLines,
          HostSettings::Overlay::MarkZones})
        shown[indexOf(overlay)] = HostSettings::shows(overlay);
}

void HostPageView::setDocument(const HostDocument::Ptr &document, const QByteArray &svg)
{
    const QSizeF before = pageInches;
    doc = document;
    cutPaths.clear();
    creasePaths.clear();
    zones.clear();
    pageInches = QSizeF();
    pageText = {};
    if (doc) {
        pageInches = QSizeF(doc->activePage->widthInches, doc->activePage->heightInches);
        // The worker draws from this text, never from the document.
        pageText.svg = svg;
        pageText.baseFile = doc->filePath;
        pageText.pageInches = pageInches;
        cutPaths = curvesOf(doc->findLayer(CdrConnection::CuttingLayer));
        creasePaths = curvesOf(doc->findLayer(CdrConnection::CreasingLayer));
        zones = MarkZones::zones(*doc);
    }
    imageStale = true;
    if (fitting || before != pageInches)
        layOutFit();
    update();
}

void HostPageView::setOverlayShown(HostSettings::Overlay overlay, bool on)
{
    shown[indexOf(overlay)] = on;
    update();
}

bool HostPageView::overlayShown(HostSettings::Overlay overlay) const
{
    return shown[indexOf(overlay)];
}

double HostPageView::pixelsPerInchAt100() const
{
    return logicalDpiX();
}

double HostPageView::zoomPercent() const
{
    return scale / pixelsPerInchAt100() * 100;
}

void HostPageView::setZoomPercent(double percent, QPointF anchor)
{
    if (anchor.x() < 0)
        anchor = QRectF(rect()).center();
    const double newScale = qBound(MinZoom, percent, MaxZoom) / 100 * pixelsPerInchAt100();
    // The page point under the anchor stays under it.
    origin = anchor - (anchor - origin) * (newScale / scale);
    scale = newScale;
    fitting = false;
    keepPageInView();
    update();
}

void HostPageView::zoomIn()
{
    setZoomPercent(zoomPercent() * ZoomStep);
}

void HostPageView::zoomOut()
{
    setZoomPercent(zoomPercent() / ZoomStep);
}

void HostPageView::fitPage()
{
    fitting = true;
    layOutFit();
    update();
}

void HostPageView::actualSize()
{
    setZoomPercent(100);
}

void HostPageView::centreOn(const QPointF &inches)
{
    origin += QRectF(rect()).center() - pageToWidget().map(inches);
    keepPageInView();
    update();
}

QTransform HostPageView::pageToWidget() const
{
    return QTransform(scale, 0, 0, -scale, origin.x(), origin.y() + pageInches.height() * scale);
}

void HostPageView::layOutFit()
{
    if (pageInches.isEmpty())
        return;
    const QRectF area = QRectF(rect()).adjusted(DeskMargin, DeskMargin, -DeskMargin, -DeskMargin);
    scale =
        qMax(1e-3, qMin(area.width() / pageInches.width(), area.height() / pageInches.height()));
    origin = area.center() - QPointF(pageInches.width(), pageInches.height()) * scale / 2;
}

void HostPageView::keepPageInView()
{
    const QSizeF size = pageInches * scale;
    origin.setX(qBound(KeptInView - size.width(), origin.x(), double(width() - KeptInView)));
    origin.setY(qBound(KeptInView - size.height(), origin.y(), double(height() - KeptInView)));
}

void HostPageView::resizeEvent(QResizeEvent *)
{
    if (fitting)
        layOutFit();
    else
        keepPageInView();
}

void HostPageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xd0, 0xd0, 0xd0));
    if (pageInches.isEmpty())
        return;
    const QRectF target(origin, pageInches * scale);
    painter.fillRect(target, Qt::white);
    drawPage(painter, target);
    painter.setPen(Qt::black);
    painter.drawRect(target);
    drawOverlay(painter);
}

void HostPageView::drawPage(QPainter &painter, const QRectF &target)
{
    const qreal ratio = devicePixelRatioF();
    // The largest picture worth holding; beyond it the picture is scaled up.
    const double wanted =
        qMin(scale * ratio, std::sqrt(MaxImagePixels / pageInches.width() / pageInches.height()));
    if (doc && (imageStale || std::fabs(wanted - imageScale) > 1e-6)) {
        PagePictureMaker::Request request = pageText;
        request.pixels = (pageInches * wanted).toSize().expandedTo(QSize(1, 1));
        wantedScale = wanted;
        maker->request(request);
    }
    // Until the new picture arrives the last one stands in, however scaled.
    if (!pageImage.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, pageImage);
    }
}

void HostPageView::pictureArrived(const QImage &picture, const QString &failure)
{
    imageScale = wantedScale;
    imageStale = false;
    pageImage = picture;
    if (!failure.isEmpty()) {
        // Drawn shape by shape where librsvg could not; that reads the document, which no
        // other work may hold meanwhile.
        pageImage = QImage();
        if (doc && !BusyWork::running()) {
            const QSize pixels = (pageInches * imageScale).toSize().expandedTo(QSize(1, 1));
            pageImage = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            pageImage.fill(Qt::transparent);
            QPainter onImage(&pageImage);
            PageRenderer::renderShapes(onImage, *doc, QRectF(QPointF(), QSizeF(pixels)), false);
        }
    }
    update();
}

bool HostPageView::pictureCurrent() const
{
    return !imageStale && !maker->busy();
}

void HostPageView::drawOverlay(QPainter &painter)
{
    const QTransform toWidget = pageToWidget();
    painter.setRenderHint(QPainter::Antialiasing);
    if (shown[indexOf(HostSettings::Overlay::MarkZones)]) {
        for (const MarkZones::Zone &zone : zones) {
            const QRectF area = toWidget.mapRect(zone.area);
            const QColor colour = zone.artUnder ? ZoneWithArtColour : ZoneColour;
            painter.fillRect(area, colour);
            painter.setPen(QPen(colour.darker(), 1, Qt::DotLine));
            painter.drawRect(area);
        }
    }
    const struct
    {
        HostSettings::Overlay overlay;
        const QList<QPainterPath> &paths;
        QPen pen;
    } lines[] = {{HostSettings::Overlay::CreaseLines, creasePaths,
                  QPen(CreaseColour, CreaseWidth, Qt::DashLine, Qt::FlatCap, Qt::RoundJoin)},
                 {HostSettings::Overlay::CutLines, cutPaths,
                  QPen(CutColour, CutWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)}};
    for (const auto &line : lines) {
        if (!shown[indexOf(line.overlay)])
            continue;
        QPen pen = line.pen;
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const QPainterPath &path : line.paths)
            painter.drawPath(toWidget.map(path));
    }
}

void HostPageView::wheelEvent(QWheelEvent *event)
{
    const QPoint steps = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        if (steps.y() != 0)
            setZoomPercent(zoomPercent() * std::pow(ZoomStep, steps.y() / 120.0),
                           event->position());
    } else {
        QPointF move = event->pixelDelta().isNull() ? QPointF(steps) / 120.0 * 60
                                                    : QPointF(event->pixelDelta());
        if (event->modifiers() & Qt::ShiftModifier)
            move = QPointF(move.y(), move.x());
        origin += move;
        keepPageInView();
        update();
    }
    event->accept();
}

void HostPageView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld)) {
        dragging = true;
        dragFrom = event->pos();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void HostPageView::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging)
        return QWidget::mouseMoveEvent(event);
    origin += event->pos() - dragFrom;
    dragFrom = event->pos();
    keepPageInView();
    update();
}

void HostPageView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!dragging)
        return QWidget::mouseReleaseEvent(event);
    dragging = false;
    setCursor(spaceHeld ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

void HostPageView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld = true;
        setCursor(Qt::OpenHandCursor);
        return;
    }
    QWidget::keyPressEvent(event);
}

void HostPageView::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld = false;
        if (!dragging)
            unsetCursor();
        return;
    }
    QWidget::keyReleaseEvent(event);
}
