#include "KeptElementRenderer.h"

#include <QPainter>
#include <QSvgRenderer>

namespace KeptElementRenderer {

QString matrixText(const QTransform &t)
{
    return QStringLiteral("matrix(%1 %2 %3 %4 %5 %6)")
        .arg(t.m11(), 0, 'g', 17)
        .arg(t.m12(), 0, 'g', 17)
        .arg(t.m21(), 0, 'g', 17)
        .arg(t.m22(), 0, 'g', 17)
        .arg(t.dx(), 0, 'g', 17)
        .arg(t.dy(), 0, 'g', 17);
}

QByteArray wrap(const HostShape &shape)
{
    const QRectF vb = shape.keptViewBox;
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" "
               "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.2\" "
               "baseProfile=\"tiny\" viewBox=\"%1 %2 %3 %4\"><g %5 transform=\"%6\">%7</g></svg>")
        .arg(vb.x())
        .arg(vb.y())
        .arg(vb.width())
        .arg(vb.height())
        .arg(shape.keptNamespaces, matrixText(shape.keptParents), shape.keptXml)
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
