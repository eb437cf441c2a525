#include "platform/ui/GraphicsContext.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>

#include "platform/graphics/FontDescription.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

namespace ui {

namespace {

std::string validUtf8(const std::string& text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    gchar* fixed = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    std::string out = fixed;
    g_free(fixed);
    return out;
}

PangoAlignment pangoAlignment(TextAlignment a) {
    switch (a) {
    case TextAlignment::Center: return PANGO_ALIGN_CENTER;
    case TextAlignment::Right: return PANGO_ALIGN_RIGHT;
    default: return PANGO_ALIGN_LEFT;
    }
}

void roundedRectPath(cairo_t* cr, Rect r, double radius) {
    radius = std::min({radius, r.width() / 2, r.height() / 2});
    if (radius <= 0) {
        cairo_rectangle(cr, r.x(), r.y(), r.width(), r.height());
        return;
    }
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.maxX() - radius, r.minY() + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, r.maxX() - radius, r.maxY() - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, r.minX() + radius, r.maxY() - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, r.minX() + radius, r.minY() + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void setColor(cairo_t* cr, const Color& c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a * alpha);
}

}  // namespace

GraphicsContext::GraphicsContext(cairo_t* cr) : cr_(cr) {}

void GraphicsContext::saveState() { cairo_save(cr_); }
void GraphicsContext::restoreState() { cairo_restore(cr_); }
void GraphicsContext::translate(double x, double y) { cairo_translate(cr_, x, y); }
void GraphicsContext::scale(double sx, double sy) { cairo_scale(cr_, sx, sy); }
void GraphicsContext::rotate(double radians) { cairo_rotate(cr_, radians); }

void GraphicsContext::concat(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    cairo_transform(cr_, &m);
}

void GraphicsContext::clipToRect(Rect rect) {
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_clip(cr_);
}

void GraphicsContext::beginPath() { cairo_new_path(cr_); }
void GraphicsContext::moveTo(Point p) { cairo_move_to(cr_, p.x, p.y); }

void GraphicsContext::addLineTo(Point p) {
    if (!cairo_has_current_point(cr_)) cairo_move_to(cr_, p.x, p.y);
    else cairo_line_to(cr_, p.x, p.y);
}

void GraphicsContext::addCurveTo(Point c1, Point c2, Point end) {
    cairo_curve_to(cr_, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
}

void GraphicsContext::addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise) {
    // Angles as on the screen (y down): "clockwise" follows the direction seen on screen.
    if (clockwise) cairo_arc(cr_, center.x, center.y, radius, startAngle, endAngle);
    else cairo_arc_negative(cr_, center.x, center.y, radius, startAngle, endAngle);
}

void GraphicsContext::addRect(Rect r) { cairo_rectangle(cr_, r.x(), r.y(), r.width(), r.height()); }

void GraphicsContext::addEllipseInRect(Rect r) {
    if (r.width() <= 0 || r.height() <= 0) return;
    cairo_save(cr_);
    cairo_translate(cr_, r.midX(), r.midY());
    cairo_scale(cr_, r.width() / 2, r.height() / 2);
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr_);
    cairo_restore(cr_);
}

void GraphicsContext::addRoundedRect(Rect rect, double radius) { roundedRectPath(cr_, rect, radius); }
void GraphicsContext::closePath() { cairo_close_path(cr_); }

void GraphicsContext::strokePath() {
    setColor(cr_, stroke_, alpha_);
    cairo_stroke(cr_);
}

void GraphicsContext::fillPath() {
    setColor(cr_, fill_, alpha_);
    cairo_fill(cr_);
}

void GraphicsContext::setLineWidth(double width) { cairo_set_line_width(cr_, width); }
double GraphicsContext::lineWidth() const { return cairo_get_line_width(cr_); }

