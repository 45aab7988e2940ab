#include "LinkedPicture.h"

#include "common/BoundedRead.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QUrl>

namespace {

Result<QByteArray> dataUrlBytes(const QString &href)
{
    const int comma = href.indexOf(QLatin1Char(','));
    if (comma < 0)
        return Failure{QStringLiteral("the data: URL holds no data")};
    const QByteArray payload = href.mid(comma + 1).toLatin1();
    return href.leftRef(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)
               ? QByteArray::fromBase64(payload)
               : QByteArray::fromPercentEncoding(payload);
}

// The file a link names. A drive letter ("C:/...") is a path, not a URL scheme.
Result<QString> linkedPath(const QString &href, const QString &sheetFile)
{
    const QUrl url(href);
    QString path = href;
    if (url.isLocalFile())
        path = url.toLocalFile();
    else if (url.scheme().size() > 1)
        return Failure{
            QStringLiteral("only files and data: URLs are read, nothing from the network")};
    if (path.isEmpty())
        return Failure{QStringLiteral("it links to no picture")};
    if (QFileInfo(path).isRelative())
        path = QFileInfo(sheetFile).absoluteDir().filePath(path);
    // A relative link is a URL reference: a name with a space may be written "%20".
    if (!QFileInfo::exists(path) && href.contains(QLatin1Char('%')) && !url.isLocalFile()) {
        const QString decoded = QUrl::fromPercentEncoding(path.toUtf8());
        if (QFileInfo::exists(decoded))
            path = decoded;
    }
    return QDir::cleanPath(path);
}

Result<LinkedPicture::Picture> decode(QByteArray bytes, LinkedPicture::Pixels pixels)
{
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    // Other formats Qt or librsvg could read (SVG, GIF, WebP where a plug-in exists) are not
    // what a sticker sheet embeds, and the two must agree on every picture they take.
    const QByteArray format = reader.format();
    LinkedPicture::Picture picture;
    if (format == "png")
        picture.mimeType = "image/png";
    else if (format == "jpeg" || format == "jpg")
        picture.mimeType = "image/jpeg";
    else
        return Failure{QStringLiteral("only PNG and JPEG pictures are printed and cut")};
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > LinkedPicture::MaxPixels)
        return Failure{QStringLiteral("the picture is too large (%1 x %2 pixels)")
                           .arg(size.width())
                           .arg(size.height())};
    if (!size.isValid() || size.isEmpty())
        return Failure{QStringLiteral("the picture is empty")};
    if (pixels == LinkedPicture::Pixels::Decoded && !reader.read(&picture.image))
        return Failure{reader.errorString()};
    buffer.close();
    picture.bytes = std::move(bytes);
    return picture;
}

} // namespace

namespace LinkedPicture {

QString hrefOf(const QString &plainHref, const QString &xlinkHref)
{
    return plainHref.isNull() ? xlinkHref : plainHref;
}

Result<Picture> read(const QString &href, const QString &sheetFile, Pixels pixels)
{
    const QString link = href.trimmed();
    if (link.startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
        Result<QByteArray> bytes = dataUrlBytes(link);
        if (!bytes)
            return Failure{bytes.error()};
        return decode(std::move(*bytes), pixels);
    }
    const Result<QString> path = linkedPath(link, sheetFile);
    if (!path)
        return Failure{path.error()};
    Result<QByteArray> bytes = readRegularFile(*path, MaxLinkedFileBytes);
    if (!bytes)
        return Failure{bytes.error()};
    return decode(std::move(*bytes), pixels);
}

} // namespace LinkedPicture
