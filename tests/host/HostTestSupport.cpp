#include "HostTestSupport.h"

#include <QRegularExpression>

namespace HostTest {

AutomationHandle freshApplication()
{
    BuiltinHost::instance().reset();
    BuiltinHost::instance().createDocument();
    return createAutomationApplication(QStringLiteral("CorelDraw.Application.17"));
}

AutomationHandle document(AutomationObject &app)
{
    return app.querySubObject(Member::ActiveDocument);
}

AutomationHandle page(AutomationObject &app)
{
    return document(app)->querySubObject(Member::ActivePage);
}

AutomationHandle layers(AutomationObject &app)
{
    return page(app)->querySubObject(Member::Layers);
}

AutomationHandle createLayer(AutomationObject &app, const QString &name)
{
    return page(app)->querySubObject(Member::CreateLayer, {name});
}

HostShape::Ptr addRectangle(const HostLayer::Ptr &layer, const QRectF &box)
{
    QPainterPath path;
    path.addRect(box);
    return BuiltinHost::instance().activeDocument()->addShape(layer, path);
}

QList<PlotPolyline> readPlot(const QByteArray &text)
{
    QList<PlotPolyline> lines;
    int pen = 0;
    bool dashed = false;
    QPointF at;
    const QStringList commands = QString::fromLatin1(text).split(QLatin1Char(';'));
    for (QString command : commands) {
        command = command.trimmed();
        const QString op = command.left(2);
        const QString rest = command.mid(2);
        if (op == QLatin1String("SP")) {
            pen = rest.toInt();
        } else if (op == QLatin1String("LT")) {
            dashed = !rest.isEmpty();
        } else if (op == QLatin1String("PU") || op == QLatin1String("PD")) {
            const QStringList numbers = rest.split(QLatin1Char(','), Qt::SkipEmptyParts);
            for (int i = 0; i + 1 < numbers.size(); i += 2) {
                const QPointF p(numbers.at(i).toInt(), numbers.at(i + 1).toInt());
                if (op == QLatin1String("PD")) {
                    if (lines.isEmpty() || lines.last().points.isEmpty() ||
                        lines.last().points.last() != at)
                        lines.append(PlotPolyline{QPolygonF() << at, pen, dashed});
                    lines.last().points << p;
                }
                at = p;
            }
            if (op == QLatin1String("PU"))
                lines.append(PlotPolyline());
        }
    }
    QList<PlotPolyline> drawn;
    for (const PlotPolyline &l : lines) {
        if (l.points.size() > 1)
            drawn.append(l);
    }
    return drawn;
}

} // namespace HostTest
