#include "TestDocument.h"

#include <QPainterPath>

namespace TestDocument {

HostDocument::Ptr freshA4()
{
    BuiltinHost &host = BuiltinHost::instance();
    host.reset();
    HostDocument::Ptr doc = host.createDocument(A4Width / MmPerInch, A4Height / MmPerInch);
    host.setActiveDocument(doc);
    return doc;
}

HostLayer::Ptr addLayer(const HostDocument::Ptr &doc, const QString &name, bool printable,
                        bool editable)
{
    auto layer = std::make_shared<HostLayer>();
    layer->name = name;
    layer->printable = printable;
    layer->editable = editable;
    doc->activePage->layers.append(layer);
    return layer;
}

QPointF hostPoint(const HostDocument::Ptr &doc, double xMm, double yFromTopMm)
{
    return QPointF(xMm / MmPerInch, doc->activePage->heightInches - yFromTopMm / MmPerInch);
}

HostShape::Ptr addCross(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer, double xMm,
                        double yFromTopMm, double sizeMm)
{
    const double h = sizeMm / 2;
    QPainterPath path(hostPoint(doc, xMm - h, yFromTopMm));
    path.lineTo(hostPoint(doc, xMm + h, yFromTopMm));
    path.moveTo(hostPoint(doc, xMm, yFromTopMm - h));
    path.lineTo(hostPoint(doc, xMm, yFromTopMm + h));
    return doc->addShape(layer, path);
}

HostShape::Ptr addRectangle(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer,
                            double leftMm, double topMm, double widthMm, double heightMm)
{
    return addLine(doc, layer,
                   {{leftMm, topMm},
                    {leftMm + widthMm, topMm},
                    {leftMm + widthMm, topMm + heightMm},
                    {leftMm, topMm + heightMm},
                    {leftMm, topMm}});
}

HostShape::Ptr addLine(const HostDocument::Ptr &doc, const HostLayer::Ptr &layer,
                       const QList<QPointF> &pointsMm)
{
    QPainterPath path(hostPoint(doc, pointsMm.first().x(), pointsMm.first().y()));
    for (int i = 1; i < pointsMm.size(); ++i)
        path.lineTo(hostPoint(doc, pointsMm.at(i).x(), pointsMm.at(i).y()));
    return doc->addShape(layer, path);
}

QRectF boxMm(const HostDocument::Ptr &doc, const HostShape::Ptr &shape)
{
    const QRectF box = shape->bounds();
    const double pageHeight = doc->activePage->heightInches;
    return QRectF(box.left() * MmPerInch, (pageHeight - box.bottom()) * MmPerInch,
                  box.width() * MmPerInch, box.height() * MmPerInch);
}

HostDocument::Ptr labelSheet(int marks)
{
    HostDocument::Ptr doc = freshA4();
    addLine(doc, addLayer(doc, "Creasing Layer", false, true), {{40, 75}, {90, 75}});
    addRectangle(doc, addLayer(doc, "Cutting Layer", false, false), 38, 58, 54, 34);
    const QList<QPointF> corners{
        {8.5, 22.5}, {201.5, 22.5}, {8.5, 258.5}, {201.5, 258.5}, {100, 258.5}};
    if (marks > 0) {
        const HostLayer::Ptr layer = addLayer(doc, "Mark Layer", true, false);
        for (int i = 0; i < marks; ++i)
            addCross(doc, layer, corners.at(i).x(), corners.at(i).y());
        addCross(doc, addLayer(doc, "Extra Layer", true, false), 201.5, 35.5);
    }
    return doc;
}

} // namespace TestDocument
