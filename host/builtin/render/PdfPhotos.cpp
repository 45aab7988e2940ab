#include "PdfPhotos.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QVector>

#include <algorithm>
#include <functional>

#include <zlib.h>

namespace PdfPhotos {

namespace {

const QByteArray JpegUrl = "data:image/jpeg;base64,";

// A JPEG's size and colour components from its frame header; components 0 when unreadable.
struct JpegFrame
{
    QSize size;
    int components = 0;
};

JpegFrame frameOf(const QByteArray &jpeg)
{
    const auto byte = [&jpeg](int i) { return i < jpeg.size() ? uchar(jpeg[i]) : 0; };
    if (byte(0) != 0xFF || byte(1) != 0xD8)
        return {};
    for (int i = 2; i + 9 < jpeg.size();) {
        if (byte(i) != 0xFF)
            return {};
        const int marker = byte(i + 1);
        const int length = byte(i + 2) << 8 | byte(i + 3);
        // Start of frame: baseline, extended, progressive (not the lossless or arithmetic ones
        // some readers lack).
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)
            return {QSize(byte(i + 7) << 8 | byte(i + 8), byte(i + 5) << 8 | byte(i + 6)),
                    byte(i + 9)};
        i += 2 + length;
    }
    return {};
}

// Placeholder n's colour inside a frame of one pixel in FrameColour: where cairo pads the picture
// (repeating its edge), the inside shows where the picture lies. Neither is ever grey, which
// cairo would write as a grey image.
constexpr int MaxPlaceholders = 20000;
const QRgb FrameColour = qRgb(0x5A, 0xA5, 0x3C);
QRgb colourOf(int n)
{
    return qRgb(n & 0xFF, (n >> 8) & 0xFF, 0x5A);
}

QByteArray placeholder(const QSize &size, int n)
{
    // Two colours: a PNG of one bit a pixel, quick to write and for librsvg to read.
    QImage image(size, QImage::Format_Mono);
    image.setColorTable({FrameColour, colourOf(n)});
    image.fill(1);
    for (int x = 0; x < size.width(); ++x) {
        image.setPixel(x, 0, 0);
        image.setPixel(x, size.height() - 1, 0);
    }
    for (int y = 0; y < size.height(); ++y) {
        image.setPixel(0, y, 0);
        image.setPixel(size.width() - 1, y, 0);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return "data:image/png;base64," + png.toBase64();
}

// The pixels of a FlateDecode RGB image stream of `bytes` bytes once decoded; empty when not.
QByteArray inflated(const QByteArray &stream, qint64 bytes)
{
    QByteArray pixels(int(bytes), Qt::Uninitialized);
    z_stream z{};
    if (bytes <= 0 || bytes > 1 << 30 || inflateInit(&z) != Z_OK)
        return {};
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stream.constData()));
    z.avail_in = uInt(stream.size());
    z.next_out = reinterpret_cast<Bytef *>(pixels.data());
    z.avail_out = uInt(bytes);
    inflate(&z, Z_FINISH);
    const bool whole = z.avail_out == 0;
    inflateEnd(&z);
    return whole ? pixels : QByteArray();
}

} // namespace

Page withPlaceholders(const QByteArray &svg)
{
    Page page{svg, {}};
    // Drawn through an effect, a picture becomes part of another image. (The pictures' own
    // bytes are left out of the search: base64 spells anything.)
    QByteArray markup;
    for (int from = 0; from >= 0;) {
        const int payload = svg.indexOf(";base64,", from);
        markup += svg.mid(from, payload < 0 ? -1 : payload - from);
        from = payload < 0 ? -1 : payload + 8;
        while (from >= 0 && from < svg.size() && svg[from] != '"' && svg[from] != '\'' &&
               svg[from] != ')')
            ++from;
    }
    if (!svg.contains(JpegUrl) || markup.contains("filter") || markup.contains("mask") ||
        markup.contains("<pattern"))
        return page;
    QByteArray out;
    out.reserve(svg.size() / 4);
    int from = 0;
    for (int at = svg.indexOf(JpegUrl); at >= 0; at = svg.indexOf(JpegUrl, from)) {
        const int start = at + JpegUrl.size();
        int end = start;
        while (end < svg.size() && svg[end] != '"' && svg[end] != '\'' && svg[end] != ')')
            ++end;
        const QByteArray jpeg = QByteArray::fromBase64(svg.mid(start, end - start));
        const JpegFrame frame = frameOf(jpeg);
        out += svg.mid(from, at - from);
        if (frame.size.width() < 3 || frame.size.height() < 3 ||
            (frame.components != 1 && frame.components != 3) ||
            page.jpegs.size() >= MaxPlaceholders) {
            out += svg.mid(at, end - at); // CMYK and odd JPEGs as cairo draws them
        } else {
            out += placeholder(frame.size, page.jpegs.size());
            page.jpegs << jpeg;
        }
        from = end;
    }
    out += svg.mid(from);
    if (!page.jpegs.isEmpty())
        page.svg = out;
    return page;
}

