#include "MarkView.h"

#include <QPainter>

MarkView::MarkView(QWidget *parent) : QWidget(parent) {}

QVector<QLineF> MarkView::strokes() const
{
    const double cx = width() / 2;
    const double cy = height() / 2;
    return {
        QLineF(cx - crossWidth / 2, cy, cx + crossWidth / 2, cy),
        QLineF(cx, cy - crossHeight / 2, cx, cy + crossHeight / 2),
    };
}

void MarkView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.drawRect(rect());

    painter.setPen(QPen(Qt::black, crossPen, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::black);
    for (const QLineF &stroke : strokes())
        painter.drawLine(stroke);
}
