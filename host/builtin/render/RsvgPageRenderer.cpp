// GLib's headers name struct members `signals`, which Qt's keywords would turn into a macro:
// they come before any Qt header.
#include <cairo-pdf.h>
#include <cairo.h>
#include <librsvg/rsvg.h>

#include "RsvgPageRenderer.h"

#include "FailedFonts.h"
#include "PdfPhotos.h"
#include "PrintedPictures.h"
#include "svg/SvgDocumentWriter.h"
#include "svg/SvgFileCodec.h"

#include "common/Units.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr double PointsPerInch = 72.0;
constexpr double MaxDpi = 2400;
constexpr int MaxSide = 16384; // pixels

struct HandleFree
{
    void operator()(RsvgHandle *h) const { g_object_unref(h); }
};
struct CairoFree
{
    void operator()(cairo_t *cr) const { cairo_destroy(cr); }
};
struct SurfaceFree
{
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};
using Handle = std::unique_ptr<RsvgHandle, HandleFree>;
using Cairo = std::unique_ptr<cairo_t, CairoFree>;
using Surface = std::unique_ptr<cairo_surface_t, SurfaceFree>;

QString takeMessage(GError *error)
{
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown");
    if (error)
        g_error_free(error);
    return text;
}

// librsvg gets no base to resolve links against: the host has put the pictures it reads into
// the text, and librsvg fetches nothing on its own (no file beside the sheet, no FIFO to hang on).
// The XML parser's own limits would refuse a sheet of more than about 10 MB (a few embedded
// photos) with a bare "premature end of data"; the sheet has passed the host's own limits on
// size, depth and entities when it was opened, so they are lifted here.
QByteArray inlinedPage(const QByteArray &file, const QString &sheetFile)
{
    return PrintedPictures::inlined(SvgFileCodec::readableXml(file), sheetFile).svg;
}

// `page` as inlinedPage made it.
Result<Handle> readPage(const QByteArray &page)
{
    GInputStream *stream =
        g_memory_input_stream_new_from_data(page.constData(), page.size(), nullptr);
    GError *failure = nullptr;
    Handle handle(rsvg_handle_new_from_stream_sync(stream, nullptr, RSVG_HANDLE_FLAG_UNLIMITED,
                                                   nullptr, &failure));
    g_object_unref(stream);
    if (!handle)
        return Failure{
            QStringLiteral("the page cannot be read for drawing: %1").arg(takeMessage(failure))};
    rsvg_handle_set_dpi(handle.get(), CSS_PX_PER_INCH);
    return handle;
}

Result<Handle> readSvg(const QByteArray &file, const QString &sheetFile)
{
    return readPage(inlinedPage(file, sheetFile));
}

Result<> renderInto(cairo_t *cr, RsvgHandle *handle, double width, double height)
{
    const RsvgRectangle viewport{0, 0, width, height};
    GError *failure = nullptr;
    if (!rsvg_handle_render_document(handle, cr, &viewport, &failure)) {
        forgetFailedFonts();
        return Failure{QStringLiteral("the page cannot be drawn: %1").arg(takeMessage(failure))};
    }
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
        return Failure{QStringLiteral("the page cannot be drawn: %1")
                           .arg(QString::fromUtf8(cairo_status_to_string(cairo_status(cr))))};
    return {};
}

// Draws the sheet into pixels the caller owns, page inches times `scale` minus `origin` pixels.
// Cairo's ARGB32 is Qt's ARGB32 premultiplied on every byte order: native 32-bit words.
Result<> drawPixels(unsigned char *data, cairo_format_t format, const QSize &size, int stride,
                    RsvgHandle *handle, const QSizeF &pageInches, const QPointF &origin,
                    const QSizeF &scale)
{
    Surface surface(
        cairo_image_surface_create_for_data(data, format, size.width(), size.height(), stride));
    Cairo cr(cairo_create(surface.get()));
    cairo_translate(cr.get(), -origin.x(), -origin.y());
    cairo_scale(cr.get(), scale.width(), scale.height());
    Result<> drawn = renderInto(cr.get(), handle, pageInches.width(), pageInches.height());
    cr.reset();
    cairo_surface_flush(surface.get());
    return drawn;
}

Result<> drawImage(QImage &image, RsvgHandle *handle, const QSizeF &pageInches,
                   const QPointF &origin, const QSizeF &scale)
{
    return drawPixels(image.bits(), CAIRO_FORMAT_ARGB32, image.size(), image.bytesPerLine(), handle,
                      pageInches, origin, scale);
}

cairo_status_t toSink(void *closure, const unsigned char *data, unsigned int length)
{
    const auto &sink = *static_cast<const RsvgPageRenderer::ByteSink *>(closure);
    return sink(reinterpret_cast<const char *>(data), qint64(length)) ? CAIRO_STATUS_SUCCESS
                                                                      : CAIRO_STATUS_WRITE_ERROR;
}

} // namespace