namespace {

// An object of the PDF cairo made, and where it starts.
struct PdfObject
{
    int number = 0;
    int offset = 0;
};

struct Xref
{
    int tableAt = -1; // "xref"
    QList<PdfObject> objects;
};

Xref xrefOf(const QByteArray &pdf)
{
    Xref xref;
    xref.tableAt = pdf.lastIndexOf("\nxref\n");
    if (xref.tableAt < 0)
        return xref;
    ++xref.tableAt;
    const QList<QByteArray> lines =
        pdf.mid(xref.tableAt, pdf.indexOf("trailer", xref.tableAt) - xref.tableAt).split('\n');
    const QList<QByteArray> range = lines.value(1).trimmed().split(' ');
    const int first = range.value(0).toInt(), count = range.value(1).toInt();
    for (int i = 0; i < count && 2 + i < lines.size(); ++i) {
        const QList<QByteArray> entry = lines[2 + i].trimmed().split(' ');
        if (entry.value(2) == "n")
            xref.objects << PdfObject{first + i, entry.value(0).toInt()};
    }
    return xref;
}

// The value of the object `number`, written as a plain number (a stream's indirect length).
int numberObject(const QByteArray &pdf, const Xref &xref, int number)
{
    for (const PdfObject &object : xref.objects)
        if (object.number == number) {
            const int at = pdf.indexOf("obj", object.offset) + 3;
            return pdf.mid(at, pdf.indexOf("endobj", at) - at).trimmed().toInt();
        }
    return -1;
}

int dictNumber(const QByteArray &dict, const QByteArray &key)
{
    const int at = dict.indexOf(key + ' ');
    return at < 0
               ? -1
               : dict.mid(at + key.size() + 1, 12).split(' ').value(0).split('\n').value(0).toInt();
}

// Where placeholder n's picture lies in a padded image of `size`: its top-left pixel; (-1, -1) when
// the image is no placeholder's or the picture's top or left edge was cut off.
QPoint pictureIn(const QByteArray &rgb, const QSize &size, int *n)
{
    if (rgb.size() < qint64(size.width()) * size.height() * 3)
        return {-1, -1};
    const auto at = [&rgb, &size](int x, int y) {
        const char *p = rgb.constData() + (qint64(y) * size.width() + x) * 3;
        return qRgb(uchar(p[0]), uchar(p[1]), uchar(p[2]));
    };
    for (int y = 1; y < size.height(); ++y)
        for (int x = 1; x < size.width(); ++x) {
            const QRgb pixel = at(x, y);
            if (pixel == FrameColour)
                continue;
            *n = qRed(pixel) | qGreen(pixel) << 8;
            if (qBlue(pixel) != 0x5A || at(x - 1, y - 1) != FrameColour)
                return {-1, -1};
            return QPoint(x - 1, y - 1);
        }
    return {-1, -1};
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 8);
}

// An image object of the PDF replaced, when it is a placeholder's, by a form that draws the JPEG
// (a new object) where the picture lies in it.
struct Splice
{
    int from = 0, to = 0; // bytes of the PDF replaced
    QByteArray with;
    int picture = -1;
    QByteArray image; // the JPEG's object, without its number
};

bool spliceOf(const QByteArray &pdf, const Xref &xref, const PdfObject &object, const Page &page,
              Splice *splice)
{
    const int dictAt = pdf.indexOf("<<", object.offset);
    const int streamAt = pdf.indexOf("stream\n", dictAt);
    if (dictAt < 0 || streamAt < 0 || pdf.indexOf("endobj", object.offset) < streamAt)
        return false;
    const QByteArray dict = pdf.mid(dictAt, streamAt - dictAt);
    if (!dict.contains("/Subtype /Image") || !dict.contains("/Filter /FlateDecode") ||
        !dict.contains("/DeviceRGB") || dict.contains("/SMask") || !dict.contains("/Length "))
        return false;
    const QList<QByteArray> length =
        dict.mid(dict.indexOf("/Length ") + 8, 24).simplified().split(' ');
    const int bytes = length.value(2).startsWith('R')
                          ? numberObject(pdf, xref, length.value(0).toInt())
                          : length.value(0).toInt();
    const int dataAt = streamAt + 7;
    const QSize size(dictNumber(dict, "/Width"), dictNumber(dict, "/Height"));
    if (bytes <= 0 || dataAt + bytes > pdf.size() || size.width() < 3 || size.height() < 3)
        return false;
    int n = -1;
    const QPoint at = pictureIn(
        inflated(pdf.mid(dataAt, bytes), qint64(size.width()) * size.height() * 3), size, &n);
    if (at.x() < 0 || n < 0 || n >= page.jpegs.size())
        return false;
    const JpegFrame frame = frameOf(page.jpegs[n]);
    const double w = frame.size.width(), h = frame.size.height();
    // The padded image's unit square; the picture's rows run top down as the image's do.
    const QByteArray draw = "q " + number(w / size.width()) + " 0 0 " + number(h / size.height()) +
                            ' ' + number(at.x() / double(size.width())) + ' ' +
                            number(1 - (at.y() + h) / size.height()) + " cm /p Do Q";
    splice->from = object.offset;
    splice->to = pdf.indexOf("endobj", dataAt + bytes) + 6;
    splice->picture = n;
    splice->with = QByteArray::number(object.number) +
                   " 0 obj\n<< /Type /XObject\n   /Subtype /Form\n   /BBox [ 0 0 1 1 ]\n"
                   "   /Resources << /XObject << /p %1 0 R >> >>\n   /Length " +
                   QByteArray::number(draw.size()) + "\n>>\nstream\n" + draw +
                   "\nendstream\nendobj";
    splice->image = "<< /Type /XObject\n   /Subtype /Image\n   /Width " +
                    QByteArray::number(frame.size.width()) + "\n   /Height " +
                    QByteArray::number(frame.size.height()) + "\n   /ColorSpace " +
                    (frame.components == 1 ? "/DeviceGray" : "/DeviceRGB") +
                    "\n   /Interpolate true\n   /BitsPerComponent 8\n   /Filter /DCTDecode\n"
                    "   /Length " +
                    QByteArray::number(page.jpegs[n].size()) + "\n>>\nstream\n" + page.jpegs[n] +
                    "\nendstream\nendobj\n";
    return true;
}

