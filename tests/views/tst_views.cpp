// The drawings inside the window: sheet and mark previews, the cut-path preview, the version
// line. Geometry is checked as numbers and, where a fault would only show on screen, as pixels.
#include "common/Version.h"
#include "views/BuildDate.h"
#include "views/CutPathPainter.h"
#include "views/MarkView.h"
#include "views/PaperView.h"
#include "views/QPaintWidget.h"
#include "views/RollLabel.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

namespace {

// The version line's text before the build day, with the version `cutjob --version` prints.
const QString prefix =
    QStringLiteral("Vexa Print&Cut Plugin %1  Build ").arg(QLatin1String(PROGRAM_VERSION));

bool isDark(QRgb c)
{
    return qRed(c) < 90 && qGreen(c) < 90 && qBlue(c) < 90;
}

bool isWhite(QRgb c)
{
    return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
}

QImage render(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void setDefaults(PaperView &view)
{
    view.topMargin = 22.5;
    view.leftMargin = 8.5;
    view.rightMargin = 8.5;
    view.bottomMargin = 38.5;
    view.markWidth = 9;
    view.markHeight = 9;
    view.markWeight = 1;
}

QPointF centre(const QLineF &horizontal, const QLineF &vertical)
{
    QPointF at;
    horizontal.intersects(vertical, &at);
    return at;
}

// Sent directly with the buttons held, as the platform would deliver them.
void mouse(QWidget &widget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
           Qt::MouseButtons held)
{
    QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(widget.mapToGlobal(pos)), button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

void wheel(QWidget &widget, QPoint pos, int delta)
{
    QWheelEvent event(QPointF(pos), QPointF(widget.mapToGlobal(pos)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

CutPath straightPath(int pen, int lineType, QLineF segment)
{
    CutPath path;
    path.pen = pen;
    path.lineType = lineType;
    path.segments = {segment};
    return path;
}

} // namespace

class TestViews : public QObject
{
    Q_OBJECT

private slots:
    void paperCrossCentres_data();
    void paperCrossCentres();
    void paperOutline_data();
    void paperOutline();
    void paperPixels();
    void markStrokes_data();
    void markStrokes();
    void markPixels();
    void buildDate_data();
    void buildDate();
    void rollScroll_data();
    void rollScroll();
    void rollTimerMovesText();
    void labelShowsTheDayItWasGiven();
    void zoomSteps_data();
    void zoomSteps();
    void zoomOutStopsAtFloor();
    void zoomKeepsPointUnderCursor();
    void dragPans_data();
    void dragPans();
    void penColours_data();
    void penColours();
    void pathPixels_data();
    void pathPixels();
    void pathOutOfRangeIsSkipped();
};

void TestViews::paperCrossCentres_data()
{
    QTest::addColumn<QVector<double>>("values"); // top, left, right, bottom, width, height
    QTest::addColumn<QPointF>("topLeft");
    QTest::addColumn<QPointF>("topRight");
    QTest::addColumn<QPointF>("bottomRight");
    QTest::addColumn<QPointF>("bottomLeft");
    QTest::newRow("defaults") << QVector<double>{22.5, 8.5, 8.5, 38.5, 9, 9} << QPointF(13, 27)
                              << QPointF(118, 27) << QPointF(118, 148) << QPointF(13, 148);
    QTest::newRow("largest margins and marks")
        << QVector<double>{30, 15, 15, 50, 15, 15} << QPointF(22.5, 37.5) << QPointF(108.5, 37.5)
        << QPointF(108.5, 133.5) << QPointF(22.5, 133.5);
    QTest::newRow("left and right differ, flat marks")
        << QVector<double>{8, 8, 15, 8, 14, 5} << QPointF(15, 10.5) << QPointF(109, 10.5)
        << QPointF(109, 180.5) << QPointF(15, 180.5);
}

void TestViews::paperCrossCentres()
{
    QFETCH(QVector<double>, values);
    PaperView view;
    view.resize(131, 191);
    view.topMargin = values[0];
    view.leftMargin = values[1];
    view.rightMargin = values[2];
    view.bottomMargin = values[3];
    view.markWidth = values[4];
    view.markHeight = values[5];
    const QVector<QLineF> strokes = view.markStrokes();
    QCOMPARE(strokes.size(), 8);
    for (int i = 0; i < 8; i += 2) {
        QCOMPARE(strokes[i].dy(), 0.0); // horizontal first
        QCOMPARE(strokes[i + 1].dx(), 0.0);
        QCOMPARE(strokes[i].length(), values[4]);
        QCOMPARE(strokes[i + 1].length(), values[5]);
    }
    QTEST(centre(strokes[0], strokes[1]), "topLeft");
    QTEST(centre(strokes[2], strokes[3]), "topRight");
    QTEST(centre(strokes[4], strokes[5]), "bottomRight");
    QTEST(centre(strokes[6], strokes[7]), "bottomLeft");
}

void TestViews::paperOutline_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QLineF>("segment");
    QTest::newRow("starts along the top edge") << 0 << QLineF(2.5, 2.5, 128.5, 2.5);
    QTest::newRow("top-right notch reaches the mark's inner side")
        << 3 << QLineF(113.5, 22.5, 113.5, 31.5);
    QTest::newRow("right edge between the right notches") << 5 << QLineF(128.5, 31.5, 128.5, 143.5);
    QTest::newRow("bottom edge runs right to left") << 11 << QLineF(2.5, 188.5, 2.5, 152.5);
    QTest::newRow("bottom-left notch") << 13 << QLineF(17.5, 152.5, 17.5, 143.5);
    QTest::newRow("closes back at the start") << 19 << QLineF(2.5, 22.5, 2.5, 2.5);
}

void TestViews::paperOutline()
{
    QFETCH(int, index);
    QFETCH(QLineF, segment);
    PaperView view;
    view.resize(131, 191);
    setDefaults(view);
    const QVector<QLineF> outline = view.outlineSegments();
    QCOMPARE(outline.size(), 20);
    for (int i = 0; i < outline.size(); ++i)
        QCOMPARE(outline[i].p2(), outline[(i + 1) % outline.size()].p1());
    QCOMPARE(outline[index], segment);
}

void TestViews::paperPixels()
{
    PaperView view;
    view.resize(131, 191);
    setDefaults(view);
    const QImage image = render(view);
    QVERIFY(isDark(image.pixel(13, 27)));   // top-left cross centre
    QVERIFY(isDark(image.pixel(13, 148)));  // bottom-left cross centre
    QVERIFY(isDark(image.pixel(118, 148))); // bottom-right
    QVERIFY(isWhite(image.pixel(65, 95)));  // the free area
    const QRgb edge = image.pixel(65, 2);   // half-pixel red line over y 2.25..2.75
    QVERIFY2(qRed(edge) > qGreen(edge) + 40, "the sheet outline is red");
}

void TestViews::markStrokes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QLineF>("horizontal");
    QTest::addColumn<QLineF>("vertical");
    QTest::newRow("defaults, 18 px centred at (30, 30)")
        << QSize(61, 61) << 18.0 << 18.0 << QLineF(21, 30, 39, 30) << QLineF(30, 21, 30, 39);
    QTest::newRow("widest mark fills the view")
        << QSize(61, 61) << 30.0 << 10.0 << QLineF(15, 30, 45, 30) << QLineF(30, 25, 30, 35);
    QTest::newRow("odd size centres by integer division")
        << QSize(31, 21) << 10.0 << 10.0 << QLineF(10, 10, 20, 10) << QLineF(15, 5, 15, 15);
}

void TestViews::markStrokes()
{
    QFETCH(QSize, size);
    QFETCH(double, width);
    QFETCH(double, height);
    MarkView view;
    view.resize(size);
    view.crossWidth = width;
    view.crossHeight = height;
    const QVector<QLineF> strokes = view.strokes();
    QCOMPARE(strokes.size(), 2);
    QTEST(strokes[0], "horizontal");
    QTEST(strokes[1], "vertical");
}

void TestViews::markPixels()
{
    MarkView view;
    view.resize(61, 61);
    view.crossWidth = 18;
    view.crossHeight = 18;
    view.crossPen = 2;
    const QImage image = render(view);
    QVERIFY(isDark(image.pixel(30, 30)));
    QVERIFY(isDark(image.pixel(21, 29)));  // stroke 2 px wide: rows 29 and 30
    QVERIFY(isDark(image.pixel(38, 30)));  // flat cap: last pixel is x 38
    QVERIFY(isWhite(image.pixel(39, 30))); // and nothing beyond 39
    QVERIFY(isWhite(image.pixel(20, 30)));
    QVERIFY(isWhite(image.pixel(25, 27))); // no wider than 2 px
    QVERIFY(isDark(image.pixel(29, 21)));
}

void TestViews::buildDate_data()
{
    QTest::addColumn<QString>("compilerDate");
    QTest::addColumn<QString>("digits");
    QTest::newRow("two-digit day") << "Oct 28 2021"
                                   << "20211028";
    QTest::newRow("single-digit day padded with a blank") << "Oct  5 2021"
                                                          << "20211005";
    QTest::newRow("first of the year") << "Jan  1 2000"
                                       << "20000101";
    QTest::newRow("leap day") << "Feb 29 2024"
                              << "20240229";
    QTest::newRow("no such day") << "Feb 30 2023"
                                 << "";
    QTest::newRow("not a date") << "yesterday"
                                << "";
}

void TestViews::buildDate()
{
    QFETCH(QString, compilerDate);
    QFETCH(QString, digits);
    QCOMPARE(buildDateDigits(compilerDate), digits);
    QCOMPARE(versionLine(compilerDate), prefix + digits);
}

// The program hands the label the day it was linked; an incremental build must not show the
// day one source file happened to be compiled.
void TestViews::labelShowsTheDayItWasGiven()
{
    setBuildDay(QDate(2021, 10, 5));
    const QString given = RollLabel().scrollingText();
    setBuildDay(QDate());
    QCOMPARE(given, prefix + "20211005");
}

void TestViews::rollScroll_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("firstLeft");
    QTest::addColumn<int>("secondLeft");
    QTest::newRow("drawn from x = 0 at first") << 0 << 0 << 0 << 301;
    QTest::newRow("ten ticks move both copies") << 10 << 10 << -10 << 291;
    QTest::newRow("offset may reach the width") << 301 << 301 << -301 << 0;
    QTest::newRow("one more wraps to 0, not 302") << 302 << 0 << 0 << 301;
    QTest::newRow("second cycle") << 312 << 10 << -10 << 291;
}

void TestViews::rollScroll()
{
    QFETCH(int, ticks);
    RollLabel label;
    label.resize(301, 20);
    for (QTimer *timer : label.findChildren<QTimer *>())
        timer->stop(); // the ticks below stand in for the timer
    for (int i = 0; i < ticks; ++i)
        QVERIFY(QMetaObject::invokeMethod(&label, "tick"));
    QTEST(label.offset(), "offset");
    QTEST(label.firstCopyRect().left(), "firstLeft");
    QTEST(label.secondCopyRect().left(), "secondLeft");
    QCOMPARE(label.firstCopyRect().right(), label.rect().right());
    QCOMPARE(label.secondCopyRect().right(), label.rect().right());
}

void TestViews::rollTimerMovesText()
{
    RollLabel label;
    label.resize(301, 20);
    QVERIFY(label.scrollingText().startsWith(prefix));
    QVERIFY(QRegularExpression("Build \\d{8}$").match(label.scrollingText()).hasMatch());
    label.show();
    QTRY_VERIFY_WITH_TIMEOUT(label.offset() >= 3, 5000);
}

void TestViews::zoomSteps_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<int>("delta");
    QTest::addColumn<double>("to");
    QTest::newRow("initial scale, one step in") << 0.025 << 120 << 0.03;
    QTest::newRow("from 0.25 in by a large step") << 0.25 << 120 << 0.30;
    QTest::newRow("from 0.25 out by a large step") << 0.25 << -120 << 0.20;
    QTest::newRow("from 0.24 out by a small step") << 0.24 << -120 << 0.235;
    QTest::newRow("0.245 in reaches 0.25") << 0.245 << 120 << 0.25;
    QTest::newRow("no upper limit") << 5.0 << 120 << 5.05;
    QTest::newRow("at the floor nothing changes") << 0.01 << -120 << 0.01;
    QTest::newRow("a zero delta zooms out") << 0.05 << 0 << 0.045;
}

void TestViews::zoomSteps()
{
    QFETCH(double, from);
    QFETCH(int, delta);
    QFETCH(double, to);
    QPaintWidget widget;
    widget.resize(321, 521);
    widget.setScale(from);
    wheel(widget, QPoint(50, 50), delta);
    QVERIFY2(qAbs(widget.scale() - to) < 1e-12, qPrintable(QString::number(widget.scale())));
}

void TestViews::zoomOutStopsAtFloor()
{
    QPaintWidget widget;
    widget.resize(321, 521);
    QVector<double> seen;
    for (int i = 0; i < 5; ++i) {
        wheel(widget, QPoint(10, 10), -120);
        seen << widget.scale();
    }
    const QVector<double> expected{0.02, 0.015, 0.01, 0.01, 0.01};
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(qAbs(seen[i] - expected[i]) < 1e-12, qPrintable(QString::number(seen[i])));
}

void TestViews::zoomKeepsPointUnderCursor()
{
    QPaintWidget widget;
    widget.resize(321, 521);
    const QPoint cursor(200, 300);
    const auto plotterUnderCursor = [&] {
        return QPointF(cursor) / widget.scale() - QPointF(widget.currentOrigin());
    };
    const QPointF before = plotterUnderCursor();
    wheel(widget, cursor, 120);
    wheel(widget, cursor, 120);
    const QPointF after = plotterUnderCursor();
    QVERIFY2((after - before).manhattanLength() <= 2, "the point under the cursor stays");
    QCOMPARE(widget.committedOrigin(), widget.currentOrigin());
}

void TestViews::dragPans_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("40 px right at 0.025 is 1600 units")
        << 0.025 << QPoint(40, 0) << QPoint(1700, 100);
    QTest::newRow("up and left") << 0.025 << QPoint(-10, -20) << QPoint(-300, -700);
    QTest::newRow("zoomed in moves less") << 0.5 << QPoint(40, 3) << QPoint(180, 106);
    QTest::newRow("halves round upward, also below zero")
        << 0.4 << QPoint(1, -1) << QPoint(103, 98);
}

