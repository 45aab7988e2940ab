#pragma once
// A schematic of the sheet in the settings panel: margins, the four corner marks and the area
// left free for artwork. Drawn one pixel per millimetre, so it shows proportions, not a page.

#include <QLineF>
#include <QVector>
#include <QWidget>

class PaperView : public QWidget
{
    Q_OBJECT

public:
    explicit PaperView(QWidget *parent = nullptr);

    // Written directly by the window; millimetres drawn as pixels. Not validated here: the
    // spin boxes' ranges are the only limits.
    double edgeInset = 2.5; // pixels between the widget border and the drawn sheet edge
    double topMargin = 0;
    double leftMargin = 0;
    double rightMargin = 0;
    double bottomMargin = 0;
    double markWidth = 0;
    double markHeight = 0;
    double markWeight = 0; // line width of the marks

    // The 20 segments of the sheet outline with a notch cut into each corner for its mark,
    // clockwise from the top-left corner, for the current size and members.
    QVector<QLineF> outlineSegments() const;
    // Eight strokes: horizontal then vertical of the top-left, top-right, bottom-right and
    // bottom-left cross, each centred in its mark cell.
    QVector<QLineF> markStrokes() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
