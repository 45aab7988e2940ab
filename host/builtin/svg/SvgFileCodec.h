#pragma once
// How an SVG file's bytes become the text the reader works on, and back: gzip compression
// (.svgz, what Inkscape saves as "compressed SVG"), a byte order mark, and the character encoding
// the XML declaration names (UTF-8 when it names none). Saving encodes the text as it was read,
// so an ISO-8859-1 sheet stays ISO-8859-1 and a compressed one stays compressed.

#include "common/Result.h"

#include <QByteArray>
#include <QString>

struct SvgFileEncoding
{
    QByteArray codec = "UTF-8"; // a name QTextCodec knows
    bool byteOrderMark = false;
    bool compressed = false; // gzip
};

struct SvgFileText
{
    QByteArray xml; // the XML as bytes, after decompression: what librsvg is handed
    QString text;   // the same, decoded, without a byte order mark
    SvgFileEncoding encoding;
};

namespace SvgFileCodec {

// Fails when the file is compressed but broken, inflates beyond `maxXmlBytes`, or declares an
// encoding that is not known here.
Result<SvgFileText> decode(const QByteArray &file, qint64 maxXmlBytes);

// Text in the encoding given, with its byte order mark, not compressed. A character the
// encoding cannot hold is written as a character reference.
QByteArray encode(const QString &text, const SvgFileEncoding &encoding);

// Gzip as in an .svgz file.
QByteArray compress(const QByteArray &xml);

// The text Qt's XML readers are given: the same, except that an XML declaration of another
// version than 1.0 ("1.1", or "1" from old Sodipodi), which they refuse, turns into spaces.
// Offsets into it hold for `text`.
QString readable(const QString &text);

// The XML handed to librsvg, whose parser refuses XML 1.1: the declaration's version reads 1.0.
QByteArray readableXml(const QByteArray &xml);

} // namespace SvgFileCodec
