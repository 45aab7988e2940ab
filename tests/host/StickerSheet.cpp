#include "StickerSheet.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>
#include <QUrl>
#include <cmath>
#include <functional>

namespace {

constexpr int Columns = 4;
constexpr double CellWidth = 50, CellHeight = 48, Side = 32; // mm
constexpr int Pixels = 640; // 20 per mm: a star's antialiased tip stays within 0.1 mm

QPolygonF polar(const QPointF &centre, int points, const std::function<double(double)> &radius)
{
    QPolygonF poly;
    for (int k = 0; k <= points; ++k) {
        const double a = 2 * M_PI * k / points;
        poly << centre + QPointF(std::cos(a), std::sin(a)) * radius(a);
    }
    return poly;
}

QPolygonF star(const QPointF &centre, double outer, double inner)
{
    QPolygonF poly;
    for (int k = 0; k <= 10; ++k) {
        const double a = -M_PI / 2 + M_PI * k / 5;
        poly << centre + QPointF(std::cos(a), std::sin(a)) * (k % 2 ? inner : outer);
    }
    return poly;
}

// The picture's shape in its own pixels: the outer outline, and holes with a dot in one.
struct Shape
{
    QPolygonF outer;
    QList<QPolygonF> holes, dots;
};

Shape shapeOf(int kind, int size)
{
    const QPointF c(size / 2.0, size / 2.0);
    const double u = size / 320.0;
    Shape s;
    if (kind == 0)
        s.outer = polar(c, 720, [u](double) { return 140 * u; });
    else if (kind == 1)
        s.outer = star(c, 150 * u, 65 * u);
    else if (kind == 2) {
        s.outer = polar(c, 720, [u](double a) {
            return 110 * u * (1 + 0.18 * std::sin(3 * a) + 0.08 * std::cos(5 * a + 1));
        });
        s.holes << polar(c + QPointF(-40, 0) * u, 200, [u](double) { return 25 * u; })
                << polar(c + QPointF(40, 10) * u, 200, [u](double) { return 25 * u; });
        s.dots << polar(c + QPointF(40, 10) * u, 100, [u](double) { return 8 * u; });
    } else
        s.outer = polar(c, 720, [u](double a) {
            return 1 / std::hypot(std::cos(a) / (140 * u), std::sin(a) / (100 * u));
        });
    return s;
}

QImage picture(const Shape &shape, int size, bool alpha)
{
    QImage image(size, size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(alpha ? Qt::transparent : Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addPolygon(shape.outer);
    for (const QPolygonF &hole : shape.holes)
        path.addPolygon(hole);
    for (const QPolygonF &dot : shape.dots)
        path.addPolygon(dot);
    p.setBrush(QColor(200, 30, 60));
    p.drawPath(path);
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, qstrcmp(format, "JPEG") == 0 ? 95 : -1);
    return bytes;
}

// The text as Qt lays out the same font: close to what librsvg draws, not the same layout.
QPainterPath textArea(const QString &text, const QPointF &baseline, double size, double stroke)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath glyphs;
    glyphs.addText(QPointF(), font, text);
    glyphs = (QTransform::fromScale(size / 100, size / 100) *
              QTransform::fromTranslate(baseline.x(), baseline.y()))
                 .map(glyphs);
    QPainterPathStroker stroker;
    stroker.setWidth(stroke);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    return glyphs.united(stroker.createStroke(glyphs)).simplified();
}

} // namespace

StickerSheet writeStickerSheet(const QString &folder)
{
    const QDir dir(folder);
    StickerSheet sheet;
    QString body;
    for (int i = 0; i < 24; ++i) {
        const QRectF cell(5 + (i % Columns) * CellWidth, 4 + (i / Columns) * CellHeight, CellWidth,
                          CellHeight);
        Sticker sticker;
        sticker.cell = cell;
        const QPointF centre = cell.center();
        const int kind = i / 5; // disc, star, blob, no alpha, text
        if (kind == 4) {
            const QString word = QStringList{"STICK", "LABEL", "CUT", "SHOP"}.at(i - 20);
            const QPointF baseline(cell.left() + 4, centre.y() + 3);
            sticker.name = QStringLiteral("text %1").arg(word);
            sticker.area = textArea(word, baseline, 9, 1.6);
            body += QStringLiteral("<text id='t%1' x='%2' y='%3' style='font-family:DejaVu Sans;"
                                   "font-weight:bold;font-size:9px;fill:#1a5fb4;stroke:#000;"
                                   "stroke-width:1.6;stroke-linejoin:round'>%4</text>\n")
                        .arg(i)
                        .arg(baseline.x())
                        .arg(baseline.y())
                        .arg(word);
            sheet.stickers << sticker;
            continue;
        }
        const bool alpha = kind != 3;
        const int size = Pixels;
        const Shape shape = shapeOf(kind, size);
        const int variant = i % 5;
        const char *format = !alpha && variant >= 3 ? "JPEG" : "PNG";
        const QByteArray bytes = encoded(picture(shape, size, alpha), format);
        const QString file = QStringLiteral("sticker-%1.%2").arg(i).arg(format).toLower();
        QString href;
        if (variant == 1 || variant == 2) {
            QFile out(dir.filePath(file));
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
                return {};
            href = variant == 1 ? file : QUrl::fromLocalFile(dir.filePath(file)).toString();
        } else {
            href = QStringLiteral("data:image/%1;base64,%2")
                       .arg(QString::fromLatin1(format).toLower(),
                            QString::fromLatin1(bytes.toBase64()));
        }
        // The viewport: square, or half as wide again (letterboxed, centred); rotated or not.
        const double width = variant == 4 ? Side * 1.3 : Side;
        const QRectF viewport(centre.x() - width / 2, centre.y() - Side / 2, width, Side);
        const double scale = Side / size;
        QTransform toSheet =
            QTransform::fromScale(scale, scale) *
            QTransform::fromTranslate(centre.x() - Side / 2, centre.y() - Side / 2);
        QString transform;
        if (variant == 3) {
            transform =
                QStringLiteral(" transform='rotate(25 %1 %2)'").arg(centre.x()).arg(centre.y());
            toSheet = toSheet * QTransform::fromTranslate(-centre.x(), -centre.y()) *
                      QTransform().rotate(25) * QTransform::fromTranslate(centre.x(), centre.y());
        }
        body += QStringLiteral("<image id='i%1' x='%2' y='%3' width='%4' height='%5'%6 "
                               "xlink:href='%7'/>\n")
                    .arg(i)
                    .arg(viewport.x())
                    .arg(viewport.y())
                    .arg(viewport.width())
                    .arg(viewport.height())
                    .arg(transform, href);
        sticker.name = QStringLiteral("%1 %2 placed %3")
                           .arg(QStringList{"disc", "star", "blob", "no-alpha"}.at(kind), format)
                           .arg(variant);
        sticker.outerOutline = toSheet.map(shape.outer);
        sticker.area.addPolygon(sticker.outerOutline);
        sheet.stickers << sticker;
    }
    const QString svg =
        QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' "
                       "xmlns:xlink='http://www.w3.org/1999/xlink' "
                       "xmlns:inkscape='http://www.inkscape.org/namespaces/inkscape' "
                       "width='210mm' height='297mm' viewBox='0 0 210 297'>\n"
                       "<g id='art' inkscape:groupmode='layer' inkscape:label='Stickers'>\n%1"
                       "</g></svg>\n")
            .arg(body);
    sheet.svgPath = dir.filePath(QStringLiteral("stickers.svg"));
    QFile out(sheet.svgPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(svg.toUtf8()) != svg.toUtf8().size())
        return {};
    return sheet;
}
