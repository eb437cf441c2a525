#pragma once
#include <pango/pango.h>

#include "platform/graphics/Font.h"

namespace graphics {

// The Pango description of `font`, for measuring and drawing alike: the one CJK family that
// stands in for every font the application names, at the font's absolute size (17 when the
// size is not a positive number), bold or regular. The caller frees it with
// pango_font_description_free.
PangoFontDescription* newFontDescription(const Font& font);

}  // namespace graphics
