#pragma once
// One registration mark enlarged, two pixels per millimetre, centred in the widget.

#include <QLineF>
#include <QVector>
#include <QWidget>

class MarkView : public QWidget
{
    Q_OBJECT

public:
    explicit MarkView(QWidget *parent = nullptr);

    // Written directly by the window, in pixels (twice the millimetre values).
    double crossWidth = 0;  // length of the horizontal stroke
    double crossHeight = 0; // length of the vertical stroke
    double crossPen = 0;    // stroke width

    // Horizontal then vertical stroke, centred at half the widget size (integer division).
    QVector<QLineF> strokes() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