namespace RsvgPageRenderer {

QByteArray printableSvg(const HostDocument &doc)
{
    // A copy of the page whose layers are copies too: the document itself stays as it is.
    HostDocument copy(doc);
    auto page = std::make_shared<HostPage>(*doc.activePage);
    for (HostLayer::Ptr &layer : page->layers) {
        auto shown = std::make_shared<HostLayer>(*layer);
        shown->visible = layer->visible && layer->printable;
        // The elements outside any layer have no tag to hide; what they draw leaves the text
        // instead, while their definitions stay for the layers that print.
        if (!shown->visible && shown->source.inFile && !shown->source.startTag.isValid()) {
            shown->shapes.erase(std::remove_if(shown->shapes.begin(), shown->shapes.end(),
                                               [](const HostShape::Ptr &shape) {
                                                   return HostDocument::drawsSomething(*shape);
                                               }),
                                shown->shapes.end());
        }
        layer = shown;
    }
    copy.activePage = page;
    copy.pages = {page};
    return SvgDocumentWriter::toSvg(copy);
}

namespace {

// The PDF of a page as inlinedPage made it.
Result<> pagePdf(const HostDocument &doc, const QByteArray &page,
                 const RsvgPageRenderer::ByteSink &sink)
{
    const Result<Handle> handle = readPage(page);
    if (!handle)
        return Failure{handle.error()};
    const double width = doc.activePage->widthInches * PointsPerInch;
    const double height = doc.activePage->heightInches * PointsPerInch;
    Surface surface(
        cairo_pdf_surface_create_for_stream(toSink, const_cast<ByteSink *>(&sink), width, height));
    const QByteArray author = doc.pdfSettings.value(QStringLiteral("Author")).toString().toUtf8();
    if (!author.isEmpty())
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_AUTHOR,
                                       author.constData());
    Cairo cr(cairo_create(surface.get()));
    if (Result<> drawn = renderInto(cr.get(), handle->get(), width, height); !drawn)
        return drawn;
    cairo_show_page(cr.get());
    cr.reset();
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Failure{QStringLiteral("the PDF cannot be made: %1")
                           .arg(QString::fromUtf8(
                               cairo_status_to_string(cairo_surface_status(surface.get()))))};
    return {};
}

} // namespace

Result<> pdf(const HostDocument &doc, const ByteSink &sink)
{
    const QByteArray page = inlinedPage(printableSvg(doc), doc.filePath);
    // Photos go into the PDF as the JPEGs they are: see PdfPhotos.
    const PdfPhotos::Page photos = PdfPhotos::withPlaceholders(page);
    if (photos.jpegs.isEmpty())
        return pagePdf(doc, page, sink);
    QByteArray drawn;
    const Result<> made = pagePdf(doc, photos.svg, [&drawn](const char *data, qint64 size) {
        drawn.append(data, int(size));
        return true;
    });
    const Result<QByteArray> pdf =
        made ? PdfPhotos::withJpegs(drawn, photos) : Result<QByteArray>(Failure{made.error()});
    if (!pdf) {
        qWarning("photos drawn into the PDF as pixels: %s", qPrintable(pdf.error()));
        return pagePdf(doc, page, sink);
    }
    if (!sink(pdf->constData(), pdf->size()))
        return Failure{
            QStringLiteral("the PDF cannot be made: %1")
                .arg(QString::fromUtf8(cairo_status_to_string(CAIRO_STATUS_WRITE_ERROR)))};
    return {};
}

Result<QByteArray> pdf(const HostDocument &doc)
{
    QByteArray out;
    const Result<> made = pdf(doc, [&out](const char *data, qint64 size) {
        out.append(data, int(size));
        return true;
    });
    if (!made)
        return Failure{made.error()};
    return out;
}

Result<QImage> image(const HostDocument &doc, const QSize &pixels, bool printableOnly)
{
    struct Drawn
    {
        QByteArray svg;
        QString base;
        QSize pixels;
        QImage image;
    };
    static Drawn last; // the host lives on the GUI thread only
    const QByteArray svg = printableOnly ? printableSvg(doc) : SvgDocumentWriter::toSvg(doc);
    if (last.pixels == pixels && last.base == doc.filePath && last.svg == svg)
        return last.image;
    const QSizeF page(doc.activePage->widthInches, doc.activePage->heightInches);
    Result<QImage> drawn = image(svg, doc.filePath, page, pixels);
    if (drawn)
        last = {svg, doc.filePath, pixels, *drawn};
    return drawn;
}

