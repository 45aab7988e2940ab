#include "PictureSheets.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cmath>

namespace {

QByteArray dataUrl(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return "data:image/" + QByteArray(format).toLower() + ";base64," + bytes.toBase64();
}

// A blob with a hole, its lobes turned by `seed`.
QImage blob(int seed, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainterPath blob;
    blob.setFillRule(Qt::OddEvenFill);
    const double c = pixels / 2.0;
    for (int k = 0; k <= 720; ++k) {
        const double a = 2 * M_PI * k / 720;
        const double r = c * 0.8 * (1 + 0.15 * std::sin(3 * a + seed) + 0.05 * std::cos(7 * a));
        if (k == 0)
            blob.moveTo(c + r * std::cos(a), c + r * std::sin(a));
        else
            blob.lineTo(c + r * std::cos(a), c + r * std::sin(a));
    }
    blob.addEllipse(QPointF(c, c), c * 0.2, c * 0.2);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(blob, QColor(40, 120, 200));
    return image;
}

// Sky, hills and grain: a photo's worth of detail, different for each seed.
QImage scenery(int seed, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 noise = 2463534242u + quint32(seed) * 7919u;
    for (int y = 0; y < height; ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int grain = int(noise & 63) - 32;
            const double hill = height * (0.6 + 0.1 * std::sin(x * 0.01 + seed));
            const bool ground = y > hill;
            const int r = ground ? 60 + (x * 97 / width) : 120 + y * 100 / height;
            const int g = ground ? 140 - (y * 60 / height) : 170 + y * 60 / height;
            const int b = ground ? 50 : 230;
            row[x] = qRgb(qBound(0, r + grain, 255), qBound(0, g + grain, 255),
                          qBound(0, b + grain, 255));
        }
    }
    return image;
}

QByteArray page(const QString &images)
{
    return ("<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
            "width='210mm' height='297mm' viewBox='0 0 210 297'>" +
            images + "</svg>")
        .toUtf8();
}

} // namespace

QByteArray stickerSheetSvg(int stickers)
{
    constexpr int Across = 10;
    constexpr double PitchX = 21, PitchY = 29.7, Side = 17; // mm
    QString images;
    for (int i = 0; i < stickers; ++i)
        images += QStringLiteral("<image x='%1' y='%2' width='%3' height='%3' xlink:href='%4'/>")
                      .arg((i % Across) * PitchX + 2)
                      .arg((i / Across) * PitchY + 6)
                      .arg(Side)
                      .arg(QString::fromLatin1(dataUrl(blob(i, 600), "PNG")));
    return page(images);
}

QByteArray photoSheetSvg(int megabytes)
{
    // Twelve photos of 90 x 45 mm in a 2 x 6 grid, sized so that the sheet reaches the bytes
    // asked for (grainy JPEG at quality 92 takes about half a byte a pixel, 4/3 more in base64).
    constexpr int Photos = 12;
    const double pixels = megabytes * 1e6 / Photos / 0.69;
    const int width = int(std::sqrt(pixels * 2)), height = width / 2;
    QString images;
    for (int i = 0; i < Photos; ++i)
        images += QStringLiteral("<image x='%1' y='%2' width='90' height='45' "
                                 "preserveAspectRatio='none' xlink:href='%3'/>")
                      .arg(10 + (i % 2) * 100)
                      .arg(10 + (i / 2) * 47)
                      .arg(QString::fromLatin1(dataUrl(scenery(i, width, height), "JPEG", 92)));
    return page(images);
}
