#include "SvgSplice.h"

#include "SvgElementScanner.h"
#include "SvgElementText.h"
#include "SvgStartTag.h"
#include "render/KeptElementRenderer.h"

#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

struct Edit
{
    SvgSpan span; // the text replaced; empty for an insertion
    QString text;
    int order = 0; // keeps insertions at one place in the order they were made
};

bool nearIdentity(const QTransform &t)
{
    // A stretch and its inverse leave rounding far below a micro-inch.
    constexpr double limit = 1e-9;
    return std::abs(t.m11() - 1) < limit && std::abs(t.m22() - 1) < limit &&
           std::abs(t.m12()) < limit && std::abs(t.m21()) < limit && std::abs(t.dx()) < limit &&
           std::abs(t.dy()) < limit && t.isAffine();
}

QString wrapped(const QString &element, const QTransform &t)
{
    return QStringLiteral("<g transform=\"%1\">%2</g>")
        .arg(KeptElementRenderer::matrixText(t), element);
}

bool sameStyle(const HostShape &a, const HostShape &b)
{
    return a.filled == b.filled && a.fillCmyk == b.fillCmyk && a.outlined == b.outlined &&
           a.outlineWidthInches == b.outlineWidthInches && a.outlineCmyk == b.outlineCmyk &&
           a.dashed == b.dashed && a.svgId == b.svgId;
}

// The spaces and tabs that indent the line a position is on; false when other text precedes it
// on that line.
bool lineIndent(const QString &text, int at, QString *indent)
{
    int i = at;
    while (i > 0 && (text.at(i - 1) == QLatin1Char(' ') || text.at(i - 1) == QLatin1Char('\t')))
        --i;
    *indent = text.mid(i, at - i);
    return i == 0 || text.at(i - 1) == QLatin1Char('\n');
}

// Elements put before an end tag at `at`: one step deeper than the end tag when it stands on a
// line of its own, which it keeps.
QString beforeEndTag(const QString &text, int at, const QStringList &elements)
{
    QString indent;
    const bool ownLine = lineIndent(text, at, &indent);
    QString out;
    for (const QString &element : elements)
        out += ownLine ? QStringLiteral("  ") + element + QLatin1Char('\n') + indent : element;
    return out;
}

class Splicer
{
public:
    explicit Splicer(const HostDocument &doc)
        : doc(doc), text(doc.svg.text), toUser(SvgElementText::pageToUser(doc))
    {
    }
    QByteArray run();

private:
    QString elementText(const HostShape &shape, const QString &original) const;
    void shapeEdits();
    SvgSpan wholeLine(const SvgSpan &span) const;
    QString layerStartTag(const HostLayer &layer) const;
    QStringList addedShapes(const HostLayer &layer) const;
    void layerEdits();
    void rootEdits();
    void add(const SvgSpan &span, const QString &replacement)
    {
        edits.append({span, replacement, int(edits.size())});
    }

    const HostDocument &doc;
    const QString &text;
    const QTransform toUser;
    QList<Edit> edits;
    QStringList newLayers;     // whole layers made here, for the end of the root
    QStringList rootAdditions; // shapes on the stand-in layer of a file without elements
};

QString Splicer::elementText(const HostShape &shape, const QString &original) const
{
    const QTransform parents =
        shape.kind == ShapeKind::Curve ? shape.sourceParents : shape.keptParents;
    const QTransform toParent = parents.isInvertible() ? parents.inverted() : QTransform();
    if (shape.kind != ShapeKind::Curve) {
        if (nearIdentity(shape.placement))
            return original;
        return wrapped(original, parents * shape.keptToPage * shape.placement * toUser * toParent);
    }
    if (SvgElementText::unchangedSinceRead(shape))
        return original;
    const HostShape *read = shape.asRead.get();
    // Moved as a whole: the element keeps everything it had (gradients, classes, markers).
    if (read && sameStyle(shape, *read) &&
        SvgElementText::samePath(shape.moved.map(read->path), shape.path))
        return wrapped(original, parents * doc.svg.userToPage * shape.moved * toUser * toParent);
    return SvgElementText::curveElement(shape, toUser * toParent);
}

