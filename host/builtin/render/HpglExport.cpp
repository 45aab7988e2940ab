#include "HpglExport.h"

#include "model/ShapeOperations.h"

#include <cmath>

namespace {

QList<HostShape::Ptr> exportedShapes(const HostDocument &doc, bool selectionOnly)
{
    const QList<HostShape::Ptr> selected = doc.selection();
    QList<HostShape::Ptr> shapes;
    for (const HostLayer::Ptr &layer : doc.activePage->layers) {
        if (!layer->printable || !layer->visible)
            continue;
        for (const HostShape::Ptr &shape : layer->shapes) {
            if (shape->kind == ShapeKind::Curve && (!selectionOnly || selected.contains(shape)))
                shapes.append(shape);
        }
    }
    return shapes;
}

// Drawing inches to plotter units, with the filter's scale, fit and origin.
QTransform plotTransform(const QList<HostShape::Ptr> &shapes, const HpglOptions &options)
{
    QTransform toPlot;
    const double units = options.plotterUnits * options.scalePercent / 100.0;
    if (options.plotterOrigin == 0)
        toPlot.translate(-options.pageWidth / 2 * units, -options.pageHeight / 2 * units);
    toPlot.scale(units, units);
    if (options.fitToPage) {
        const QRectF box = HostDocument::boundsOf(shapes);
        const double fx = box.width() > 0 ? options.pageWidth / box.width() : 1.0;
        const double fy = box.height() > 0 ? options.pageHeight / box.height() : 1.0;
        const double fit = qMin(box.width() > 0 ? fx : fy, box.height() > 0 ? fy : fx);
        toPlot.scale(fit, fit);
        toPlot.translate(-box.left(), -box.top());
    }
    return toPlot;
}

QByteArray coordinate(double v)
{
    return QByteArray::number(static_cast<qlonglong>(std::llround(v)));
}

} // namespace

namespace HpglExport {

QByteArray write(const HostDocument &doc, const HpglOptions &options, bool selectionOnly)
{
    const QList<HostShape::Ptr> shapes = exportedShapes(doc, selectionOnly);
    const QTransform t = plotTransform(shapes, options);
    const double outputPerInch = std::fabs(t.m11());
    const double tolerance =
        options.curveResolution / qMax(outputPerInch / options.plotterUnits, 1e-9);

    QByteArray out = "IN;PA;";
    QList<Cmyk> pens;
    int pen = 0;
    bool dashed = false;
    out += "LT;";
    for (const HostShape::Ptr &shape : shapes) {
        int wanted = pens.indexOf(shape->outlineCmyk) + 1;
        if (wanted == 0) {
            pens.append(shape->outlineCmyk);
            wanted = pens.size();
        }
        if (wanted != pen) {
            pen = wanted;
            out += "SP" + QByteArray::number(pen) + ';';
        }
        if (shape->dashed != dashed) {
            dashed = shape->dashed;
            out += dashed ? "LT2,4,1;" : "LT;";
        }
        for (const QPolygonF &poly : ShapeOperations::flatten(shape->path, tolerance)) {
            if (poly.size() < 2)
                continue;
            const QPolygonF plotted = t.map(poly);
            out += "PU" + coordinate(plotted.first().x()) + ',' + coordinate(plotted.first().y()) +
                   ";PD";
            for (int i = 1; i < plotted.size(); ++i) {
                if (i > 1)
                    out += ',';
                out += coordinate(plotted.at(i).x()) + ',' + coordinate(plotted.at(i).y());
            }
            out += ";\n";
        }
    }
    out += "PU;SP0;\n";
    return out;
}

} // namespace HpglExport
