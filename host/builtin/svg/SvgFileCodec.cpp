#include "SvgFileCodec.h"

#include <QRegularExpression>
#include <QTextCodec>

#include <zlib.h>

namespace {

const QByteArray Utf8Mark("\xEF\xBB\xBF");
const QByteArray Utf16LeMark("\xFF\xFE");
const QByteArray Utf16BeMark("\xFE\xFF");

bool isGzip(const QByteArray &file)
{
    return file.size() >= 2 && uchar(file[0]) == 0x1f && uchar(file[1]) == 0x8b;
}

// Gzip members one after the other, as gzip itself reads them; bounded so that a small file
// cannot inflate into all memory.
Result<QByteArray> inflateGzip(const QByteArray &file, qint64 maxBytes)
{
    z_stream stream{};
    // 16 + the largest window: gzip framing, any window size.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return Failure{QStringLiteral("the compressed drawing cannot be unpacked")};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(file.constData()));
    stream.avail_in = uInt(file.size());
    QByteArray out;
    char chunk[64 * 1024];
    int status = Z_OK;
    while (status != Z_STREAM_END || stream.avail_in > 0) {
        if (status == Z_STREAM_END && inflateReset(&stream) != Z_OK)
            break;
        stream.next_out = reinterpret_cast<Bytef *>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        out.append(chunk, int(sizeof chunk - stream.avail_out));
        if (out.size() > maxBytes) {
            inflateEnd(&stream);
            return Failure{QStringLiteral("the compressed drawing unpacks to more than %1 MB")
                               .arg(maxBytes / (1024 * 1024))};
        }
        if (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)
            break; // the input ends inside a member
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return Failure{QStringLiteral("the compressed drawing is damaged or cut short")};
    return out;
}

// The encoding named by the XML declaration, read as ASCII, which every encoding a declaration
// can be read in agrees with; empty when it names none.
QByteArray declaredEncoding(const QByteArray &xml)
{
    static const QRegularExpression declaration(QStringLiteral(
        "^\\s*<\\?xml\\s[^?>]*encoding\\s*=\\s*[\"']([A-Za-z][A-Za-z0-9._-]*)[\"']"));
    const QString start = QString::fromLatin1(xml.left(256));
    return declaration.match(start).captured(1).toLatin1();
}

QString decodeWith(const QByteArray &codec, const QByteArray &xml)
{
    if (codec == "UTF-8")
        return QString::fromUtf8(xml);
    return QTextCodec::codecForName(codec)->toUnicode(xml);
}

// The byte order mark and the encoding it shows, or UTF-16 without a mark (its first character,
// "<", has a zero byte).
SvgFileEncoding markedEncoding(const QByteArray &xml, int *markBytes)
{
    SvgFileEncoding found;
    *markBytes = 0;
    if (xml.startsWith(Utf8Mark)) {
        found.byteOrderMark = true;
        *markBytes = 3;
    } else if (xml.startsWith(Utf16LeMark) || xml.startsWith(QByteArray("<\0", 2))) {
        found.codec = "UTF-16LE";
        found.byteOrderMark = xml.startsWith(Utf16LeMark);
        *markBytes = found.byteOrderMark ? 2 : 0;
    } else if (xml.startsWith(Utf16BeMark) || xml.startsWith(QByteArray("\0<", 2))) {
        found.codec = "UTF-16BE";
        found.byteOrderMark = xml.startsWith(Utf16BeMark);
        *markBytes = found.byteOrderMark ? 2 : 0;
    }
    return found;
}

QByteArray markOf(const SvgFileEncoding &encoding)
{
    if (!encoding.byteOrderMark)
        return {};
    if (encoding.codec == "UTF-16LE")
        return Utf16LeMark;
    if (encoding.codec == "UTF-16BE")
        return Utf16BeMark;
    return Utf8Mark;
}

// Only characters added here can be missing from the file's encoding: the file's own decoded
// from it. References stand for them, as XML allows in text and attribute values.
QByteArray encodeWithReferences(const QString &text, QTextCodec *codec)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (codec->canEncode(character))
            out += character;
        else
            out += QStringLiteral("&#%1;").arg(character.toUcs4().value(0));
        i += pair ? 1 : 0;
    }
    return codec->fromUnicode(out);
}