void Splicer::shapeEdits()
{
    // Shapes broken apart share their element: its pieces replace it together.
    QMap<int, QList<HostShape::Ptr>> bySpan;
    for (const HostLayer::Ptr &layer : doc.activePage->layers) {
        for (const HostShape::Ptr &shape : layer->shapes) {
            if (shape->sourceSpan.isValid())
                bySpan[shape->sourceSpan.start].append(shape);
        }
    }
    for (const SvgSpan &span : doc.svg.shapeElements) {
        const QString original = text.mid(span.start, span.length());
        QString replacement;
        for (const HostShape::Ptr &shape : bySpan.value(span.start))
            replacement += elementText(*shape, original);
        if (replacement == original)
            continue;
        add(replacement.isEmpty() ? wholeLine(span) : span, replacement);
    }
}

SvgSpan Splicer::wholeLine(const SvgSpan &span) const
{
    // An element cut out from a line of its own takes the line with it, so that deleting and
    // adding the same shapes again leaves the file as it was.
    QString indent;
    if (!lineIndent(text, span.start, &indent))
        return span;
    int end = span.end;
    while (end < text.size() &&
           (text.at(end) == QLatin1Char(' ') || text.at(end) == QLatin1Char('\t')))
        ++end;
    if (end < text.size() && text.at(end) == QLatin1Char('\r'))
        ++end;
    if (end >= text.size() || text.at(end) != QLatin1Char('\n'))
        return span;
    return {span.start - int(indent.size()), end + 1};
}

QStringList Splicer::addedShapes(const HostLayer &layer) const
{
    const QTransform contentToUser = layer.source.contentToUser;
    const QTransform toLayer =
        toUser * (contentToUser.isInvertible() ? contentToUser.inverted() : QTransform());
    QStringList out;
    for (const HostShape::Ptr &shape : layer.shapes) {
        if (shape->sourceSpan.isValid() || shape->fromEntity)
            continue;
        if (shape->kind == ShapeKind::Curve)
            out << SvgElementText::curveElement(*shape, toLayer);
        else
            out << SvgElementText::keptElement(*shape, toUser);
    }
    return out;
}

QString Splicer::layerStartTag(const HostLayer &layer) const
{
    const HostLayer::Source &was = layer.source;
    QString tag = text.mid(was.startTag.start, was.startTag.length());
    if (layer.name != was.name)
        tag = SvgStartTag::set(tag, QStringLiteral("inkscape:label"), layer.name);
    if (layer.editable != was.editable) {
        tag = layer.editable ? SvgStartTag::remove(tag, QStringLiteral("sodipodi:insensitive"))
                             : SvgStartTag::set(tag, QStringLiteral("sodipodi:insensitive"),
                                                QStringLiteral("true"));
    }
    if (layer.printable != was.printable) {
        tag = layer.printable ? SvgStartTag::remove(tag, QStringLiteral("vexa:printable"))
                              : SvgStartTag::set(tag, QStringLiteral("vexa:printable"),
                                                 QStringLiteral("false"));
    }
    if (layer.visible != was.visible) {
        // A style declaration outweighs a display attribute, so it decides either way.
        const QString style = SvgStartTag::value(tag, QStringLiteral("style"));
        tag = SvgStartTag::set(tag, QStringLiteral("style"),
                               SvgStartTag::withStyleProperty(style, QStringLiteral("display"),
                                                              layer.visible
                                                                  ? QStringLiteral("inline")
                                                                  : QStringLiteral("none")));
    }
    return tag;
}

