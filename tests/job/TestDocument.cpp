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
    return QPointF(xMm / MmPerInch, doc->activePage->height - yFromTopMm / MmPerInch);
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
    const double pageHeight = doc->activePage->height;
    return QRectF(box.left() * MmPerInch, (pageHeight - box.bottom()) * MmPerInch,
                  box.width() * MmPerInch, box.height() * MmPerInch);
}

} // namespace TestDocument
