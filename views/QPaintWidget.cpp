#include "QPaintWidget.h"

#include "CutPathPainter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <climits>
#include <cmath>

namespace {

// Nearest integer, halves upward.
int roundHalfUp(double v)
{
    return int(std::floor(v + 0.5));
}

// Sums of 0.005 steps drift (0.025 - 3 x 0.005 lands just under 0.01); snap to the step grid.
double onStepGrid(double value)
{
    return std::round(value * 1000.0) / 1000.0;
}

double zoomedIn(double scale)
{
    return onStepGrid(scale < 0.25 ? scale + 0.005 : scale + 0.05);
}

double zoomedOut(double scale)
{
    if (scale <= 0.01)
        return scale;
    return onStepGrid(scale < 0.25 ? scale - 0.005 : scale - 0.05);
}

} // namespace

QPaintWidget::QPaintWidget(QWidget *parent) : QWidget(parent) {}

QPoint QPaintWidget::toPlotter(const QPointF &widgetPos) const
{
    return QPoint(roundHalfUp(widgetPos.x() / zoom), roundHalfUp(widgetPos.y() / zoom));
}

void QPaintWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        pressX = event->pos().x();
        pressY = event->pos().y();
    }
    repaint();
}

void QPaintWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        curOriginX = originX + roundHalfUp((event->pos().x() - pressX) / zoom);
        curOriginY = originY + roundHalfUp((event->pos().y() - pressY) / zoom);
    }
    repaint();
}

void QPaintWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        originX = curOriginX;
        originY = curOriginY;
    }
    repaint();
}

void QPaintWidget::wheelEvent(QWheelEvent *event)
{
    const QPointF pos = event->position();
    const QPoint before = toPlotter(pos);
    zoom = event->angleDelta().y() > 0 ? zoomedIn(zoom) : zoomedOut(zoom);
    const QPoint after = toPlotter(pos);
    curOriginX += after.x() - before.x();
    curOriginY += after.y() - before.y();
    originX = curOriginX;
    originY = curOriginY;
    repaint();
}

void QPaintWidget::drawAxes(QPainter &painter) const
{
    painter.setPen(QPen(Qt::green, 1 / zoom, Qt::DashDotLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawLine(QLineF(INT_MIN, 0, INT_MAX, 0));
    painter.drawLine(QLineF(0, INT_MIN, 0, INT_MAX));

    painter.setPen(QPen(Qt::red, 5 / zoom, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawPoint(QPointF(0, 0));

    // Zoomed far in the label would shrink below one point, which fonts refuse.
    painter.setFont(QFont(QStringLiteral("Consolas"), std::max(1, int(10 / zoom))));
    const QPoint at(int(100 / zoom), int(5 / zoom));
    painter.drawText(at, QStringLiteral("Direction X:"));
    painter.rotate(90);
    painter.drawText(at, QStringLiteral("Direction Y:"));
    painter.rotate(-90);
}

void QPaintWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
    painter.drawRect(rect());

    painter.scale(zoom, zoom);
    painter.translate(curOriginX, curOriginY);
    drawAxes(painter);
    drawCutPaths(painter, paths, zoom);
}