void Splicer::layerEdits()
{
    for (const SvgSpan &span : doc.svg.removedLayers)
        add(wholeLine(span), QString());
    int index = 0;
    for (const HostLayer::Ptr &layer : doc.activePage->layers) {
        ++index;
        const HostLayer::Source &was = layer->source;
        if (!was.inFile) {
            QString id =
                layer->svgId.isEmpty() ? QStringLiteral("layer%1").arg(index) : layer->svgId;
            while (text.contains(QStringLiteral("id=\"%1\"").arg(id)))
                id += QStringLiteral("-%1").arg(index);
            QString element = SvgElementText::layerElement(doc, *layer, id, toUser);
            element.chop(1); // its line end
            newLayers << element;
            continue;
        }
        const QString original = text.mid(was.startTag.start, was.startTag.length());
        const QString tag = was.startTag.isValid() ? layerStartTag(*layer) : QString();
        const QStringList added = addedShapes(*layer);
        if (was.selfClosing && !added.isEmpty()) {
            // An empty layer written as one tag opens to take its first shapes.
            QString open = tag;
            open.remove(open.lastIndexOf(QLatin1Char('/')), 1);
            const int nameEnd = open.indexOf(QRegularExpression(QStringLiteral("[\\s/>]")));
            QString indent;
            lineIndent(text, was.startTag.start, &indent);
            QString content;
            for (const QString &element : added)
                content += QLatin1Char('\n') + indent + QStringLiteral("  ") + element;
            add(was.startTag, open + content + QLatin1Char('\n') + indent +
                                  QStringLiteral("</%1>").arg(open.mid(1, nameEnd - 1)));
            continue;
        }
        if (was.startTag.isValid() && tag != original)
            add(was.startTag, tag);
        if (added.isEmpty())
            continue;
        if (was.startTag.isValid()) {
            add({was.insertAt, was.insertAt}, beforeEndTag(text, was.insertAt, added));
        } else if (was.insertAt >= 0 && was.insertAt != doc.svg.rootEndTag.start) {
            // After the stand-in layer's last element outside any layer, each on a line.
            QString content;
            for (const QString &element : added)
                content += QStringLiteral("\n  ") + element;
            add({was.insertAt, was.insertAt}, content);
        } else {
            rootAdditions << added;
        }
    }
}

void Splicer::rootEdits()
{
    const SvgSpan &start = doc.svg.rootStartTag;
    const QString original = text.mid(start.start, start.length());
    QString tag = original;
    const QStringList additions = rootAdditions + newLayers;
    const QString written = additions.join(QString()) + [this] {
        QString all;
        for (const Edit &e : edits)
            all += e.text;
        return all;
    }();
    const QList<QPair<QString, QString>> ours{{"inkscape", SvgElementScanner::InkscapeNamespace},
                                              {"sodipodi", SvgElementScanner::SodipodiNamespace},
                                              {"vexa", SvgElementScanner::VexaNamespace}};
    for (const auto &ns : ours) {
        bool declared = false;
        for (const QXmlStreamNamespaceDeclaration &d : doc.svg.namespaces)
            declared = declared || d.prefix() == ns.first;
        if (!declared && written.contains(ns.first + QLatin1Char(':')))
            tag = SvgStartTag::set(tag, QStringLiteral("xmlns:") + ns.first, ns.second);
    }
    if (!doc.svg.declaresSvgNamespace)
        tag.insert(4,
                   SvgElementText::attr(QStringLiteral("xmlns"), SvgElementScanner::SvgNamespace));
    if (additions.isEmpty()) {
        if (tag != original)
            add(start, tag);
        return;
    }
    if (!doc.svg.rootEndTag.isValid()) {
        // A root written as one tag opens to take the new layers.
        tag.remove(tag.lastIndexOf(QLatin1Char('/')), 1);
        QString content;
        for (const QString &element : additions)
            content += QLatin1Char('\n') + element;
        add(start, tag + content + QStringLiteral("\n</svg>"));
        return;
    }
    if (tag != original)
        add(start, tag);
    const int at = doc.svg.rootEndTag.start;
    QString indent;
    const bool ownLine = lineIndent(text, at, &indent);
    QString content;
    for (const QString &element : additions)
        content += ownLine ? element + QLatin1Char('\n') + indent : element;
    add({at, at}, content);
}

QByteArray Splicer::run()
{
    shapeEdits();
    layerEdits();
    rootEdits();
    if (edits.isEmpty())
        return doc.svg.bytes;
    std::sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
        if (a.span.start != b.span.start)
            return a.span.start < b.span.start;
        return a.order < b.order;
    });
    QString out;
    out.reserve(text.size());
    int copied = 0;
    for (const Edit &e : edits) {
        // Edits never overlap: elements that became shapes hold no layers and no other shapes.
        if (e.span.start < copied)
            continue;
        out += text.midRef(copied, e.span.start - copied);
        out += e.text;
        copied = e.span.end;
    }
    out += text.midRef(copied);
    return SvgFileCodec::encode(out, doc.svg.encoding);
}

} // namespace

namespace SvgSplice {

QByteArray edited(const HostDocument &doc)
{
    return Splicer(doc).run();
}

} // namespace SvgSplice
