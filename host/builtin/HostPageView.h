#pragma once
// The page of the host window: the active page drawn white on a grey desk, with every visible
// layer as the document holds it, and on top of it what a sticker maker checks before printing:
// the cut contours ("Cutting Layer") as a bold line of their own colour, the crease lines
// ("Creasing Layer") dashed in another, both a screen width wide at any zoom, and the zones
// around the registration marks that must stay clear of art.
//
// Zoom: Ctrl+wheel about the pointer, zoomIn/zoomOut, fitPage, actualSize (100 %: the page at
// its real size on this screen). Pan: the wheel (Shift: sideways), or a drag with the middle
// button or with the left button while Space is held.
//
// What is drawn is a picture taken by setDocument: while the host's work runs on its document
// (BusyWork) the view paints from that picture and never reads the document. The page itself is
// drawn by librsvg on a worker (PagePictureMaker) from the SVG text setDocument takes; until it
// arrives the last page drawn stands in, scaled.

#include "HostSettings.h"
#include "model/HostDocument.h"
#include "model/MarkZones.h"
#include "render/PagePictureMaker.h"

#include <QImage>
#include <QPainterPath>
#include <QWidget>

class HostPageView : public QWidget
{
    Q_OBJECT
public:
    explicit HostPageView(QWidget *parent = nullptr);

    static const QColor CutColour;
    static const QColor CreaseColour;
    static const QColor ZoneColour;
    static const QColor ZoneWithArtColour;

    // nullptr: only the desk. Takes a fresh picture of the document (call again after changes);
    // `svg` is the document's text as SvgDocumentWriter writes it now.
    void setDocument(const HostDocument::Ptr &document, const QByteArray &svg);

    void setOverlayShown(HostSettings::Overlay overlay, bool on);
    bool overlayShown(HostSettings::Overlay overlay) const;
    // The mark zones in the last picture, and whether art reaches into each.
    const QList<MarkZones::Zone> &markZones() const { return zones; }

    // Percent of the page's real size; 5 to 6400.
    double zoomPercent() const;
    // Keeps the page point under `anchor` (widget pixels) where it is; the view's centre when
    // anchor is null.
    void setZoomPercent(double percent, QPointF anchor = QPointF(-1, -1));
    void zoomIn();
    void zoomOut();
    void fitPage();
    void actualSize();
    bool fitsPage() const { return fitting; }
    // Puts a page point (inches, y up) at the view's centre.
    void centreOn(const QPointF &inches);
    // Page inches (y up) to widget pixels.
    QTransform pageToWidget() const;
    // Whether the page shown is drawn from the last document taken, at the view's zoom.
    bool pictureCurrent() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    double pixelsPerInchAt100() const;
    void layOutFit();
    void keepPageInView();
    void drawPage(QPainter &painter, const QRectF &target);
    void drawOverlay(QPainter &painter);
    void pictureArrived(const QImage &picture, const QString &failure);

    HostDocument::Ptr doc;
    QSizeF pageInches;
    QList<QPainterPath> cutPaths, creasePaths; // inches, y up
    QList<MarkZones::Zone> zones;
    bool shown[3] = {true, true, true};

    double scale = 1.0;  // widget pixels per inch
    QPointF origin;      // the page's top-left corner in widget pixels
    bool fitting = true; // the zoom follows the view's size

    QImage pageImage; // the page as last drawn, at imageScale pixels per inch
    double imageScale = 0.0;
    bool imageStale = true;
    double wantedScale = 0.0;           // of the picture asked for last
    PagePictureMaker::Request pageText; // the page's SVG, taken by setDocument
    PagePictureMaker *maker;

    bool spaceHeld = false;
    bool dragging = false;
    QPoint dragFrom;
};
