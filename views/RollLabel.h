#pragma once
// The version line at the foot of the settings panel, scrolling right to left like a ticker:
// one pixel every 25 ms, a second copy of the text one label width behind the first.

#include <QLabel>
#include <QRect>

class QTimer;

class RollLabel : public QLabel
{
    Q_OBJECT

public:
    explicit RollLabel(QWidget *parent = nullptr);

    // Pixels the text has moved left, 0 .. width().
    int offset() const { return scrollOffset; }
    QString scrollingText() const { return rollText; }
    // Where the two copies are drawn now: left edges at -offset and width - offset.
    QRect firstCopyRect() const;
    QRect secondCopyRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void tick();

private:
    int scrollOffset = 0;
    QString rollText;
    QTimer *timer = nullptr;
};