void GraphicsContext::setLineCap(LineCap cap) {
    cairo_set_line_cap(cr_, cap == LineCap::Round ? CAIRO_LINE_CAP_ROUND
                            : cap == LineCap::Square ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
}

void GraphicsContext::setLineJoin(LineJoin join) {
    cairo_set_line_join(cr_, join == LineJoin::Round ? CAIRO_LINE_JOIN_ROUND
                             : join == LineJoin::Bevel ? CAIRO_LINE_JOIN_BEVEL : CAIRO_LINE_JOIN_MITER);
}

void GraphicsContext::setStrokeColor(const Color& color) { stroke_ = color; }
void GraphicsContext::setFillColor(const Color& color) { fill_ = color; }
void GraphicsContext::applyColor(const Color& c) { setColor(cr_, c, alpha_); }

void GraphicsContext::fillRect(Rect rect) {
    cairo_new_path(cr_);
    addRect(rect);
    fillPath();
}

void GraphicsContext::strokeRect(Rect rect) {
    cairo_new_path(cr_);
    addRect(rect);
    strokePath();
}

void GraphicsContext::clearRect(Rect rect) {
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr_, rect.x(), rect.y(), rect.width(), rect.height());
    cairo_fill(cr_);
    cairo_restore(cr_);
}

void GraphicsContext::fillEllipseInRect(Rect rect) {
    cairo_new_path(cr_);
    addEllipseInRect(rect);
    fillPath();
}

void GraphicsContext::strokeLineSegments(const std::vector<Point>& points) {
    cairo_new_path(cr_);
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        cairo_move_to(cr_, points[i].x, points[i].y);
        cairo_line_to(cr_, points[i + 1].x, points[i + 1].y);
    }
    strokePath();
}

void GraphicsContext::drawImage(const ImagePtr& image, Rect rect, double alpha) {
    if (!image || rect.width() <= 0 || rect.height() <= 0) return;
    image->drawInRect(cr_, rect, alpha * alpha_);
}

void GraphicsContext::drawImageWithCapInsets(const ImagePtr& image, Rect rect, EdgeInsets caps, double alpha) {
    if (!image) return;
    drawImage(image->resizableImage(caps), rect, alpha);
}

void GraphicsContext::drawText(const std::string& text, Rect rect, const Font& font, const Color& color,
                               TextAlignment alignment, int numberOfLines, bool centreVertically) {
    drawRuns({TextRun{text, std::nullopt, std::nullopt}}, rect, font, color, alignment, numberOfLines, centreVertically);
}

void GraphicsContext::drawRuns(const std::vector<TextRun>& runs, Rect rect, const Font& defaultFont,
                               const Color& defaultColor, TextAlignment alignment, int numberOfLines,
                               bool centreVertically) {
    std::string all;
    PangoAttrList* attrs = pango_attr_list_new();
    for (auto& run : runs) {
        std::string t = validUtf8(run.text);
        guint start = static_cast<guint>(all.size());
        all += t;
        guint end = static_cast<guint>(all.size());
        if (start == end) continue;
        if (run.font) {
            PangoFontDescription* d = graphics::newFontDescription(*run.font);
            PangoAttribute* a = pango_attr_font_desc_new(d);
            pango_font_description_free(d);
            a->start_index = start;
            a->end_index = end;
            pango_attr_list_insert(attrs, a);
        }
        Color c = run.color.value_or(defaultColor);
        PangoAttribute* fg = pango_attr_foreground_new(static_cast<guint16>(c.r * 65535), static_cast<guint16>(c.g * 65535),
                                                       static_cast<guint16>(c.b * 65535));
        fg->start_index = start;
        fg->end_index = end;
        pango_attr_list_insert(attrs, fg);
        PangoAttribute* fa = pango_attr_foreground_alpha_new(static_cast<guint16>(std::clamp(c.a * alpha_, 0.0, 1.0) * 65535));
        fa->start_index = start;
        fa->end_index = end;
        pango_attr_list_insert(attrs, fa);
    }
    if (all.empty() || rect.width() <= 0) {
        pango_attr_list_unref(attrs);
        return;
    }
    PangoLayout* layout = pango_cairo_create_layout(cr_);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);
    PangoFontDescription* desc = graphics::newFontDescription(defaultFont);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    pango_layout_set_text(layout, all.data(), static_cast<int>(all.size()));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    pango_layout_set_width(layout, static_cast<int>(std::min(rect.width(), 1e6) * PANGO_SCALE));
    pango_layout_set_alignment(layout, pangoAlignment(alignment));
    if (numberOfLines == 1) {
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        pango_layout_set_single_paragraph_mode(layout, TRUE);
    } else {
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        if (numberOfLines > 1) {
            pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
            pango_layout_set_height(layout, -numberOfLines);
        }
    }
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    double h = static_cast<double>(logical.height) / PANGO_SCALE;
    double y = centreVertically ? rect.y() + (rect.height() - h) / 2 : rect.y();
    cairo_save(cr_);
    cairo_rectangle(cr_, rect.x(), rect.y() - 2, rect.width(), rect.height() + 4);
    cairo_clip(cr_);
    cairo_move_to(cr_, rect.x(), y);
    setColor(cr_, defaultColor, alpha_);
    pango_cairo_show_layout(cr_, layout);
    cairo_restore(cr_);
    g_object_unref(layout);
}

