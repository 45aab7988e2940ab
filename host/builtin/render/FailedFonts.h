#pragma once
// A font FreeType refused (a glyph of some thousands of pixels) stays refused in Pango's font
// map for the whole process, which would fail every later drawing of that font, the PDF among
// them: after a failed drawing the map is replaced by a fresh one.

#include <dlfcn.h>

inline void forgetFailedFonts()
{
    // Looked up at run time: Pango's own headers are not needed for this one call.
    using SetDefault = void (*)(void *);
    static const auto setDefault =
        reinterpret_cast<SetDefault>(dlsym(RTLD_DEFAULT, "pango_cairo_font_map_set_default"));
    if (setDefault)
        setDefault(nullptr);
}
