#include "KeptElementRenderer.h"

#include <QPainter>
#include <QSvgRenderer>

namespace KeptElementRenderer {

QByteArray wrap(const HostShape &shape)
{
    const QRectF vb = shape.keptViewBox;
    return QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" "
                          "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.2\" "
                          "baseProfile=\"tiny\" viewBox=\"%1 %2 %3 %4\">%5</svg>")
        .arg(vb.x())
        .arg(vb.y())
        .arg(vb.width())
        .arg(vb.height())
        .arg(shape.keptXml)
        .toUtf8();
}

void render(QPainter &painter, const HostShape &shape, const QTransform &toTarget)
{
    if (shape.keptXml.isEmpty() || shape.keptViewBox.isEmpty())
        return;
    QSvgRenderer renderer(wrap(shape));
    if (!renderer.isValid())
        return;
    painter.save();
    painter.setTransform(shape.keptToPage * shape.placement * toTarget, true);
    renderer.render(&painter, shape.keptViewBox);
    painter.restore();
}

} // namespace KeptElementRenderer
