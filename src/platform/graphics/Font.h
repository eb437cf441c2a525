#pragma once
#include <string>

#include "platform/graphics/Geometry.h"

namespace graphics {

// Every font is the one CJK font of the machine at an absolute size (one point is one unit);
// the name is kept for descriptions, bold is honoured.
struct Font {
    std::string name = "System";
    double size = 17;
    bool bold = false;
    static Font systemFont(double size) { return {"System", size, false}; }
    static Font boldSystemFont(double size) { return {"System-Bold", size, true}; }
    // "STHeiti", "Helvetica-Bold", ...: names ending in "Bold" or "-Bold" are bold.
    static Font named(const std::string& name, double size);
    double lineHeight() const;
    bool operator==(const Font&) const = default;
};

// Text measurement with Pango. maxWidth <= 0 measures on one line; otherwise the text wraps
// at words (and between CJK characters) to that width. Sizes are rounded up to whole points.
Size measureText(const std::string& text, const Font& font, double maxWidth = 0);

}  // namespace graphics
