#include "SvgStartTag.h"

#include <QList>
#include <QStringList>

namespace {

// Offsets into the tag: the whitespace before the attribute, its name, its quoted value.
struct Attribute
{
    int lead = 0;
    int nameStart = 0;
    QString name;
    int valueStart = 0; // first character after the opening quote
    int valueEnd = 0;   // the closing quote
    QChar quote;
};

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// The attributes of a well-formed start tag (the XML reader has already accepted it), and where
// the attribute list ends.
QList<Attribute> parse(const QString &tag, int *listEnd)
{
    QList<Attribute> out;
    int i = 1;
    while (i < tag.size() && !isSpace(tag.at(i)) && tag.at(i) != QLatin1Char('/') &&
           tag.at(i) != QLatin1Char('>'))
        ++i;
    *listEnd = i;
    while (i < tag.size()) {
        Attribute attribute;
        attribute.lead = i;
        while (i < tag.size() && isSpace(tag.at(i)))
            ++i;
        if (i >= tag.size() || tag.at(i) == QLatin1Char('/') || tag.at(i) == QLatin1Char('>'))
            break;
        attribute.nameStart = i;
        while (i < tag.size() && !isSpace(tag.at(i)) && tag.at(i) != QLatin1Char('='))
            ++i;
        attribute.name = tag.mid(attribute.nameStart, i - attribute.nameStart);
        while (i < tag.size() && tag.at(i) != QLatin1Char('"') && tag.at(i) != QLatin1Char('\''))
            ++i;
        if (i >= tag.size())
            break;
        attribute.quote = tag.at(i);
        attribute.valueStart = ++i;
        attribute.valueEnd = tag.indexOf(attribute.quote, i);
        if (attribute.valueEnd < 0)
            break;
        i = attribute.valueEnd + 1;
        *listEnd = i;
        out.append(attribute);
    }
    return out;
}

const Attribute *find(const QList<Attribute> &attributes, const QString &name)
{
    for (const Attribute &a : attributes) {
        if (a.name == name)
            return &a;
    }
    return nullptr;
}

} // namespace

namespace SvgStartTag {

QString escaped(const QString &text, QChar quote)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else if (c == quote)
            out += c == QLatin1Char('"') ? QLatin1String("&quot;") : QLatin1String("&apos;");
        else
            out += c;
    }
    return out;
}

QString value(const QString &tag, const QString &name, bool *found)
{
    int end = 0;
    const QList<Attribute> attributes = parse(tag, &end);
    const Attribute *a = find(attributes, name);
    if (found)
        *found = a != nullptr;
    return a ? tag.mid(a->valueStart, a->valueEnd - a->valueStart) : QString();
}

QString set(const QString &tag, const QString &name, const QString &value)
{
    int end = 0;
    const QList<Attribute> attributes = parse(tag, &end);
    if (const Attribute *a = find(attributes, name)) {
        QString out = tag;
        return out.replace(a->valueStart, a->valueEnd - a->valueStart, escaped(value, a->quote));
    }
    // Follow the file's layout: Inkscape puts each attribute on a line of its own.
    QString separator = QStringLiteral(" ");
    if (!attributes.isEmpty()) {
        const Attribute &last = attributes.last();
        const QString lead = tag.mid(last.lead, last.nameStart - last.lead);
        if (lead.contains(QLatin1Char('\n')))
            separator = lead;
    }
    QString out = tag;
    return out.insert(end,
                      separator + name + QStringLiteral("=\"") + escaped(value) + QLatin1Char('"'));
}

QString remove(const QString &tag, const QString &name)
{
    int end = 0;
    const QList<Attribute> attributes = parse(tag, &end);
    const Attribute *a = find(attributes, name);
    if (!a)
        return tag;
    QString out = tag;
    return out.remove(a->lead, a->valueEnd + 1 - a->lead);
}

QString withStyleProperty(const QString &style, const QString &property, const QString &value)
{
    QStringList declarations = style.split(QLatin1Char(';'));
    bool replaced = false;
    for (QString &d : declarations) {
        const int colon = d.indexOf(QLatin1Char(':'));
        if (colon < 0 || d.left(colon).trimmed() != property)
            continue;
        d = d.left(colon + 1) + value;
        replaced = true;
    }
    if (replaced)
        return declarations.join(QLatin1Char(';'));
    QString out = style.trimmed();
    if (!out.isEmpty() && !out.endsWith(QLatin1Char(';')))
        out += QLatin1Char(';');
    return out + property + QLatin1Char(':') + value;
}

} // namespace SvgStartTag
