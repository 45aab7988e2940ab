#include "SvgNotes.h"

#include "SvgStartTag.h"

#include <QFileInfo>

namespace {

constexpr int NamesShown = 3;

QString counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QString firstNames(const QStringList &names)
{
    QString out = names.mid(0, NamesShown).join(QStringLiteral(", "));
    if (names.size() > NamesShown)
        out += QStringLiteral(", ...");
    return out;
}

} // namespace

namespace SvgNotes {

QString nameOf(const ScannedElement &element, const QString &text)
{
    if (element.kind == ShapeKind::Image) {
        for (const char *name : {"xlink:href", "href"}) {
            bool found = false;
            const QString link = SvgStartTag::value(element.text, QLatin1String(name), &found);
            if (found && !link.isEmpty() && !link.startsWith(QLatin1String("data:")))
                return QFileInfo(link).fileName();
        }
    }
    if (!element.originalId.isEmpty())
        return element.originalId;
    if (!element.span.isValid())
        return QStringLiteral("<%1>").arg(element.tag);
    const int line = text.leftRef(element.span.start).count(QLatin1Char('\n')) + 1;
    return QStringLiteral("<%1> on line %2").arg(element.tag).arg(line);
}

QStringList keptAsDrawn(const QList<ScannedLayer> &layers, const QString &text)
{
    int texts = 0, pictures = 0;
    QStringList names;
    for (const ScannedLayer &layer : layers) {
        for (const ScannedElement &element : layer.elements) {
            if (element.kind != ShapeKind::Text && element.kind != ShapeKind::Image)
                continue;
            (element.kind == ShapeKind::Text ? texts : pictures) += 1;
            // Only the names shown are made: a line number counts the text before it.
            if (names.size() <= NamesShown)
                names << nameOf(element, text);
        }
    }
    if (texts + pictures == 0)
        return {};
    QStringList kinds;
    if (texts)
        kinds << counted(texts, "text", "texts");
    if (pictures)
        kinds << counted(pictures, "picture", "pictures");
    return {QStringLiteral("%1 %2 printed and outlined as drawn: %3")
                .arg(kinds.join(QStringLiteral(" and ")),
                     QLatin1String(texts + pictures == 1 ? "is" : "are"), firstNames(names))};
}

QStringList summary(const QString &what, const QStringList &names)
{
    if (names.isEmpty())
        return {};
    return {QStringLiteral("%1 %2: %3").arg(names.size()).arg(what, firstNames(names))};
}

} // namespace SvgNotes
