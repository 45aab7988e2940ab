#include "PaperView.h"

#include <QPainter>

PaperView::PaperView(QWidget *parent) : QWidget(parent) {}

QVector<QLineF> PaperView::outlineSegments() const
{
    const double w = width();
    const double h = height();
    const double e = edgeInset;
    const double t = topMargin;
    const double l = leftMargin;
    const double r = rightMargin;
    const double b = bottomMargin;
    const double mw = markWidth;
    const double mh = markHeight;
    const QVector<QPointF> corners = {
        {e, e},
        {w - e, e},
        {w - e, t},
        {w - r - mw, t},
        {w - r - mw, t + mh},
        {w - e, t + mh},
        {w - e, h - b - mh},
        {w - r - mw, h - b - mh},
        {w - r - mw, h - b},
        {w - e, h - b},
        {w - e, h - e},
        {e, h - e},
        {e, h - b},
        {l + mw, h - b},
        {l + mw, h - b - mh},
        {e, h - b - mh},
        {e, t + mh},
        {l + mw, t + mh},
        {l + mw, t},
        {e, t},
    };
    QVector<QLineF> segments;
    segments.reserve(corners.size());
    for (int i = 0; i < corners.size(); ++i)
        segments.append(QLineF(corners[i], corners[(i + 1) % corners.size()]));
    return segments;
}

QVector<QLineF> PaperView::markStrokes() const
{
    const double w = width();
    const double h = height();
    const double t = topMargin;
    const double l = leftMargin;
    const double r = rightMargin;
    const double b = bottomMargin;
    const double mw = markWidth;
    const double mh = markHeight;
    return {
        QLineF(l, t + mh / 2, l + mw, t + mh / 2),
        QLineF(l + mw / 2, t, l + mw / 2, t + mh),
        QLineF(w - r - mw, t + mh / 2, w - r, t + mh / 2),
        QLineF(w - r - mw / 2, t, w - r - mw / 2, t + mh),
        QLineF(w - r - mw, h - b - mh / 2, w - r, h - b - mh / 2),
        QLineF(w - r - mw / 2, h - b - mh, w - r - mw / 2, h - b),
        QLineF(l, h - b - mh / 2, l + mw, h - b - mh / 2),
        QLineF(l + mw / 2, h - b, l + mw / 2, h - b - mh),
    };
}

void PaperView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::white);
    painter.drawRect(rect());

    painter.setPen(QPen(Qt::red, 0.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QLineF &segment : outlineSegments())
        painter.drawLine(segment);

    painter.setPen(QPen(Qt::black, markWeight, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::black);
    for (const QLineF &stroke : markStrokes())
        painter.drawLine(stroke);
}
