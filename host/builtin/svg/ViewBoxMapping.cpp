#include "ViewBoxMapping.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

// Where along one axis the scaled viewBox sits in the viewport: 0 start, 0.5 centre, 1 end.
struct Placement
{
    bool stretch = false; // "none"
    bool slice = false;
    double alignX = 0.5;
    double alignY = 0.5;
};

// One of "Min", "Mid", "Max" as a fraction; negative when it is none of them.
double alignment(const QStringRef &word)
{
    if (word == QLatin1String("Min"))
        return 0.0;
    if (word == QLatin1String("Mid"))
        return 0.5;
    if (word == QLatin1String("Max"))
        return 1.0;
    return -1.0;
}

// The attribute is case-sensitive; anything that does not parse whole means the default.
Placement parsePlacement(const QString &text)
{
    QStringList words = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.first() == QLatin1String("defer"))
        words.removeFirst();
    if (words.isEmpty() || words.size() > 2)
        return {};
    Placement placement;
    if (words.size() == 2) {
        if (words.at(1) == QLatin1String("slice"))
            placement.slice = true;
        else if (words.at(1) != QLatin1String("meet"))
            return {};
    }
    const QString &align = words.first();
    if (align == QLatin1String("none")) {
        placement.stretch = true;
        return placement;
    }
    if (align.size() != 8 || !align.startsWith(QLatin1Char('x')) || align.at(4) != QLatin1Char('Y'))
        return {};
    placement.alignX = alignment(align.midRef(1, 3));
    placement.alignY = alignment(align.midRef(5, 3));
    if (placement.alignX < 0 || placement.alignY < 0)
        return {};
    return placement;
}

} // namespace

namespace ViewBoxMapping {

QTransform viewBoxToViewport(const QRectF &viewBox, const QSizeF &viewport,
                             const QString &preserveAspectRatio)
{
    if (viewBox.isEmpty() || viewport.isEmpty())
        return {};
    const Placement placement = parsePlacement(preserveAspectRatio);
    double sx = viewport.width() / viewBox.width();
    double sy = viewport.height() / viewBox.height();
    if (!placement.stretch)
        sx = sy = placement.slice ? std::max(sx, sy) : std::min(sx, sy);
    // The room left over (meet) or the overhang (slice, negative) is shared by the alignment.
    const double dx = (viewport.width() - viewBox.width() * sx) * placement.alignX;
    const double dy = (viewport.height() - viewBox.height() * sy) * placement.alignY;
    return QTransform(sx, 0, 0, sy, dx - viewBox.x() * sx, dy - viewBox.y() * sy);
}

} // namespace ViewBoxMapping