ImagePtr drawImage(Size size, double scale, bool opaque, const std::function<void(GraphicsContext&)>& draw) {
    if (scale <= 0) scale = Screen::mainScreen().scale();
    if (!(size.width > 0) || !(size.height > 0)) return nullptr;
    return Image::draw(size, scale, opaque, [&](cairo_t* cr) {
        GraphicsContext ctx(cr);
        if (draw) draw(ctx);
    });
}

namespace {

void renderView(cairo_t* cr, View& v, bool isRoot) {
    if (!isRoot && (v.isHidden() || v.alpha() < 0.01)) return;
    Rect b = v.bounds();
    cairo_save(cr);
    if (!isRoot) {
        Point c = v.center();
        cairo_translate(cr, c.x, c.y);
        AffineTransform t = v.transform();
        if (!t.isIdentity()) {
            cairo_matrix_t m;
            cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
            cairo_transform(cr, &m);
        }
        cairo_translate(cr, -b.x() - b.width() / 2, -b.y() - b.height() / 2);
    } else {
        cairo_translate(cr, -b.x(), -b.y());
    }
    bool group = !isRoot && v.alpha() < 1;
    if (group) cairo_push_group(cr);
    const Layer& layer = v.layer();
    if (auto bg = v.backgroundColor(); bg && !bg->isClear()) {
        cairo_new_path(cr);
        roundedRectPath(cr, b, layer.cornerRadius);
        setColor(cr, *bg, 1);
        cairo_fill(cr);
    }
    cairo_save(cr);
    if (v.clipsToBounds()) {
        cairo_new_path(cr);
        roundedRectPath(cr, b, layer.cornerRadius);
        cairo_clip(cr);
    }
    {
        cairo_save(cr);
        cairo_new_path(cr);
        GraphicsContext ctx(cr);
        v.draw(ctx, b);
        cairo_restore(cr);
    }
    auto subs = v.subviews();
    for (auto& s : subs) renderView(cr, *s, false);
    cairo_restore(cr);
    if (layer.borderWidth > 0 && !layer.borderColor.isClear()) {
        double w = layer.borderWidth;
        cairo_new_path(cr);
        roundedRectPath(cr, b.inset(w / 2, w / 2), std::max(0.0, layer.cornerRadius - w / 2));
        cairo_set_line_width(cr, w);
        setColor(cr, layer.borderColor, 1);
        cairo_stroke(cr);
    }
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, v.alpha());
    }
    cairo_restore(cr);
}

}  // namespace

void renderInContext(View& view, GraphicsContext& context) {
    renderView(context.cairo(), view, true);
}

ImagePtr render(View& view, double scale) {
    view.layoutIfNeeded();
    if (scale <= 0) scale = Screen::mainScreen().scale();
    Size size = view.bounds().size;
    if (!(size.width > 0) || !(size.height > 0)) return nullptr;
    return Image::draw(size, scale, false, [&](cairo_t* cr) { renderView(cr, view, true); });
}

ImagePtr render(const std::shared_ptr<View>& view, double scale) {
    return view ? render(*view, scale) : nullptr;
}

}  // namespace ui
