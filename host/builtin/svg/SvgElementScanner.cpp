#include "SvgElementScanner.h"

#include "SvgClipGeometry.h"
#include "SvgShapeGeometry.h"
#include "ViewBoxMapping.h"
#include "common/Units.h"

#include <QRegularExpression>
#include <QSet>
#include <QVector>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <cmath>

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
constexpr double MaxPageInches = 10000; // 254 m

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
    int start = 0;
    SvgSpan startTag;
    bool fromEntity = false;
    ScannedElement element;
    QXmlStreamNamespaceDeclarations namespaces;
    QList<ScannedClip> clips; // clip-paths of this group and the groups around it
};

// False when the text is not four numbers.
bool parseViewBox(const QString &text, QRectF *box)
{
    const QStringList parts = text.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return false;
    QVector<double> numbers;
    for (const QString &p : parts) {
        bool ok = false;
        numbers << p.toDouble(&ok);
        if (!ok)
            return false;
    }
    *box = QRectF(numbers[0], numbers[1], numbers[2], numbers[3]);
    return true;
}

bool isHidden(const QXmlStreamAttributes &attributes)
{
    const QString style = attributes.value("style").toString().remove(QLatin1Char(' '));
    return style.contains(QLatin1String("display:none")) ||
           attributes.value("display") == QLatin1String("none");
}

class Scanner
{
public:
    Scanner(const QString &svg, SvgScan *out, std::function<QSizeF()> unsizedPage)
        : svg(svg), out(out), writer(&out->renderable), unsizedPage(std::move(unsizedPage))
    {
    }
    Result<> run();

private:
    void startElement(const SvgSpan &startTag, bool fromEntity);
    bool isSvgElement() const;
    void endElement();
    Result<> readRoot();
    int newLayer(const QXmlStreamAttributes &attributes);
    int defaultLayer();
    QString namespacesInForce() const;
    bool isSizedImage() const;
    bool needsXlinkHref() const;
    void declareXlink();
    void writeWithXlinkHref(bool imagePlaceholder);

    const QString &svg;
    SvgScan *out;
    QXmlStreamReader reader;
    QXmlStreamWriter writer;
    QVector<Frame> stack;
    int defaultLayerIndex = -1;
    int generatedIds = 0;
    QString rootError;
    bool namespaceless = false;
    std::function<QSizeF()> unsizedPage;
};

// An image with its own width and height: QtSvg places it by them alone.
bool Scanner::isSizedImage() const
{
    const QXmlStreamAttributes attributes = reader.attributes();
    return reader.isStartElement() && reader.name() == QLatin1String("image") &&
           (namespaceless || reader.namespaceUri() == SvgElementScanner::SvgNamespace) &&
           attributes.hasAttribute(QStringLiteral("width")) &&
           attributes.hasAttribute(QStringLiteral("height"));
}

// QtSvg follows only a reference written "xlink:href", while SVG 2 drawings write a plain href
// and others may give the XLink namespace another prefix. QtSvg refuses a tag that declares a
// prefix twice, as a document type's default and the tag itself can together.
bool Scanner::needsXlinkHref() const
{
    if (!reader.isStartElement())
        return false;
    QSet<QStringRef> prefixes;
    for (const QXmlStreamNamespaceDeclaration &d : reader.namespaceDeclarations()) {
        if (prefixes.contains(d.prefix()))
            return true; // declared twice: written once by the same copy
        prefixes.insert(d.prefix());
    }
    if (!isSvgElement() ||
        (reader.name() != QLatin1String("use") && reader.name() != QLatin1String("image")))
        return false;
    const QXmlStreamAttributes attributes = reader.attributes();
    return !attributes.hasAttribute(QStringLiteral("xlink:href")) &&
           (attributes.hasAttribute(QStringLiteral("href")) ||
            attributes.hasAttribute(SvgElementScanner::XlinkNamespace, QStringLiteral("href")));
}

// The prefix the copy's references are written with.
void Scanner::declareXlink()
{
    for (const QXmlStreamNamespaceDeclaration &d : reader.namespaceDeclarations()) {
        if (d.prefix() == QLatin1String("xlink"))
            return;
    }
    writer.writeAttribute(QStringLiteral("xmlns:xlink"), SvgElementScanner::XlinkNamespace);
}

