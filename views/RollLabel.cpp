#include "RollLabel.h"

#include "BuildDate.h"

#include <QPainter>
#include <QTimer>

namespace {
constexpr int TickMs = 25;
}

RollLabel::RollLabel(QWidget *parent)
    : QLabel(parent), rollText(programVersionLine()), timer(new QTimer(this))
{
    connect(timer, &QTimer::timeout, this, &RollLabel::tick);
    timer->start(TickMs);
}

QRect RollLabel::firstCopyRect() const
{
    QRect r(0, 0, width(), height());
    r.setLeft(0 - scrollOffset);
    return r;
}

QRect RollLabel::secondCopyRect() const
{
    QRect r(0, 0, width(), height());
    r.setLeft(width() - scrollOffset);
    return r;
}

void RollLabel::tick()
{
    ++scrollOffset;
    if (width() < scrollOffset)
        scrollOffset = 0;
    repaint();
}

void RollLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont f = font();
    if (font().pointSize() > 0) // a font sized in pixels has no point size to copy
        f.setPointSize(font().pointSize());
    painter.setFont(f);
    painter.drawText(firstCopyRect(), Qt::AlignVCenter, rollText);
    painter.drawText(secondCopyRect(), Qt::AlignVCenter, rollText);
}
