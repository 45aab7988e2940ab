// GLib's headers name struct members `signals`, which Qt's keywords would turn into a macro:
// they come before any Qt header.
#include <librsvg/rsvg.h>

#include "RsvgDrawingExtent.h"

#include "svg/SvgFileCodec.h"

#include "common/Units.h"

#include <cmath>

namespace RsvgDrawingExtent {

QSizeF of(const QByteArray &file)
{
    const QByteArray xml = SvgFileCodec::readableXml(file);
    GInputStream *stream =
        g_memory_input_stream_new_from_data(xml.constData(), xml.size(), nullptr);
    // The XML has passed the host's own limits on size, depth and entities.
    RsvgHandle *handle = rsvg_handle_new_from_stream_sync(
        stream, nullptr, RSVG_HANDLE_FLAG_UNLIMITED, nullptr, nullptr);
    g_object_unref(stream);
    if (!handle)
        return {};
    rsvg_handle_set_dpi(handle, CSS_PX_PER_INCH);
    QSizeF size;
    double width = 0, height = 0;
    const RsvgRectangle unit{0, 0, 1, 1};
    RsvgRectangle ink{}, logical{};
    if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height))
        size = QSizeF(width, height);
    else if (rsvg_handle_get_geometry_for_layer(handle, nullptr, &unit, &ink, &logical, nullptr))
        size = QSizeF(ink.width, ink.height);
    g_object_unref(handle);
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
        return {};
    return size;
}

} // namespace RsvgDrawingExtent
