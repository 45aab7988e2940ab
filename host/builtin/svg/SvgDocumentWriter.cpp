#include "SvgDocumentWriter.h"

#include "SvgElementScanner.h"
#include "SvgElementText.h"
#include "SvgFileCodec.h"
#include "SvgSplice.h"
#include "common/WholeFileWriter.h"

#include <QFileInfo>

using namespace SvgElementText;

namespace {

// A document made here: a root in millimetres declaring the namespaces its layers use.
QString rootElement(const HostDocument &doc)
{
    QString root = QStringLiteral("<svg");
    root += attr(QStringLiteral("xmlns"), SvgElementScanner::SvgNamespace);
    root += attr(QStringLiteral("xmlns:inkscape"), SvgElementScanner::InkscapeNamespace);
    root += attr(QStringLiteral("xmlns:sodipodi"), SvgElementScanner::SodipodiNamespace);
    root += attr(QStringLiteral("xmlns:vexa"), SvgElementScanner::VexaNamespace);
    const QRectF vb = viewBoxOf(doc);
    root += attr(QStringLiteral("width"), num(vb.width()) + QStringLiteral("mm"));
    root += attr(QStringLiteral("height"), num(vb.height()) + QStringLiteral("mm"));
    root += attr(QStringLiteral("viewBox"),
                 QStringLiteral("0 0 %1 %2").arg(num(vb.width()), num(vb.height())));
    root += attr(QStringLiteral("version"), QStringLiteral("1.1"));
    return root + QStringLiteral(">\n");
}

} // namespace

namespace SvgDocumentWriter {

QByteArray toSvg(const HostDocument &doc)
{
    if (doc.svg.fromFile)
        return SvgSplice::edited(doc);
    const QTransform toUser = pageToUser(doc);
    QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    out += rootElement(doc);
    int index = 1;
    for (const HostLayer::Ptr &layer : doc.activePage->layers) {
        const QString id =
            layer->svgId.isEmpty() ? QStringLiteral("layer%1").arg(index) : layer->svgId;
        out += layerElement(doc, *layer, id, toUser);
        ++index;
    }
    out += QStringLiteral("</svg>\n");
    return out.toUtf8();
}

QByteArray fileContents(const HostDocument &doc, const QByteArray &svg, const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool compressed = suffix == QLatin1String("svgz") ||
                            (doc.svg.encoding.compressed && suffix != QLatin1String("svg"));
    if (!compressed)
        return svg;
    if (doc.svg.encoding.compressed && svg == doc.svg.bytes)
        return doc.svg.fileBytes;
    return SvgFileCodec::compress(svg);
}

Result<> write(const HostDocument &doc, const QString &path)
{
    return writeFile(fileContents(doc, toSvg(doc), path), path);
}

Result<> writeFile(const QByteArray &svg, const QString &path)
{
    return writeWholeFile(path, {svg});
}

} // namespace SvgDocumentWriter
