// GLib's headers name struct members `signals`, which Qt's keywords would turn into a macro:
// they come before any Qt header.
#include <cairo.h>
#include <librsvg/rsvg.h>

#include "TextArea.h"

#include "KeptElementRenderer.h"
#include "common/Units.h"
#include "model/ContourTracer.h"

#include <cmath>
#include <memory>

namespace {

constexpr double TraceDpi = 600.0;
constexpr double ToleranceInches = mmToInches(0.05);
constexpr int MaxSide = 16384; // pixels of the raster on either side
constexpr int Margin = 1;      // uncovered pixels around the ink, so every outline closes

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
    const int width = static_cast<int>(std::ceil(ink.width * scale)) + 2 * Margin;
    const int height = static_cast<int>(std::ceil(ink.height * scale)) + 2 * Margin;
    std::unique_ptr<cairo_surface_t, Freer> surface(
        cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return Failure{
            QString::fromUtf8(cairo_status_to_string(cairo_surface_status(surface.get())))};
    std::unique_ptr<cairo_t, Freer> cr(cairo_create(surface.get()));
    cairo_translate(cr.get(), Margin - ink.x * scale, Margin - ink.y * scale);
    cairo_scale(cr.get(), scale, scale);
    if (!rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &failure))
        return Failure{takeMessage(failure)};
    cairo_surface_flush(surface.get());
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
