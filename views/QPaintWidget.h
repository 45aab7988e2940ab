#pragma once
// The preview panel: shows a job's processed cut paths in the job's frame (origin at the first
// mark, or the page's top-left corner for a blank cut; y down) with both axes, so the user can
// check position, pens and direction before confirming. Wheel zooms about the cursor, a left
// drag pans. It only looks: it changes nothing outside itself.

#include "paths/CutPath.h"

#include <QPoint>
#include <QWidget>

class QPaintWidget : public QWidget
{
    Q_OBJECT

public:
    explicit QPaintWidget(QWidget *parent = nullptr);

    // The paths to draw, in plotter units (1/40 mm); assigned directly by the send command.
    CutPathList paths;

    // Screen pixels per plotter unit; 0.025 shows a millimetre as one pixel. Zooming out stops
    // at 0.01 or below; zooming in has no limit. Kept on multiples of 0.005.
    double scale() const { return zoom; }
    void setScale(double value) { zoom = value; }
    // Where the path origin lies, in plotter units after scaling: committed at the end of a
    // drag or zoom, and the one drawn with, which moves during a drag.
    QPoint committedOrigin() const { return QPoint(originX, originY); }
    QPoint currentOrigin() const { return QPoint(curOriginX, curOriginY); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void drawAxes(QPainter &painter) const;
    QPoint toPlotter(const QPointF &widgetPos) const;

    double zoom = 0.025;
    int originX = 100;
    int originY = 100;
    int curOriginX = 100;
    int curOriginY = 100;
    int pressX = 0;
    int pressY = 0;
};
