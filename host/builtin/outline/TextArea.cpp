// GLib's headers name struct members `signals`, which Qt's keywords would turn into a macro:
// they come before any Qt header.
#include <cairo.h>
#include <librsvg/rsvg.h>

#include "TextArea.h"

#include "ContourTracer.h"
#include "common/Units.h"
#include "render/FailedFonts.h"
#include "render/KeptElementRenderer.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr double TraceDpi = 600.0;
constexpr double ToleranceInches = mmToInches(0.05);
constexpr int MaxSide = 16384; // pixels of the raster on either side
constexpr int Margin = 1;      // uncovered pixels around the ink, so every outline closes
// The coarsest raster a letter is traced from: a pixel of twice the tolerance, which the
// tracer's sub-pixel edges (from the anti-aliased coverage) keep within it.
constexpr double MinScaleOfTolerance = 0.5 / ToleranceInches; // pixels per inch

struct Freer
{
    void operator()(RsvgHandle *h) const { g_object_unref(h); }
    void operator()(cairo_t *cr) const { cairo_destroy(cr); }
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};

QString takeMessage(GError *error)
{
    const QString text = error ? QString::fromUtf8(error->message) : QStringLiteral("unknown");
    if (error)
        g_error_free(error);
    return text;
}

// Pango's warnings about a font FreeType refused: the refusal is handled here (a coarser
// raster) or becomes a note, so the raw warning says nothing more.
void dropFontWarnings()
{
    // Pango logs through GLib's structured log, whose writer the process sets once.
    static const bool installed = [] {
        g_log_set_writer_func(
            [](GLogLevelFlags level, const GLogField *fields, gsize count, gpointer) {
                for (gsize i = 0; i < count; ++i) {
                    if (std::strcmp(fields[i].key, "GLIB_DOMAIN") == 0 && fields[i].length < 0 &&
                        std::strcmp(static_cast<const char *>(fields[i].value), "Pango") == 0 &&
                        !(level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL)))
                        return G_LOG_WRITER_HANDLED;
                }
                return g_log_writer_default(level, fields, count, nullptr);
            },
            nullptr, nullptr);
        return true;
    }();
    Q_UNUSED(installed);
}

struct Raster
{
    std::unique_ptr<cairo_surface_t, Freer> surface;
    int width = 0, height = 0;
    double scale = 0; // pixels per user unit, coarser than asked where FreeType refused
};

// The text's ink drawn at `scale` pixels per user unit, with a blank margin.
Result<Raster> render(RsvgHandle *handle, const RsvgRectangle &viewport, const RsvgRectangle &ink,
                      double scale)
{
    Raster out;
    out.scale = scale;
    out.width = static_cast<int>(std::ceil(ink.width * scale)) + 2 * Margin;
    out.height = static_cast<int>(std::ceil(ink.height * scale)) + 2 * Margin;
    out.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_A8, out.width, out.height));
    if (cairo_surface_status(out.surface.get()) != CAIRO_STATUS_SUCCESS)
        return Failure{
            QString::fromUtf8(cairo_status_to_string(cairo_surface_status(out.surface.get())))};
    std::unique_ptr<cairo_t, Freer> cr(cairo_create(out.surface.get()));
    cairo_translate(cr.get(), Margin - ink.x * scale, Margin - ink.y * scale);
    cairo_scale(cr.get(), scale, scale);
    GError *failure = nullptr;
    if (!rsvg_handle_render_document(handle, cr.get(), &viewport, &failure))
        return Failure{takeMessage(failure)};
    cairo_surface_flush(out.surface.get());
    return out;
}

// FreeType refuses glyphs of some thousands of pixels: a large letter is drawn coarser, down to
// `minScale`, the raster step the outline's tolerance allows.
Result<Raster> renderCoarserIfRefused(RsvgHandle *handle, const RsvgRectangle &viewport,
                                      const RsvgRectangle &ink, double scale, double minScale)
{
    for (;; scale /= 1.5) {
        Result<Raster> raster = render(handle, viewport, ink, scale);
        if (raster || scale / 1.5 < minScale)
            return raster;
        forgetFailedFonts();
    }
}

} // namespace

namespace TextArea {

Result<QVector<QPolygonF>> trace(const HostShape &text)
{
    const QRectF viewBox = text.keptViewBox;
    if (text.keptXml.isEmpty() || viewBox.isEmpty())
        return Failure{QStringLiteral("the text has no source to draw")};
    // The element alone in its file's frame: one cairo unit per user unit from the viewBox's
    // corner.
    const QByteArray svg = KeptElementRenderer::wrap(text);
    GError *failure = nullptr;
    std::unique_ptr<RsvgHandle, Freer> handle(rsvg_handle_new_from_data(
        reinterpret_cast<const guint8 *>(svg.constData()), gsize(svg.size()), &failure));
    if (!handle)
        return Failure{takeMessage(failure)};
    rsvg_handle_set_dpi(handle.get(), CSS_PX_PER_INCH);
    const RsvgRectangle viewport{0, 0, viewBox.width(), viewBox.height()};
    RsvgRectangle ink, logical;
    if (!rsvg_handle_get_geometry_for_layer(handle.get(), nullptr, &viewport, &ink, &logical,
                                            &failure))
        return Failure{takeMessage(failure)};
    if (ink.width <= 0 || ink.height <= 0)
        return QVector<QPolygonF>();
    const QTransform userToPage = text.keptToPage * text.placement;
    const double inchesPerUnit = std::max(std::hypot(userToPage.m11(), userToPage.m12()),
                                          std::hypot(userToPage.m21(), userToPage.m22()));
    double scale = inchesPerUnit * TraceDpi; // pixels per user unit
    scale =
        std::min({scale, (MaxSide - 2 * Margin) / ink.width, (MaxSide - 2 * Margin) / ink.height});
    dropFontWarnings();
    const Result<Raster> raster = renderCoarserIfRefused(handle.get(), viewport, ink, scale,
                                                         MinScaleOfTolerance * inchesPerUnit);
    if (!raster)
        return Failure{raster.error()};
    const int width = raster->width, height = raster->height;
    scale = raster->scale;
    const std::unique_ptr<cairo_surface_t, Freer> &surface = raster->surface;
    ContourTracer::Grid grid;
    grid.width = width;
    grid.height = height;
    grid.values.resize(static_cast<size_t>(width) * height);
    const unsigned char *data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y)
        std::copy(data + y * stride, data + y * stride + width, grid.values.data() + y * width);
    const double tolerance = ToleranceInches / inchesPerUnit * scale;
    // Raster pixels back to user units (the viewBox's corner is the viewport's origin).
    const QTransform rasterToUser =
        QTransform::fromTranslate(-Margin, -Margin) * QTransform::fromScale(1 / scale, 1 / scale) *
        QTransform::fromTranslate(ink.x + viewBox.x(), ink.y + viewBox.y());
    QVector<QPolygonF> outlines;
    for (const QPolygonF &poly : ContourTracer::trace(grid, tolerance))
        outlines.append((rasterToUser * userToPage).map(poly));
    return outlines;
}

} // namespace TextArea
