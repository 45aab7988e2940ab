#include "SvgElementScanner.h"

#include <QRegularExpression>
#include <QSet>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QSet<QString> &drawnTags()
{
    static const QSet<QString> tags{"path", "rect",     "circle",  "ellipse",
                                    "line", "polyline", "polygon", "use"};
    return tags;
}

const QSet<QString> &groupTags()
{
    static const QSet<QString> tags{"g", "a", "switch"};
    return tags;
}

// Far deeper than any drawing program nests its groups.
constexpr int MaxDepth = 256;

enum class Role
{
    Root,
    Container,
    Preamble,
    Drawn,
    Kept,
    Inside
};

struct Frame
{
    Role role = Role::Inside;
    int layer = -1; // index into the scan's layers for containers
    qint64 start = 0;
    ScannedElement element;
    QXmlStreamNamespaceDeclarations namespaces;
};

QRectF parseViewBox(const QString &text)
{
    const QStringList parts = text.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return {};
    QVector<double> v;
    for (const QString &p : parts) {
        bool ok = false;
        v << p.toDouble(&ok);
        if (!ok)
            return {};
    }
    return QRectF(v[0], v[1], v[2], v[3]);
}

bool isHidden(const QXmlStreamAttributes &a)
{
    const QString style = a.value("style").toString().remove(QLatin1Char(' '));
    return style.contains(QLatin1String("display:none")) ||
           a.value("display") == QLatin1String("none");
}

class Scanner
{
public:
    Scanner(const QString &svg, SvgScan *out) : svg(svg), out(out), writer(&out->renderable) {}
    bool run(QString *error);

private:
    void startElement(qint64 start);
    void endElement();
    bool readRoot(QString *error);
    int newLayer(const QXmlStreamAttributes &attributes);
    int defaultLayer();
    QString namespacesInForce() const;

    const QString &svg;
    SvgScan *out;
    QXmlStreamReader reader;
    QXmlStreamWriter writer;
    QVector<Frame> stack;
    int defaultLayerIndex = -1;
    int generatedIds = 0;
    QString rootError;
};

bool Scanner::run(QString *error)
{
    reader.addData(svg);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Invalid)
            break;
        writer.writeCurrentToken(reader);
        if (token == QXmlStreamReader::StartElement) {
            if (stack.isEmpty() && !readRoot(error))
                return false;
            // QtSvg descends recursively; a hostile depth must not exhaust the stack.
            if (stack.size() >= MaxDepth) {
                *error = QStringLiteral("elements nested deeper than %1 levels at line %2")
                             .arg(MaxDepth)
                             .arg(reader.lineNumber());
                return false;
            }
            // The reader's offset runs a character ahead between tokens, but a start tag ends
            // exactly at its ">" and holds no other "<", so its own "<" is the last one before.
            startElement(svg.lastIndexOf(QLatin1Char('<'), int(reader.characterOffset()) - 1));
        } else if (token == QXmlStreamReader::EndElement) {
            endElement();
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("not well-formed SVG at line %1: %2")
                     .arg(reader.lineNumber())
                     .arg(reader.errorString());
        return false;
    }
    if (out->pageWidth <= 0) {
        *error = QStringLiteral("the file has no <svg> element");
        return false;
    }
    return true;
}