// QtSvg only tells where an image is: it gets a one-pixel picture in place of the real one,
// which it would decode for nothing, or not find at all when the file lies next to the sheet
// (it looks in the working folder), leaving the image without a frame or a box.
void Scanner::writeWithXlinkHref(bool imagePlaceholder)
{
    static const QString onePixel = QStringLiteral(
        "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAA"
        "MBAQDJ/pLvAAAAAElFTkSuQmCC");
    writer.writeStartElement(reader.namespaceUri().toString(), reader.name().toString());
    // A document type's default for a declaration the tag also makes is reported twice.
    QSet<QString> declared;
    for (const QXmlStreamNamespaceDeclaration &d : reader.namespaceDeclarations()) {
        const QString prefix = d.prefix().toString();
        if (declared.contains(prefix))
            continue;
        declared.insert(prefix);
        if (prefix.isEmpty())
            writer.writeDefaultNamespace(d.namespaceUri().toString());
        else
            writer.writeNamespace(d.namespaceUri().toString(), prefix);
    }
    const QXmlStreamAttributes attributes = reader.attributes();
    // SVG 2 lets a plain href win over xlink:href.
    const bool plain = attributes.hasAttribute(QStringLiteral("href"));
    for (const QXmlStreamAttribute &attribute : attributes) {
        const bool xlink = attribute.namespaceUri() == SvgElementScanner::XlinkNamespace;
        if (attribute.name() != QLatin1String("href") ||
            !(xlink || attribute.namespaceUri().isEmpty()))
            writer.writeAttribute(attribute);
        else if (xlink != plain) // the chosen href, named as QtSvg reads it
            writer.writeAttribute(QStringLiteral("xlink:href"),
                                  imagePlaceholder ? onePixel : attribute.value().toString());
    }
}

Result<> Scanner::run()
{
    reader.addData(svg);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::Invalid)
            break;
        // The document type's entities and attribute defaults are applied by the reader; QtSvg
        // refuses many a document type, so its copy has none.
        if (token == QXmlStreamReader::DTD)
            continue;
        if (isSizedImage() || needsXlinkHref())
            writeWithXlinkHref(isSizedImage());
        else
            writer.writeCurrentToken(reader);
        if (token == QXmlStreamReader::StartElement) {
            if (stack.isEmpty()) {
                if (Result<> root = readRoot(); !root)
                    return root;
                declareXlink();
            }
            // QtSvg descends recursively; a hostile depth must not exhaust the stack.
            if (stack.size() >= MaxDepth)
                return Failure{QStringLiteral("elements nested deeper than %1 levels at line %2")
                                   .arg(MaxDepth)
                                   .arg(reader.lineNumber())};
            // The reader's offset runs a character ahead between tokens, but a start tag ends
            // exactly at its ">" and holds no other "<", so its own "<" is the last one before.
            // An element an entity reference made ends at the reference's ";" instead.
            const int end = int(reader.characterOffset());
            const int start = svg.lastIndexOf(QLatin1Char('<'), end - 1);
            const bool fromEntity = (!stack.isEmpty() && stack.last().fromEntity) || start < 0 ||
                                    svg.at(end - 1) != QLatin1Char('>') ||
                                    !svg.midRef(start + 1).startsWith(reader.qualifiedName());
            startElement({start, end}, fromEntity);
        } else if (token == QXmlStreamReader::EndElement) {
            endElement();
        }
    }
    if (reader.hasError())
        return Failure{QStringLiteral("not well-formed SVG at line %1: %2")
                           .arg(reader.lineNumber())
                           .arg(reader.errorString())};
    if (out->pageWidth <= 0)
        return Failure{QStringLiteral("the file has no <svg> element")};
    return {};
}

bool Scanner::isSvgElement() const
{
    return reader.namespaceUri() == SvgElementScanner::SvgNamespace ||
           (namespaceless && reader.namespaceUri().isEmpty());
}

