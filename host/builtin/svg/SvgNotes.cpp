#include "SvgNotes.h"

#include "SvgStartTag.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

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
    return nameOf(element.originalId, element.tag, element.span.isValid() ? element.span.start : -1,
                  text);
}

QString nameOf(const QString &id, const QString &tag, int offset, const QString &text)
{
    if (!id.isEmpty())
        return id;
    if (offset < 0 || offset > text.size())
        return QStringLiteral("<%1>").arg(tag);
    const int line = text.leftRef(offset).count(QLatin1Char('\n')) + 1;
    return QStringLiteral("<%1> on line %2").arg(tag).arg(line);
}

QString tagOf(const QString &elementText)
{
    static const QRegularExpression start(QStringLiteral("^\\s*<(?:[\\w.-]+:)?([\\w.-]+)"));
    return start.match(elementText).captured(1);
}

const Grouped::Kind PictureNotPrinted{"picture is neither printed nor cut",
                                      "pictures are neither printed nor cut"};

void Grouped::add(const Kind &kind, const std::function<QString()> &describe)
{
    auto group = std::find_if(groups.begin(), groups.end(), [&kind](const Group &g) {
        return qstrcmp(g.kind.one, kind.one) == 0;
    });
    if (group == groups.end())
        group = groups.insert(groups.end(), Group{kind, 0, {}});
    group->count += 1;
    // One more than shown, so that the line ends in "..." when there are more.
    if (group->names.size() <= NamesShown)
        group->names << describe();
}

QStringList Grouped::lines() const
{
    QStringList out;
    for (const Group &group : groups)
        out << QStringLiteral("%1 %2: %3")
                   .arg(group.count)
                   .arg(QLatin1String(group.count == 1 ? group.kind.one : group.kind.many),
                        firstNames(group.names));
    return out;
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
