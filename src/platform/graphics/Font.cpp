#include "platform/graphics/Font.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <map>
#include <mutex>

#include "platform/graphics/FontDescription.h"

namespace graphics {

namespace {

// One Pango context for all measurement, at 72 dpi so that one point is one unit, with
// unhinted metrics so that sizes do not depend on a device. Pango is not thread-safe:
// everything goes through `mutex`.
struct Measurer {
    std::mutex mutex;
    PangoFontMap* fontMap = nullptr;
    PangoContext* context = nullptr;
    std::map<std::pair<double, bool>, double> lineHeights;

    Measurer() {
        fontMap = pango_cairo_font_map_new();
        context = pango_font_map_create_context(fontMap);
        pango_cairo_context_set_resolution(context, 72);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
    }
};

Measurer& measurer() {
    static Measurer* m = new Measurer();  // kept for the life of the process
    return *m;
}

// Keeps sizes like 20.000001 at 20 when rounding up.
double ceilPoints(double v) { return std::ceil(v - 1e-6); }

}  // namespace

PangoFontDescription* newFontDescription(const Font& font) {
    PangoFontDescription* desc = pango_font_description_new();
    // The one font that stands in for every font the application names.
    pango_font_description_set_family(desc, "WenQuanYi Micro Hei");
    double size = std::isfinite(font.size) && font.size > 0 ? font.size : 17;
    pango_font_description_set_absolute_size(desc, size * PANGO_SCALE);
    pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    return desc;
}

Font Font::named(const std::string& name, double size) {
    auto endsWith = [&](const char* suffix) {
        std::string s(suffix);
        return name.size() >= s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0;
    };
    return {name, size, endsWith("Bold") || endsWith("bold")};
}

double Font::lineHeight() const {
    Measurer& m = measurer();
    std::lock_guard<std::mutex> lock(m.mutex);
    auto key = std::make_pair(size, bold);
    auto it = m.lineHeights.find(key);
    if (it != m.lineHeights.end()) return it->second;
    PangoLayout* layout = pango_layout_new(m.context);
    PangoFontDescription* desc = newFontDescription(*this);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_text(layout, "Ag", -1);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    double height = ceilPoints(static_cast<double>(logical.height) / PANGO_SCALE);
    pango_font_description_free(desc);
    g_object_unref(layout);
    m.lineHeights[key] = height;
    return height;
}

Size measureText(const std::string& text, const Font& font, double maxWidth) {
    if (text.empty()) return {0, 0};
    // Pango wants valid UTF-8: invalid bytes are measured as replacement characters.
    std::string valid = text;
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
        valid = fixed;
        g_free(fixed);
    }
    Measurer& m = measurer();
    std::lock_guard<std::mutex> lock(m.mutex);
    PangoLayout* layout = pango_layout_new(m.context);
    PangoFontDescription* desc = newFontDescription(font);
    pango_layout_set_font_description(layout, desc);
    pango_layout_set_text(layout, valid.data(), static_cast<int>(valid.size()));
    if (std::isfinite(maxWidth) && maxWidth > 0) {
        pango_layout_set_width(layout, static_cast<int>(std::min(maxWidth, 1e6) * PANGO_SCALE));
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    Size size{ceilPoints(static_cast<double>(logical.width) / PANGO_SCALE),
              ceilPoints(static_cast<double>(logical.height) / PANGO_SCALE)};
    if (maxWidth > 0 && size.width > maxWidth) size.width = std::ceil(maxWidth);
    pango_font_description_free(desc);
    g_object_unref(layout);
    return size;
}

}  // namespace graphics