Result<QImage> image(const QByteArray &svg, const QString &baseFile, const QSizeF &pageInches,
                     const QSize &pixels, const StillWanted &wanted)
{
    if (pixels.width() < 1 || pixels.height() < 1 || pixels.width() > MaxSide ||
        pixels.height() > MaxSide || pageInches.isEmpty())
        return Failure{QStringLiteral("no page to draw at %1 x %2 pixels")
                           .arg(pixels.width())
                           .arg(pixels.height())};
    const Result<Handle> handle = readSvg(svg, baseFile);
    if (!handle)
        return Failure{handle.error()};
    // Reading a big sheet costs as much as drawing it: a picture superseded meanwhile stops here.
    if (wanted && !wanted())
        return Failure{QStringLiteral("the picture is no longer wanted")};
    QImage page(pixels, QImage::Format_ARGB32_Premultiplied);
    if (page.isNull())
        return Failure{QStringLiteral("no memory for a page of %1 x %2 pixels")
                           .arg(pixels.width())
                           .arg(pixels.height())};
    page.fill(Qt::transparent);
    const QSizeF scale(pixels.width() / pageInches.width(), pixels.height() / pageInches.height());
    if (Result<> drawn = drawImage(page, handle->get(), pageInches, QPointF(), scale); !drawn)
        return Failure{drawn.error()};
    return page;
}

Result<> bands(const HostDocument &doc, double dpi, int bandRows, const BandSink &sink)
{
    const double width = doc.activePage->widthInches, height = doc.activePage->heightInches;
    const int columns = int(std::ceil(width * dpi)), rows = int(std::ceil(height * dpi));
    if (!(dpi >= 1 && dpi <= MaxDpi) || columns < 1 || rows < 1 || bandRows < 1)
        return Failure{QStringLiteral("no page to draw at %1 dpi").arg(dpi)};
    const Result<Handle> handle = readSvg(printableSvg(doc), doc.filePath);
    if (!handle)
        return Failure{handle.error()};
    for (int top = 0; top < rows; top += bandRows) {
        QImage image(columns, qMin(bandRows, rows - top), QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return Failure{QStringLiteral("no memory for a band of %1 x %2 pixels")
                               .arg(columns)
                               .arg(bandRows)};
        image.fill(Qt::white);
        if (Result<> drawn = drawImage(image, handle->get(), QSizeF(width, height), QPointF(0, top),
                                       QSizeF(dpi, dpi));
            !drawn)
            return drawn;
        if (!sink(top, image))
            return Failure{QStringLiteral("the page could not be handed on")};
    }
    return {};
}

Result<Drawing> readDrawing(const QByteArray &svg, const QString &baseFile)
{
    Result<Handle> handle = readSvg(svg, baseFile);
    if (!handle)
        return Failure{handle.error()};
    return Drawing(handle->release(), HandleFree());
}

Result<> coverage(const Drawing &drawing, const QSizeF &pageInches, double dpi,
                  const QList<QRect> &tiles, const CoverageSink &sink)
{
    if (!(dpi > 0 && dpi <= MaxDpi))
        return Failure{QStringLiteral("no page to draw at %1 dpi").arg(dpi)};
    for (const QRect &tile : tiles) {
        if (tile.width() < 1 || tile.height() < 1 || tile.width() > MaxSide ||
            tile.height() > MaxSide)
            return Failure{QStringLiteral("no tile to draw at %1 x %2 pixels")
                               .arg(tile.width())
                               .arg(tile.height())};
        // Cairo's rows of alpha are padded to four bytes: drawn into the grid's own buffer and
        // closed up in place, so that a large tile is neither copied nor held twice.
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, tile.width());
        CoverageGrid grid;
        grid.width = tile.width();
        grid.height = tile.height();
        grid.values.assign(static_cast<size_t>(stride) * tile.height(), 0);
        if (Result<> drawn =
                drawPixels(grid.values.data(), CAIRO_FORMAT_A8, tile.size(), stride, drawing.get(),
                           pageInches, tile.topLeft(), QSizeF(dpi, dpi));
            !drawn)
            return drawn;
        if (stride != grid.width) {
            for (int y = 1; y < grid.height; ++y)
                std::memmove(grid.values.data() + static_cast<size_t>(y) * grid.width,
                             grid.values.data() + static_cast<size_t>(y) * stride, grid.width);
            grid.values.resize(static_cast<size_t>(grid.width) * grid.height);
        }
        if (!sink(tile, grid))
            return Failure{QStringLiteral("the drawing could not be handed on")};
    }
    return {};
}

Result<QImage> colours(const Drawing &drawing, const QSizeF &pageInches, double dpi,
                       const QRect &tile)
{
    if (!(dpi > 0 && dpi <= MaxDpi) || tile.width() < 1 || tile.height() < 1 ||
        tile.width() > MaxSide || tile.height() > MaxSide)
        return Failure{QStringLiteral("no tile to draw at %1 x %2 pixels, %3 dpi")
                           .arg(tile.width())
                           .arg(tile.height())
                           .arg(dpi)};
    QImage image(tile.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return Failure{QStringLiteral("no memory for a tile of %1 x %2 pixels")
                           .arg(tile.width())
                           .arg(tile.height())};
    image.fill(Qt::transparent);
    if (Result<> drawn =
            drawImage(image, drawing.get(), pageInches, tile.topLeft(), QSizeF(dpi, dpi));
        !drawn)
        return Failure{drawn.error()};
    return image;
}

} // namespace RsvgPageRenderer