bool Scanner::readRoot(QString *error)
{
    if (reader.name() != QLatin1String("svg") ||
        reader.namespaceUri() != SvgElementScanner::SvgNamespace) {
        *error = QStringLiteral("the document element is <%1>, not an SVG <svg>")
                     .arg(reader.qualifiedName().toString());
        return false;
    }
    const QXmlStreamAttributes a = reader.attributes();
    QRectF viewBox = parseViewBox(a.value("viewBox").toString());
    double width = SvgElementScanner::lengthInInches(a.value("width").toString());
    double height = SvgElementScanner::lengthInInches(a.value("height").toString());
    // Without a size the viewBox counts in CSS pixels; without a viewBox user units are pixels.
    if (width <= 0 || height <= 0) {
        width = viewBox.width() / 96.0;
        height = viewBox.height() / 96.0;
    }
    if (viewBox.isEmpty())
        viewBox = QRectF(0, 0, width * 96.0, height * 96.0);
    if (width <= 0 || height <= 0 || viewBox.isEmpty()) {
        *error = QStringLiteral("the SVG gives no page size (width, height or viewBox)");
        return false;
    }
    out->pageWidth = width;
    out->pageHeight = height;
    double sx = width / viewBox.width(), sy = height / viewBox.height();
    double dx = 0, dy = 0; // where the viewBox starts on the page, inches from the top-left
    if (!a.value("preserveAspectRatio").trimmed().startsWith(QLatin1String("none"))) {
        // As a browser or Inkscape shows it: one scale, the viewBox centred on the page.
        const double s = qMin(sx, sy);
        dx = (width - viewBox.width() * s) / 2;
        dy = (height - viewBox.height() * s) / 2;
        sx = sy = s;
    }
    out->userToPage =
        QTransform(sx, 0, 0, -sy, dx - viewBox.x() * sx, height - dy + viewBox.y() * sy);
    out->source.userToPage = out->userToPage;
    out->source.fromFile = true;
    out->source.viewBox = viewBox;
    out->source.rootAttributes = a;
    out->source.namespaces = reader.namespaceDeclarations();
    return true;
}

QString Scanner::namespacesInForce() const
{
    QStringList declarations;
    QSet<QString> seen;
    for (int i = stack.size() - 1; i >= 0; --i) {
        for (const QXmlStreamNamespaceDeclaration &d : stack.at(i).namespaces) {
            const QString prefix = d.prefix().toString();
            if (prefix.isEmpty() || seen.contains(prefix))
                continue;
            seen.insert(prefix);
            declarations << QStringLiteral("xmlns:%1=\"%2\"")
                                .arg(prefix, d.namespaceUri().toString().toHtmlEscaped());
        }
    }
    return declarations.join(QLatin1Char(' '));
}

int Scanner::newLayer(const QXmlStreamAttributes &a)
{
    ScannedLayer layer;
    layer.id = a.value("id").toString();
    layer.name = a.value(SvgElementScanner::InkscapeNamespace, "label").toString();
    if (layer.name.isEmpty())
        layer.name = layer.id;
    layer.visible = !isHidden(a);
    layer.editable = a.value(SvgElementScanner::SodipodiNamespace, "insensitive").isEmpty();
    layer.printable =
        a.value(SvgElementScanner::VexaNamespace, "printable") != QLatin1String("false");
    out->layers.append(layer);
    return out->layers.size() - 1;
}

int Scanner::defaultLayer()
{
    if (defaultLayerIndex < 0) {
        ScannedLayer layer;
        layer.name = QStringLiteral("Layer 1");
        out->layers.append(layer);
        defaultLayerIndex = out->layers.size() - 1;
    }
    return defaultLayerIndex;
}

