#include "PrintedPictures.h"

#include "LinkedPicture.h"
#include "svg/SvgNotes.h"
#include "svg/SvgStartTag.h"

#include <QHash>
#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamReader>

namespace {

const QString SvgNamespace = QStringLiteral("http://www.w3.org/2000/svg");
const QString XlinkNamespace = QStringLiteral("http://www.w3.org/1999/xlink");

// What becomes of one link: kept as written, replaced by a data: URL, or removed with a reason.
struct Outcome
{
    bool keep = false;
    QString link;   // the data: URL; empty: the link goes
    QString reason; // why it goes
};

Outcome outcomeFor(const QString &href, const QString &sheetFile)
{
    // Decoding every picture again for each drawing of the page would cost more than the
    // drawing; the outline's tracing decodes them in full.
    const Result<LinkedPicture::Picture> picture =
        LinkedPicture::read(href, sheetFile, LinkedPicture::Pixels::HeaderOnly);
    if (!picture)
        return {false, QString(), picture.error()};
    const QString prefix = QStringLiteral("data:%1").arg(QString::fromLatin1(picture->mimeType));
    // A data: URL that names its format truly is handed on as it is: no copy of a large photo.
    if (href.trimmed().startsWith(prefix + QLatin1Char(';'), Qt::CaseInsensitive))
        return {true, QString(), QString()};
    return {false,
            prefix + QStringLiteral(";base64,") + QString::fromLatin1(picture->bytes.toBase64()),
            QString()};
}

QTextCodec *codecOf(const QByteArray &svg)
{
    if (QTextCodec *marked = QTextCodec::codecForUtfText(svg, nullptr))
        return marked;
    static const QRegularExpression declared(
        QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch match = declared.match(QString::fromLatin1(svg.left(256)));
    QTextCodec *named =
        match.hasMatch() ? QTextCodec::codecForName(match.captured(1).toLatin1()) : nullptr;
    return named ? named : QTextCodec::codecForName("UTF-8");
}

struct Edit
{
    int start;
    int end;
    QString tag;
};

// The start tag of an <image> the reader stands on (at `start` of `text`), with its links
// rewritten; empty when it keeps them. Its note is added when the picture goes.
QString rewritten(const QXmlStreamReader &xml, const QString &text, int start, int end,
                  const QString &sheetFile, QHash<QString, Outcome> &outcomes,
                  SvgNotes::Grouped &notes)
{
    const QString tag = text.mid(start, end - start);
    QStringList names;
    QString plain, xlink;
    for (const QXmlStreamAttribute &a : xml.attributes()) {
        if (a.name() != QLatin1String("href"))
            continue;
        if (a.namespaceUri().isEmpty())
            plain = a.value().toString();
        else if (a.namespaceUri() == XlinkNamespace)
            xlink = a.value().toString();
        else
            continue;
        names << a.qualifiedName().toString();
    }
    const QString href = LinkedPicture::hrefOf(plain, xlink);
    if (href.trimmed().isEmpty() || href.startsWith(QLatin1Char('#')))
        return QString();
    auto outcome = outcomes.find(href);
    if (outcome == outcomes.end())
        outcome = outcomes.insert(href, outcomeFor(href, sheetFile));
    if (outcome->keep)
        return QString();
    QString out = tag;
    for (const QString &name : names)
        out = outcome->link.isEmpty() ? SvgStartTag::remove(out, name)
                                      : SvgStartTag::set(out, name, outcome->link);
    if (outcome->link.isEmpty()) {
        const QString id = xml.attributes().value(QStringLiteral("id")).toString();
        const QString why = outcome->reason;
        notes.add(SvgNotes::PictureNotPrinted, [&] {
            return QStringLiteral("%1 (%2)").arg(
                SvgNotes::nameOf(id, xml.name().toString(), start, text), why);
        });
    }
    return out;
}

} // namespace

namespace PrintedPictures {

Page inlined(const QByteArray &svg, const QString &sheetFile)
{
    QTextCodec *codec = codecOf(svg);
    const QString text = codec->toUnicode(svg);
    QXmlStreamReader xml(text);
    QHash<QString, Outcome> outcomes;
    QList<Edit> edits;
    Page page;
    SvgNotes::Grouped notes;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("image") || xml.namespaceUri() != SvgNamespace)
            continue;
        // Right after a start tag the reader stands past its '>', and '<' cannot occur inside
        // it; an image made by an entity reference has no tag of its own here and is left be.
        const int end = int(xml.characterOffset());
        const int start = text.lastIndexOf(QLatin1Char('<'), end - 1);
        if (start < 0 || !text.midRef(start + 1).startsWith(xml.qualifiedName()))
            continue;
        const QString tag = rewritten(xml, text, start, end, sheetFile, outcomes, notes);
        if (!tag.isEmpty())
            edits.append({start, end, tag});
    }
    page.notes = notes.lines();
    if (edits.isEmpty()) {
        page.svg = svg;
        return page;
    }
    QString out = text;
    for (auto e = edits.crbegin(); e != edits.crend(); ++e)
        out.replace(e->start, e->end - e->start, e->tag);
    // The text is handed on as UTF-8, whatever it was read as.
    static const QRegularExpression declaration(
        QStringLiteral("^(\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"'])[A-Za-z0-9._:-]+"));
    out.replace(declaration, QStringLiteral("\\1UTF-8"));
    page.svg = out.toUtf8();
    return page;
}

} // namespace PrintedPictures