// The XML declaration when it gives a version other than 1.0 ("1.1", or "1" as old Sodipodi
// wrote): captured(2) is the version; no match otherwise.
QRegularExpressionMatch otherVersion(const QString &text)
{
    static const QRegularExpression declaration(
        QStringLiteral("^(\\s*<\\?xml\\s+version\\s*=\\s*[\"'])([^\"']*)([\"'][^>]*\\?>)"));
    QRegularExpressionMatch match = declaration.match(text);
    return match.hasMatch() && match.captured(2) != QLatin1String("1.0")
               ? match
               : QRegularExpressionMatch();
}

} // namespace

namespace SvgFileCodec {

Result<SvgFileText> decode(const QByteArray &file, qint64 maxXmlBytes)
{
    SvgFileText result;
    result.xml = file;
    if (isGzip(file)) {
        Result<QByteArray> inflated = inflateGzip(file, maxXmlBytes);
        if (!inflated)
            return Failure{inflated.error()};
        result.xml = std::move(*inflated);
    }
    int markBytes = 0;
    result.encoding = markedEncoding(result.xml, &markBytes);
    result.encoding.compressed = isGzip(file);
    const QByteArray body = result.xml.mid(markBytes);
    if (result.encoding.codec == "UTF-8" && !result.encoding.byteOrderMark) {
        const QByteArray declared = declaredEncoding(body);
        if (!declared.isEmpty()) {
            QTextCodec *codec = QTextCodec::codecForName(declared);
            if (!codec)
                return Failure{QStringLiteral("the drawing's encoding \"%1\" is not known here")
                                   .arg(QString::fromLatin1(declared))};
            // A declared UTF-16 without a mark was caught above; the canonical name keeps saving
            // in the same encoding.
            result.encoding.codec = codec->name();
        }
    }
    result.text = decodeWith(result.encoding.codec, body);
    if (result.text.startsWith(QChar(0xFEFF)))
        result.text.remove(0, 1);
    return result;
}

QByteArray encode(const QString &text, const SvgFileEncoding &encoding)
{
    if (encoding.codec == "UTF-8")
        return markOf(encoding) + text.toUtf8();
    QTextCodec *codec = QTextCodec::codecForName(encoding.codec);
    if (!codec)
        return markOf(encoding) + text.toUtf8();
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QByteArray body = codec->canEncode(text)
                                ? codec->fromUnicode(text.constData(), text.size(), &state)
                                : encodeWithReferences(text, codec);
    return markOf(encoding) + body;
}

QByteArray compress(const QByteArray &xml)
{
    z_stream stream{};
    // 16 + the largest window: gzip framing; level 9 as Inkscape writes .svgz.
    if (deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return {};
    QByteArray out(int(deflateBound(&stream, uLong(xml.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(xml.constData()));
    stream.avail_in = uInt(xml.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(int(stream.total_out));
    deflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

QString readable(const QString &text)
{
    const QRegularExpressionMatch match = otherVersion(text);
    if (!match.hasMatch())
        return text;
    // Spaces keep every offset: the text's encoding is known already.
    QString copy = text;
    copy.replace(match.capturedStart(0), match.capturedLength(0),
                 QString(match.capturedLength(0), QLatin1Char(' ')));
    return copy;
}

QByteArray readableXml(const QByteArray &xml)
{
    int markBytes = 0;
    const SvgFileEncoding encoding = markedEncoding(xml, &markBytes);
    const bool wide = encoding.codec != "UTF-8";
    const QByteArray start = xml.mid(markBytes, 256);
    if (!otherVersion(wide ? decodeWith(encoding.codec, start) : QString::fromLatin1(start))
             .hasMatch())
        return xml;
    if (!wide) {
        const QRegularExpressionMatch match = otherVersion(QString::fromLatin1(start));
        QByteArray copy = xml;
        return copy.replace(markBytes + match.capturedStart(2), match.capturedLength(2), "1.0");
    }
    QString text = decodeWith(encoding.codec, xml.mid(markBytes));
    const QRegularExpressionMatch match = otherVersion(text);
    return encode(text.replace(match.capturedStart(2), match.capturedLength(2), "1.0"), encoding);
}

} // namespace SvgFileCodec