Result<> Scanner::readRoot()
{
    // Older files leave out the namespace, and renderers draw them all the same.
    namespaceless = reader.namespaceUri().isEmpty() && reader.prefix().isEmpty();
    if (reader.name() != QLatin1String("svg") || !isSvgElement())
        return Failure{QStringLiteral("the document element is <%1>, not an SVG <svg>")
                           .arg(reader.qualifiedName().toString())};
    const QXmlStreamAttributes attributes = reader.attributes();
    QRectF viewBox;
    // librsvg draws nothing of a drawing whose viewBox is negative, nor may it be cut then; a
    // viewBox of no area it disregards, as is done below.
    if (parseViewBox(attributes.value("viewBox").toString(), &viewBox) &&
        (viewBox.width() < 0 || viewBox.height() < 0)) {
        out->drawsNothing = true;
        out->notes << QStringLiteral("the viewBox is negative (\"%1\"): nothing of the drawing "
                                     "is printed or cut")
                          .arg(attributes.value("viewBox").toString());
        viewBox = QRectF();
    }
    double width = SvgElementScanner::lengthInInches(attributes.value("width").toString());
    double height = SvgElementScanner::lengthInInches(attributes.value("height").toString());
    // Without a size the viewBox counts in CSS pixels; without a viewBox user units are pixels.
    if (width <= 0 || height <= 0) {
        width = viewBox.width() / 96.0;
        height = viewBox.height() / 96.0;
    }
    if (width <= 0 || height <= 0) {
        // The page librsvg prints: the drawing's extent, in user units from the origin.
        const QSizeF extent = unsizedPage ? unsizedPage() : QSizeF();
        if (!extent.isValid() || extent.isEmpty())
            return Failure{QStringLiteral("the SVG gives no page size (width, height or viewBox)")};
        width = std::min(extent.width() / 96.0, MaxPageInches);
        height = std::min(extent.height() / 96.0, MaxPageInches);
        out->notes << QStringLiteral("the drawing gives no page size: the page is the drawing's "
                                     "extent, %1 x %2 mm")
                          .arg(inchesToMm(width), 0, 'f', 1)
                          .arg(inchesToMm(height), 0, 'f', 1);
    }
    if (viewBox.isEmpty())
        viewBox = QRectF(0, 0, width * 96.0, height * 96.0);
    out->pageWidth = width;
    out->pageHeight = height;
    // The viewBox is placed on the page as preserveAspectRatio says, then y turns upward.
    out->userToPage =
        ViewBoxMapping::viewBoxToViewport(viewBox, QSizeF(width, height),
                                          attributes.value("preserveAspectRatio").toString()) *
        QTransform(1, 0, 0, -1, 0, height);
    out->source.userToPage = out->userToPage;
    out->source.fromFile = true;
    out->source.viewBox = viewBox;
    out->source.declaresSvgNamespace = !namespaceless;
    out->source.namespaces = reader.namespaceDeclarations();
    return {};
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

int Scanner::newLayer(const QXmlStreamAttributes &attributes)
{
    ScannedLayer layer;
    layer.id = attributes.value("id").toString();
    layer.name = attributes.value(SvgElementScanner::InkscapeNamespace, "label").toString();
    if (layer.name.isEmpty())
        layer.name = layer.id;
    layer.visible = !isHidden(attributes);
    layer.editable =
        attributes.value(SvgElementScanner::SodipodiNamespace, "insensitive").isEmpty();
    layer.printable =
        attributes.value(SvgElementScanner::VexaNamespace, "printable") != QLatin1String("false");
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

void Scanner::startElement(const SvgSpan &startTag, bool fromEntity)
{
    Frame frame;
    frame.start = startTag.start;
    frame.startTag = startTag;
    frame.fromEntity = fromEntity;
    frame.namespaces = reader.namespaceDeclarations();
    const QString tag = reader.name().toString();
    const bool svgElement = isSvgElement();
    const Role parent = stack.isEmpty() ? Role::Root : stack.last().role;
    const int parentLayer = stack.isEmpty() ? -1 : stack.last().layer;
    const QXmlStreamAttributes attributes = reader.attributes();
    if (stack.isEmpty()) {
        frame.role = Role::Root;
    } else if (parent == Role::Preamble || parent == Role::Drawn || parent == Role::Kept ||
               parent == Role::Inside) {
        frame.role = Role::Inside;
    } else if (svgElement && tag == QLatin1String("g") &&
               attributes.value(SvgElementScanner::InkscapeNamespace, "groupmode") ==
                   QLatin1String("layer")) {
        frame.role = Role::Container;
        frame.layer = newLayer(attributes);
        if (!fromEntity)
            out->layers[frame.layer].startTag = startTag;
        // Shapes added to the layer are written in its frame, which QtSvg tells for a child.
        const QString probe = QStringLiteral("vx-layer-%1").arg(frame.layer);
        if (namespaceless)
            writer.writeEmptyElement(QStringLiteral("g"));
        else
            writer.writeEmptyElement(SvgElementScanner::SvgNamespace, QStringLiteral("g"));
        writer.writeAttribute(QStringLiteral("id"), probe);
        out->layers[frame.layer].probeId = probe;
    } else if (svgElement && (drawnTags().contains(tag) || groupTags().contains(tag) ||
                              tag == QLatin1String("text") || tag == QLatin1String("image") ||
                              tag == QLatin1String("flowRoot"))) {
        frame.layer = parent == Role::Root ? defaultLayer() : parentLayer;
        frame.role = groupTags().contains(tag)   ? Role::Container
                     : drawnTags().contains(tag) ? Role::Drawn
                                                 : Role::Kept;
        // A hidden group is kept whole: its children alone would show once saved.
        if (frame.role == Role::Container && isHidden(attributes))
            frame.role = Role::Kept;
    } else if (parent == Role::Root) {
        frame.role = Role::Preamble;
    } else {
        // defs, styles, metadata and the like inside a layer stay with the layer as they are.
        frame.role = Role::Kept;
        frame.layer = parentLayer;
    }
    if (!stack.isEmpty())
        frame.clips = stack.last().clips;
    const QString clipRef = SvgClipPaths::referenceOf(attributes);
    // A <switch> shows its first child that applies, so no probe may go first there.
    if (frame.role == Role::Container && !clipRef.isEmpty() && tag != QLatin1String("switch")) {
        // The clip counts in the group's own user space, which QtSvg tells for a child of it.
        const QString probe = QStringLiteral("vx-clip-%1").arg(++generatedIds);
        if (namespaceless)
            writer.writeEmptyElement(QStringLiteral("g"));
        else
            writer.writeEmptyElement(SvgElementScanner::SvgNamespace, QStringLiteral("g"));
        writer.writeAttribute(QStringLiteral("id"), probe);
        frame.clips.append({clipRef, probe});
    }
    if (frame.role == Role::Drawn || frame.role == Role::Kept) {
        ScannedElement &e = frame.element;
        e.groupClips = frame.clips;
        e.tag = tag;
        e.kind = frame.role == Role::Drawn       ? ShapeKind::Curve
                 : tag == QLatin1String("image") ? ShapeKind::Image
                 : (tag == QLatin1String("text") || tag == QLatin1String("flowRoot"))
                     ? ShapeKind::Text
                     : ShapeKind::Other;
        e.originalId = attributes.value("id").toString();
        e.strokeCmyk = attributes.value(SvgElementScanner::VexaNamespace, "stroke-cmyk").toString();
        e.fillCmyk = attributes.value(SvgElementScanner::VexaNamespace, "fill-cmyk").toString();
        e.hairline =
            attributes.value(SvgElementScanner::VexaNamespace, "hairline") == QLatin1String("true");
        e.clipPath = clipRef;
        e.fromEntity = fromEntity;
        if (frame.role == Role::Drawn)
            e.outline = SvgShapeGeometry::outline(tag, attributes);
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
    const int end = int(reader.characterOffset());
    const QString text = frame.fromEntity ? QString() : svg.mid(frame.start, end - frame.start);
    const bool selfClosing = end == frame.startTag.end;
    if (frame.role == Role::Root && !frame.fromEntity) {
        out->source.rootStartTag = frame.startTag;
        if (!selfClosing)
            out->source.rootEndTag = {svg.lastIndexOf(QLatin1Char('<'), end - 1), end};
    }
    const bool layerGroup = frame.role == Role::Container && frame.layer >= 0 &&
                            frame.startTag.isValid() &&
                            out->layers.at(frame.layer).startTag == frame.startTag;
    if (layerGroup && !frame.fromEntity) {
        ScannedLayer &layer = out->layers[frame.layer];
        layer.selfClosing = selfClosing;
        layer.insertAt = selfClosing ? end : svg.lastIndexOf(QLatin1Char('<'), end - 1);
    } else if (stack.size() == 1 && frame.layer >= 0 && frame.layer == defaultLayerIndex &&
               !frame.fromEntity) {
        // Shapes added to the stand-in layer follow its last element outside any group.
        out->layers[frame.layer].insertAt = end;
    }
    if (frame.role == Role::Drawn || frame.role == Role::Kept) {
        frame.element.text = text;
        if (!frame.fromEntity)
            frame.element.span = {frame.start, end};
        ScannedLayer &layer = out->layers[frame.layer];
        layer.elements.append(frame.element);
    }
}

} // namespace

namespace SvgElementScanner {

double lengthInInches(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*([+-]?[0-9]*\\.?[0-9]+(?:[eE][+-]?[0-9]+)?)\\s*(mm|cm|in|px|pt|pc)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return 0;
    const double number = match.captured(1).toDouble();
    const QString unit = match.captured(2);
    const double inches = unit == QLatin1String("mm")   ? mmToInches(number)
                          : unit == QLatin1String("cm") ? number / 2.54
                          : unit == QLatin1String("in") ? number
                          : unit == QLatin1String("pt") ? number / 72.0
                          : unit == QLatin1String("pc")
                              ? number / 6.0
                              : number / 96.0; // CSS pixels, a bare number too
    // "1e400" overflows to infinity, and a page kilometres long is no sheet either: both would
    // poison every coordinate computed from the page.
    return std::isfinite(inches) && std::fabs(inches) <= MaxPageInches ? inches : 0;
}

Result<SvgScan> scan(const QString &svg, const std::function<QSizeF()> &unsizedPage)
{
    SvgScan result;
    Scanner scanner(svg, &result, unsizedPage);
    if (Result<> scanned = scanner.run(); !scanned)
        return Failure{scanned.error()};
    return result;
}

} // namespace SvgElementScanner