void TestViews::dragPans()
{
    QFETCH(double, scale);
    QFETCH(QPoint, drag);
    QPaintWidget widget;
    widget.resize(321, 521);
    widget.setScale(scale);
    widget.show();
    const QPoint start(150, 200);
    mouse(widget, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    mouse(widget, QEvent::MouseMove, start + drag / 2, Qt::NoButton, Qt::LeftButton);
    mouse(widget, QEvent::MouseMove, start + drag, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(widget.committedOrigin(), QPoint(100, 100)); // not committed during the drag
    mouse(widget, QEvent::MouseButtonRelease, start + drag, Qt::LeftButton, Qt::NoButton);
    QTEST(widget.committedOrigin(), "origin");
    QCOMPARE(widget.currentOrigin(), widget.committedOrigin());
}

void TestViews::penColours_data()
{
    QTest::addColumn<int>("pen");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("0 black") << 0 << QColor(Qt::black);
    QTest::newRow("1 black") << 1 << QColor(Qt::black);
    QTest::newRow("2 blue") << 2 << QColor(Qt::blue);
    QTest::newRow("3 red") << 3 << QColor(Qt::red);
    QTest::newRow("4 green") << 4 << QColor(Qt::green);
    QTest::newRow("5 magenta") << 5 << QColor(Qt::magenta);
    QTest::newRow("6 yellow") << 6 << QColor(Qt::yellow);
    QTest::newRow("7 cyan") << 7 << QColor(Qt::cyan);
    QTest::newRow("8 gray") << 8 << QColor(Qt::gray);
    QTest::newRow("9 unknown, black") << 9 << QColor(Qt::black);
    QTest::newRow("negative, black") << -1 << QColor(Qt::black);
}

void TestViews::penColours()
{
    QFETCH(int, pen);
    QTEST(cutPathColour(pen), "colour");
    const QPen drawn = cutPathPen(straightPath(pen, 0, {}), 0.05);
    QTEST(drawn.color(), "colour");
    QCOMPARE(drawn.widthF(), 20.0);
    QCOMPARE(drawn.capStyle(), Qt::SquareCap);
    QCOMPARE(drawn.joinStyle(), Qt::BevelJoin);
}

void TestViews::pathPixels_data()
{
    QTest::addColumn<int>("pen");
    QTest::addColumn<int>("lineType");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<bool>("dashed");
    QTest::newRow("pen 3, line type 2: red and dashed") << 3 << 2 << QColor(Qt::red) << true;
    QTest::newRow("pen 12, line type 0: black and solid") << 12 << 0 << QColor(Qt::black) << false;
    QTest::newRow("pen 2, line type 0: blue and solid") << 2 << 0 << QColor(Qt::blue) << false;
}

void TestViews::pathPixels()
{
    QFETCH(int, pen);
    QFETCH(int, lineType);
    QFETCH(QColor, colour);
    QFETCH(bool, dashed);
    QPaintWidget widget;
    widget.resize(321, 521);
    // At 0.025 px per unit with the origin at (100, 100) units, y = 8000 units is row 202.
    widget.paths = {straightPath(pen, lineType, QLineF(0, 8000, 8000, 8000))};
    const QImage image = render(widget);
    int painted = 0;
    int blank = 0;
    for (int x = 20; x < 180; ++x) {
        const QColor c = image.pixelColor(x, 202);
        if (qAbs(c.red() - colour.red()) < 60 && qAbs(c.green() - colour.green()) < 60 &&
            qAbs(c.blue() - colour.blue()) < 60)
            ++painted;
        else if (isWhite(c.rgb()))
            ++blank;
    }
    QVERIFY2(painted > 40, qPrintable(QString("painted %1").arg(painted)));
    QCOMPARE(blank > 20, dashed);
}

void TestViews::pathOutOfRangeIsSkipped()
{
    QPaintWidget widget;
    widget.resize(100, 100);
    widget.paths = {straightPath(1, 0, QLineF(0, 0, qInf(), 1e300)),
                    straightPath(1, 0, QLineF(0, 0, 1000, 1000))};
    QImage image(100, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    drawCutPaths(painter, widget.paths, 1.0); // must neither crash nor trip the sanitizer
    painter.end();
    QVERIFY(!render(widget).isNull());
}

QTEST_MAIN(TestViews)
#include "tst_views.moc"