// The cross-reference table again: each object where it now starts, the new ones added.
QByteArray xrefTable(const QByteArray &pdf, int tableAt, int trailerAt,
                     const std::function<int(int)> &moved, const QList<int> &added)
{
    QList<QByteArray> lines = pdf.mid(tableAt, trailerAt - tableAt).split('\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const int count = lines.value(1).split(' ').value(1).toInt();
    for (int i = 2; i < lines.size(); ++i)
        if (lines[i].trimmed().endsWith(" n"))
            lines[i].replace(
                0, 10,
                QByteArray::number(moved(lines[i].left(10).toInt())).rightJustified(10, '0'));
    lines[1] = "0 " + QByteArray::number(count + added.size());
    for (int offset : added)
        lines << QByteArray::number(offset).rightJustified(10, '0') + " 00000 n ";
    return lines.join('\n') + '\n';
}

} // namespace

Result<QByteArray> withJpegs(const QByteArray &pdf, const Page &page)
{
    if (page.jpegs.isEmpty())
        return pdf;
    const Xref xref = xrefOf(pdf);
    const int trailerAt = pdf.indexOf("trailer", qMax(0, xref.tableAt));
    const int size = dictNumber(pdf.mid(trailerAt, 200), "/Size");
    // cairo writes one table from object 0 for all of them; anything else is left as it is.
    if (xref.tableAt < 0 || trailerAt < 0 || size <= 0 ||
        !pdf.mid(xref.tableAt, 32).startsWith("xref\n0 " + QByteArray::number(size) + '\n'))
        return Failure{QStringLiteral("no cross-reference table in the PDF")};
    QVector<int> found(page.jpegs.size(), 0);
    QMap<int, Splice> splices; // by offset
    for (const PdfObject &object : xref.objects) {
        Splice splice;
        if (spliceOf(pdf, xref, object, page, &splice)) {
            ++found[splice.picture];
            splices.insert(splice.from, splice);
        }
    }
    if (std::any_of(found.cbegin(), found.cend(), [](int count) { return count != 1; }))
        return Failure{QStringLiteral("a picture is not an image of its own in the PDF")};
    // The objects again, the forms in place of the placeholders' images, the JPEGs after them as
    // new objects, then the table of where each now starts.
    QByteArray out;
    int from = 0, next = size;
    QList<int> added;
    for (Splice &splice : splices) {
        out += pdf.mid(from, splice.from - from);
        splice.with.replace("%1", QByteArray::number(next + added.size()));
        out += splice.with;
        added << 0;
        from = splice.to;
    }
    const auto moved = [&](int offset) {
        int shift = 0;
        for (const Splice &splice : splices)
            if (splice.from < offset)
                shift += splice.with.size() - (splice.to - splice.from);
        return offset + shift;
    };
    out += pdf.mid(from, xref.tableAt - from);
    int k = 0;
    for (const Splice &splice : splices) {
        added[k] = out.size();
        out += QByteArray::number(next + k) + " 0 obj\n" + splice.image;
        ++k;
    }
    const int tableAt = out.size();
    out += xrefTable(pdf, xref.tableAt, trailerAt, moved, added) +
           pdf.mid(trailerAt, pdf.indexOf("startxref", trailerAt) - trailerAt)
               .replace("/Size " + QByteArray::number(size),
                        "/Size " + QByteArray::number(next + added.size())) +
           "startxref\n" + QByteArray::number(tableAt) + "\n%%EOF\n";
    return out;
}

} // namespace PdfPhotos