void Scanner::startElement(qint64 start)
{
    Frame frame;
    frame.start = start;
    frame.namespaces = reader.namespaceDeclarations();
    const QString tag = reader.name().toString();
    const bool svgElement = reader.namespaceUri() == SvgElementScanner::SvgNamespace;
    const Role parent = stack.isEmpty() ? Role::Root : stack.last().role;
    const int parentLayer = stack.isEmpty() ? -1 : stack.last().layer;
    const QXmlStreamAttributes a = reader.attributes();
    if (stack.isEmpty()) {
        frame.role = Role::Root;
    } else if (parent == Role::Preamble || parent == Role::Drawn || parent == Role::Kept ||
               parent == Role::Inside) {
        frame.role = Role::Inside;
    } else if (svgElement && tag == QLatin1String("g") &&
               a.value(SvgElementScanner::InkscapeNamespace, "groupmode") ==
                   QLatin1String("layer")) {
        frame.role = Role::Container;
        frame.layer = newLayer(a);
    } else if (svgElement && (drawnTags().contains(tag) || groupTags().contains(tag) ||
                              tag == QLatin1String("text") || tag == QLatin1String("image") ||
                              tag == QLatin1String("flowRoot"))) {
        frame.layer = parent == Role::Root ? defaultLayer() : parentLayer;
        frame.role = groupTags().contains(tag)   ? Role::Container
                     : drawnTags().contains(tag) ? Role::Drawn
                                                 : Role::Kept;
        // A hidden group is kept whole: its children alone would show once saved.
        if (frame.role == Role::Container && isHidden(a))
            frame.role = Role::Kept;
    } else if (parent == Role::Root) {
        frame.role = Role::Preamble;
    } else {
        // defs, styles, metadata and the like inside a layer stay with the layer as they are.
        frame.role = Role::Kept;
        frame.layer = parentLayer;
    }
    if (frame.role == Role::Drawn || frame.role == Role::Kept) {
        ScannedElement &e = frame.element;
        e.tag = tag;
        e.kind = frame.role == Role::Drawn       ? ShapeKind::Curve
                 : tag == QLatin1String("image") ? ShapeKind::Image
                 : (tag == QLatin1String("text") || tag == QLatin1String("flowRoot"))
                     ? ShapeKind::Text
                     : ShapeKind::Other;
        e.originalId = a.value("id").toString();
        e.strokeCmyk = a.value(SvgElementScanner::VexaNamespace, "stroke-cmyk").toString();
        e.fillCmyk = a.value(SvgElementScanner::VexaNamespace, "fill-cmyk").toString();
        e.hairline = a.value(SvgElementScanner::VexaNamespace, "hairline") == QLatin1String("true");
        e.id = e.originalId;
        if (e.id.isEmpty()) {
            e.id = QStringLiteral("vx-render-%1").arg(++generatedIds);
            writer.writeAttribute(QStringLiteral("id"), e.id);
        }
    }
    stack.append(frame);
    if (frame.role == Role::Drawn || frame.role == Role::Kept)
        stack.last().element.namespaces = namespacesInForce();
}

void Scanner::endElement()
{
    if (stack.isEmpty())
        return;
    Frame frame = stack.takeLast();
    const QString text = svg.mid(frame.start, reader.characterOffset() - frame.start);
    if (frame.role == Role::Preamble) {
        out->source.preamble += text + QLatin1Char('\n');
    } else if (frame.role == Role::Drawn || frame.role == Role::Kept) {
        frame.element.text = text;
        ScannedLayer &layer = out->layers[frame.layer];
        layer.elements.append(frame.element);
        if (frame.element.kind == ShapeKind::Text || frame.element.kind == ShapeKind::Image)
            out->notes << QStringLiteral("kept as it is, never cut: <%1> \"%2\" on \"%3\"")
                              .arg(frame.element.tag, frame.element.originalId, layer.name);
    }
}

} // namespace

namespace SvgElementScanner {

double lengthInInches(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*([+-]?[0-9]*\\.?[0-9]+(?:[eE][+-]?[0-9]+)?)\\s*(mm|cm|in|px|pt|pc)?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return 0;
    const double v = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    if (unit == QLatin1String("mm"))
        return v / 25.4;
    if (unit == QLatin1String("cm"))
        return v / 2.54;
    if (unit == QLatin1String("in"))
        return v;
    if (unit == QLatin1String("pt"))
        return v / 72.0;
    if (unit == QLatin1String("pc"))
        return v / 6.0;
    return v / 96.0; // CSS pixels, also for a bare number
}

bool scan(const QString &svg, SvgScan *result, QString *error)
{
    *result = SvgScan();
    Scanner scanner(svg, result);
    return scanner.run(error);
}

} // namespace SvgElementScanner
