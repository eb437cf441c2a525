// Writes the bundle's pictures: reads "name width height colour [drawing]" lines and writes
// <output directory>/<name>@2x.png for each, drawn with Cairo at two pixels per point (the
// phone's screen density, so that nothing is enlarged on screen).
//
//   make_images <list file> <output directory>
//
// The drawing names what the picture shows; the colour is its main colour. Without a drawing
// the picture is a filled rectangle with a darker border ("box"). See images.txt for the list.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "service_pictures.h"

namespace {

struct Colour {
    double r = 0, g = 0, b = 0, a = 1;
    Colour scaled(double k) const { return {r * k, g * k, b * k, a}; }
    Colour opaque() const { return {r, g, b, 1}; }
    Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
};

const Colour kWhite{1, 1, 1, 1};
const Colour kShadow{0, 0, 0, 0.45};

bool parseColour(const std::string& text, Colour& out) {
    if (text.size() != 7 && text.size() != 9) return false;
    if (text[0] != '#') return false;
    unsigned value[4] = {0, 0, 0, 255};
    for (size_t i = 0; i < (text.size() - 1) / 2; ++i) {
        try {
            size_t used = 0;
            value[i] = static_cast<unsigned>(std::stoul(text.substr(1 + 2 * i, 2), &used, 16));
            if (used != 2) return false;
        } catch (...) {
            return false;
        }
    }
    out = {value[0] / 255.0, value[1] / 255.0, value[2] / 255.0, value[3] / 255.0};
    return true;
}

void set(cairo_t* cr, const Colour& c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void polygon(cairo_t* cr, std::initializer_list<std::pair<double, double>> points) {
    bool first = true;
    for (auto& [x, y] : points) {
        if (first) cairo_move_to(cr, x, y);
        else cairo_line_to(cr, x, y);
        first = false;
    }
    cairo_close_path(cr);
}

// Strokes the current path twice: a soft dark line under a white one, so that an outline
// stays visible over a bright picture as well as a dark one.
void outlineStroke(cairo_t* cr, double width) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    set(cr, kShadow);
    cairo_set_line_width(cr, width + 2);
    cairo_stroke_preserve(cr);
    set(cr, kWhite);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void centredText(cairo_t* cr, const std::string& text, double cx, double cy, double size, bool bold = true) {
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_show_text(cr, text.c_str());
}

// --- Cars ------------------------------------------------------------------------------------

// A car seen from the side in a box (x, y, w, h), nose to the right unless `facingLeft`.
void sideCar(cairo_t* cr, double x, double y, double w, double h, const Colour& body, bool facingLeft) {
    cairo_save(cr);
    if (facingLeft) {
        cairo_translate(cr, 2 * x + w, 0);
        cairo_scale(cr, -1, 1);
    }
    double wheelR = h * 0.2;
    double baseY = y + h - wheelR;  // the axle line
    // Body and cabin.
    set(cr, body);
    roundedRect(cr, x, y + h * 0.38, w, h * 0.42, h * 0.12);
    cairo_fill(cr);
    polygon(cr, {{x + w * 0.2, y + h * 0.42}, {x + w * 0.32, y + h * 0.05}, {x + w * 0.68, y + h * 0.05},
                 {x + w * 0.82, y + h * 0.42}});
    cairo_fill(cr);
    // Windows.
    set(cr, {0.82, 0.93, 0.99, 1});
    polygon(cr, {{x + w * 0.27, y + h * 0.4}, {x + w * 0.35, y + h * 0.12}, {x + w * 0.49, y + h * 0.12},
                 {x + w * 0.49, y + h * 0.4}});
    cairo_fill(cr);
    polygon(cr, {{x + w * 0.53, y + h * 0.4}, {x + w * 0.53, y + h * 0.12}, {x + w * 0.66, y + h * 0.12},
                 {x + w * 0.76, y + h * 0.4}});
    cairo_fill(cr);
    // Lights: white at the front, red at the back.
    set(cr, {1, 0.95, 0.6, 1});
    roundedRect(cr, x + w - w * 0.06, y + h * 0.45, w * 0.05, h * 0.1, 2);
    cairo_fill(cr);
    set(cr, {0.85, 0.1, 0.1, 1});
    roundedRect(cr, x + w * 0.01, y + h * 0.45, w * 0.04, h * 0.1, 2);
    cairo_fill(cr);
    // Wheels.
    for (double cx : {x + w * 0.22, x + w * 0.78}) {
        set(cr, {0.15, 0.15, 0.17, 1});
        cairo_arc(cr, cx, baseY, wheelR, 0, 2 * M_PI);
        cairo_fill(cr);
        set(cr, {0.75, 0.75, 0.78, 1});
        cairo_arc(cr, cx, baseY, wheelR * 0.45, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A star of `points` spikes: the mark of an impact.
void impactStar(cairo_t* cr, double cx, double cy, double outer, double inner, int points) {
    for (int i = 0; i < 2 * points; ++i) {
        double r = i % 2 ? inner : outer;
        double a = -M_PI / 2 + i * M_PI / points;
        if (i == 0) cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

// The outline of a car seen three-quarters from the front-left (front face on the left, the
// left flank going back to the right), in a w x h picture. `rear`: the same shape mirrored
// and seen from the rear-right (tail lights instead of the grille).
void threeQuarterCar(cairo_t* cr, double w, double h, bool rear) {
    cairo_save(cr);
    if (rear) {
        cairo_translate(cr, w, 0);
        cairo_scale(cr, -1, 1);
    }
    double s = std::min(w / 350.0, h / 200.0);
    cairo_translate(cr, (w - 350 * s) / 2, (h - 200 * s) / 2);
    cairo_scale(cr, s, s);
    double line = 3.0 / s;
    // The front (or back) face.
    polygon(cr, {{40, 95}, {118, 110}, {118, 160}, {40, 148}});
    // The flank, the roof and the windscreen.
    cairo_move_to(cr, 118, 110);
    cairo_line_to(cr, 318, 96);
    cairo_line_to(cr, 322, 140);
    cairo_line_to(cr, 118, 160);
    cairo_move_to(cr, 40, 95);
    cairo_line_to(cr, 78, 62);
    cairo_line_to(cr, 132, 68);
    cairo_line_to(cr, 118, 110);
    cairo_move_to(cr, 132, 68);
    cairo_line_to(cr, 176, 38);
    cairo_line_to(cr, 276, 40);
    cairo_line_to(cr, 318, 96);
    cairo_move_to(cr, 78, 62);
    cairo_line_to(cr, 118, 36);
    cairo_line_to(cr, 176, 38);
    // Side windows.
    polygon(cr, {{150, 97}, {183, 50}, {228, 50}, {228, 94}});
    polygon(cr, {{238, 93}, {238, 50}, {272, 51}, {300, 91}});
    outlineStroke(cr, line);
    // Wheels: the near front and rear, the far front peeking under the face.
    for (auto [cx, cy, rx] : {std::tuple{150.0, 158.0, 22.0}, std::tuple{282.0, 146.0, 21.0},
                              std::tuple{58.0, 150.0, 11.0}}) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx / 22.0, 1);
        cairo_arc(cr, 0, 0, 22, 0, 2 * M_PI);
        cairo_restore(cr);
        outlineStroke(cr, line);
    }
    // Lights (headlights, or tail lights) and the grille (or the number plate).
    cairo_rectangle(cr, 48, 108, 16, 9);
    cairo_rectangle(cr, 96, 113, 16, 9);
    outlineStroke(cr, line * 0.8);
    if (rear) cairo_rectangle(cr, 66, 128, 26, 10);
    else {
        cairo_move_to(cr, 68, 112);
        cairo_line_to(cr, 92, 116);
        cairo_move_to(cr, 68, 119);
        cairo_line_to(cr, 92, 123);
    }
    outlineStroke(cr, line * 0.8);
    cairo_restore(cr);
}

// A close-up of a dented front corner: bumper, headlight, wing, crumples and a dashed ring
// round the damage.
void collisionCloseUp(cairo_t* cr, double w, double h) {
    double s = std::min(w / 350.0, h / 200.0);
    cairo_save(cr);
    cairo_translate(cr, (w - 350 * s) / 2, (h - 200 * s) / 2);
    cairo_scale(cr, s, s);
    double line = 3.0 / s;
    cairo_move_to(cr, 30, 70);
    cairo_curve_to(cr, 120, 50, 220, 48, 320, 60);
    cairo_move_to(cr, 30, 150);
    cairo_curve_to(cr, 120, 162, 220, 166, 320, 158);
    cairo_move_to(cr, 30, 120);
    cairo_line_to(cr, 150, 122);
    cairo_line_to(cr, 165, 108);
    cairo_line_to(cr, 180, 130);
    cairo_line_to(cr, 196, 112);
    cairo_line_to(cr, 320, 118);
    outlineStroke(cr, line);
    roundedRect(cr, 230, 74, 70, 30, 10);
    outlineStroke(cr, line);
    // The crumples.
    for (auto [x1, y1, x2, y2] : {std::tuple{160.0, 80.0, 172.0, 100.0}, std::tuple{182.0, 78.0, 176.0, 100.0},
                                  std::tuple{158.0, 140.0, 176.0, 150.0}, std::tuple{190.0, 136.0, 180.0, 152.0}}) {
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
    }
    outlineStroke(cr, line * 0.8);
    double dash[] = {10.0 / s * s, 7};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_arc(cr, 175, 115, 52, 0, 2 * M_PI);
    outlineStroke(cr, line * 0.8);
    cairo_set_dash(cr, nullptr, 0, 0);
    cairo_restore(cr);
}

// Two cars' fronts meeting, seen from the side, with the impact between them.
void twoCarCollision(cairo_t* cr, double w, double h, bool otherSide) {
    double s = std::min(w / 350.0, h / 200.0);
    cairo_save(cr);
    cairo_translate(cr, (w - 350 * s) / 2, (h - 200 * s) / 2);
    cairo_scale(cr, s, s);
    if (otherSide) {
        cairo_translate(cr, 350, 0);
        cairo_scale(cr, -1, 1);
    }
    double line = 3.0 / s;
    // The left car, nose to the right, meets the right car's flank.
    cairo_move_to(cr, 20, 150);
    cairo_line_to(cr, 20, 110);
    cairo_line_to(cr, 60, 104);
    cairo_line_to(cr, 90, 72);
    cairo_line_to(cr, 140, 72);
    cairo_line_to(cr, 168, 104);
    cairo_line_to(cr, 190, 110);
    cairo_line_to(cr, 190, 150);
    cairo_close_path(cr);
    outlineStroke(cr, line);
    // The right car, seen head-on as its side, nose to the left.
    cairo_move_to(cr, 330, 150);
    cairo_line_to(cr, 330, 106);
    cairo_line_to(cr, 290, 100);
    cairo_line_to(cr, 262, 66);
    cairo_line_to(cr, 214, 66);
    cairo_line_to(cr, 196, 100);
    cairo_line_to(cr, 192, 108);
    cairo_line_to(cr, 192, 150);
    cairo_close_path(cr);
    outlineStroke(cr, line);
    for (double cx : {58.0, 154.0, 230.0, 300.0}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, 152, 17, 0, 2 * M_PI);
    }
    outlineStroke(cr, line);
    impactStar(cr, 191, 118, 26, 11, 8);
    outlineStroke(cr, line * 0.8);
    cairo_restore(cr);
}

// A licence card: the card, a photo box (driving licence) or a car sketch (vehicle licence),
// the text lines.
void licenceCard(cairo_t* cr, double w, double h, bool driver) {
    double cw = std::min(w * 0.86, h * 0.86 * 1.58), ch = cw / 1.58;
    double x = (w - cw) / 2, y = (h - ch) / 2;
    double line = 3;
    roundedRect(cr, x, y, cw, ch, 12);
    outlineStroke(cr, line);
    // The heading band.
    cairo_move_to(cr, x + cw * 0.25, y + ch * 0.16);
    cairo_line_to(cr, x + cw * 0.75, y + ch * 0.16);
    outlineStroke(cr, line * 1.3);
    if (driver) {
        // The holder's photo on the right, text on the left.
        cairo_rectangle(cr, x + cw * 0.7, y + ch * 0.3, cw * 0.22, ch * 0.5);
        outlineStroke(cr, line);
        cairo_arc(cr, x + cw * 0.81, y + ch * 0.45, ch * 0.08, 0, 2 * M_PI);
        outlineStroke(cr, line * 0.7);
        cairo_move_to(cr, x + cw * 0.73, y + ch * 0.76);
        cairo_curve_to(cr, x + cw * 0.75, y + ch * 0.58, x + cw * 0.87, y + ch * 0.58, x + cw * 0.89, y + ch * 0.76);
        outlineStroke(cr, line * 0.7);
    } else {
        // The seal in the corner.
        cairo_arc(cr, x + cw * 0.8, y + ch * 0.7, ch * 0.14, 0, 2 * M_PI);
        outlineStroke(cr, line);
    }
    for (int i = 0; i < 4; ++i) {
        double ly = y + ch * (0.34 + i * 0.14);
        cairo_move_to(cr, x + cw * 0.08, ly);
        cairo_line_to(cr, x + cw * (driver ? 0.6 : (i % 2 ? 0.55 : 0.65)), ly);
    }
    outlineStroke(cr, line * 0.8);
}

// --- Icons -----------------------------------------------------------------------------------

void lightningBolt(cairo_t* cr, double cx, double cy, double size) {
    double k = size / 24.0;
    polygon(cr, {{cx + 2 * k, cy - 12 * k}, {cx - 7 * k, cy + 2 * k}, {cx - 1 * k, cy + 2 * k},
                 {cx - 3 * k, cy + 12 * k}, {cx + 7 * k, cy - 2 * k}, {cx + 1 * k, cy - 2 * k}});
}

void flashIcon(cairo_t* cr, double w, double h, const Colour& c, const std::string& mode) {
    double size = std::min(w, h) * 0.62;
    double cx = mode == "auto" ? w * 0.4 : w / 2;
    // A dark ring under the bolt keeps it visible over any picture.
    set(cr, {0, 0, 0, 0.35});
    cairo_arc(cr, w / 2, h / 2, std::min(w, h) / 2 - 1, 0, 2 * M_PI);
    cairo_fill(cr);
    lightningBolt(cr, cx, h / 2, size);
    set(cr, c.opaque());
    cairo_fill(cr);
    if (mode == "off") {
        cairo_move_to(cr, w * 0.22, h * 0.22);
        cairo_line_to(cr, w * 0.78, h * 0.78);
        set(cr, {0, 0, 0, 0.6});
        cairo_set_line_width(cr, 5);
        cairo_stroke_preserve(cr);
        set(cr, kWhite);
        cairo_set_line_width(cr, 2.5);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    } else if (mode == "auto") {
        set(cr, c.opaque());
        centredText(cr, "A", w * 0.74, h * 0.66, h * 0.36);
    }
}

void shutter(cairo_t* cr, double w, double h, const Colour& inner) {
    double r = std::min(w, h) / 2;
    set(cr, {0, 0, 0, 0.25});
    cairo_arc(cr, w / 2, h / 2, r - 1, 0, 2 * M_PI);
    cairo_fill(cr);
    set(cr, kWhite);
    cairo_set_line_width(cr, r * 0.12);
    cairo_arc(cr, w / 2, h / 2, r * 0.88, 0, 2 * M_PI);
    cairo_stroke(cr);
    set(cr, inner.opaque());
    cairo_arc(cr, w / 2, h / 2, r * 0.7, 0, 2 * M_PI);
    cairo_fill(cr);
}

void chevron(cairo_t* cr, double w, double h, const Colour& c) {
    double lw = std::max(2.0, w * 0.22);
    cairo_move_to(cr, w - lw / 2 - 1, lw / 2 + 1);
    cairo_line_to(cr, lw / 2 + 1, h / 2);
    cairo_line_to(cr, w - lw / 2 - 1, h - lw / 2 - 1);
    set(cr, c.opaque());
    cairo_set_line_width(cr, lw);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void errorCross(cairo_t* cr, double w, double h, const Colour& c) {
    double r = std::min(w, h) / 2 - 1;
    set(cr, c.opaque());
    cairo_arc(cr, w / 2, h / 2, r, 0, 2 * M_PI);
    cairo_fill(cr);
    double d = r * 0.45;
    cairo_move_to(cr, w / 2 - d, h / 2 - d);
    cairo_line_to(cr, w / 2 + d, h / 2 + d);
    cairo_move_to(cr, w / 2 + d, h / 2 - d);
    cairo_line_to(cr, w / 2 - d, h / 2 + d);
    set(cr, kWhite);
    cairo_set_line_width(cr, r * 0.22);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

void circleMark(cairo_t* cr, double w, double h, const Colour& c, bool ticked) {
    double r = std::min(w, h) / 2 - 1;
    if (ticked) {
        set(cr, c.opaque());
        cairo_arc(cr, w / 2, h / 2, r, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_move_to(cr, w * 0.27, h * 0.52);
        cairo_line_to(cr, w * 0.44, h * 0.68);
        cairo_line_to(cr, w * 0.74, h * 0.34);
        set(cr, kWhite);
        cairo_set_line_width(cr, std::max(2.0, w * 0.11));
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    } else {
        set(cr, c.opaque());
        cairo_arc(cr, w / 2, h / 2, r, 0, 2 * M_PI);
        cairo_fill_preserve(cr);
        set(cr, {0.62, 0.62, 0.62, 1});
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
}

void triangleDown(cairo_t* cr, double w, double h, const Colour& c) {
    polygon(cr, {{1, 1}, {w - 1, 1}, {w / 2, h - 1}});
    set(cr, c.opaque());
    cairo_fill(cr);
}

void mapPin(cairo_t* cr, double w, double h, const Colour& c) {
    double r = std::min(w, h) * 0.3;
    double cx = w / 2, cy = h * 0.38;
    cairo_move_to(cr, cx, h - 1);
    cairo_arc(cr, cx, cy, r, M_PI * 0.8, M_PI * 2.2);
    cairo_close_path(cr);
    set(cr, c.opaque());
    cairo_fill(cr);
    set(cr, kWhite);
    cairo_arc(cr, cx, cy, r * 0.42, 0, 2 * M_PI);
    cairo_fill(cr);
}

void focusSquare(cairo_t* cr, double w, double h, const Colour& c) {
    double m = 3, l = w * 0.22;
    set(cr, c.opaque());
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, m, m, w - 2 * m, h - 2 * m);
    cairo_stroke(cr);
    // Ticks in the middle of each side.
    for (auto [x1, y1, x2, y2] : {std::tuple{w / 2, m, w / 2, m + l / 2}, std::tuple{w / 2, h - m, w / 2, h - m - l / 2},
                                  std::tuple{m, h / 2, m + l / 2, h / 2}, std::tuple{w - m, h / 2, w - m - l / 2, h / 2}}) {
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
    }
    cairo_stroke(cr);
}

void microphone(cairo_t* cr, double w, double h, const Colour& c, int level) {
    set(cr, c);
    roundedRect(cr, 0, 0, w, h, w * 0.1);
    cairo_fill(cr);
    // The microphone on the left.
    double mx = w * 0.36, top = h * 0.22;
    set(cr, kWhite);
    roundedRect(cr, mx - w * 0.09, top, w * 0.18, h * 0.36, w * 0.09);
    cairo_fill(cr);
    cairo_set_line_width(cr, w * 0.03);
    cairo_arc(cr, mx, h * 0.48, w * 0.15, 0, M_PI);
    cairo_stroke(cr);
    cairo_move_to(cr, mx, h * 0.63);
    cairo_line_to(cr, mx, h * 0.74);
    cairo_move_to(cr, mx - w * 0.08, h * 0.75);
    cairo_line_to(cr, mx + w * 0.08, h * 0.75);
    cairo_stroke(cr);
    // Five level bars, `level` of them lit, growing upwards.
    for (int i = 0; i < 5; ++i) {
        double bh = h * (0.06 + 0.035 * i);
        double by = h * 0.74 - i * h * 0.1;
        set(cr, i < level ? kWhite : Colour{1, 1, 1, 0.25});
        roundedRect(cr, w * 0.58, by - bh * 0.3, w * (0.1 + 0.04 * i), h * 0.05, 2);
        cairo_fill(cr);
    }
}

void roundedButton(cairo_t* cr, double w, double h, const Colour& c) {
    set(cr, c);
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, std::min(6.0, h / 4));
    cairo_fill(cr);
}

void pictureGlyph(cairo_t* cr, double w, double h, const Colour& c) {
    set(cr, c);
    cairo_paint(cr);
    set(cr, c.scaled(0.8));
    polygon(cr, {{w * 0.12, h * 0.78}, {w * 0.38, h * 0.42}, {w * 0.56, h * 0.64}, {w * 0.68, h * 0.52}, {w * 0.88, h * 0.78}});
    cairo_fill(cr);
    cairo_arc(cr, w * 0.7, h * 0.3, std::min(w, h) * 0.08, 0, 2 * M_PI);
    cairo_fill(cr);
}

// The home banner: sky, sun, a row of buildings, a road with lane marks and two cars.
void streetScene(cairo_t* cr, double w, double h, const Colour& sky) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h * 0.7);
    cairo_pattern_add_color_stop_rgb(g, 0, sky.r * 0.85, sky.g * 0.9, sky.b);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.88, 0.95, 0.99);
    cairo_set_source(cr, g);
    cairo_paint(cr);
    cairo_pattern_destroy(g);
    set(cr, {1, 0.86, 0.35, 1});
    cairo_arc(cr, w * 0.86, h * 0.2, h * 0.09, 0, 2 * M_PI);
    cairo_fill(cr);
    // Buildings with windows.
    double x = 0;
    int i = 0;
    const double heights[] = {0.42, 0.58, 0.36, 0.66, 0.48, 0.54, 0.4, 0.62, 0.45};
    const Colour tones[] = {{0.62, 0.68, 0.76, 1}, {0.72, 0.74, 0.8, 1}, {0.55, 0.62, 0.72, 1}};
    while (x < w) {
        double bw = w * (0.09 + 0.03 * (i % 3));
        double bh = h * heights[i % 9];
        double top = h * 0.7 - bh;
        set(cr, tones[i % 3]);
        cairo_rectangle(cr, x, top, bw - 2, bh);
        cairo_fill(cr);
        set(cr, {0.95, 0.97, 1, 0.85});
        for (double wy = top + 6; wy < h * 0.66; wy += 10) {
            for (double wx = x + 4; wx < x + bw - 8; wx += 8) {
                cairo_rectangle(cr, wx, wy, 4, 5);
            }
        }
        cairo_fill(cr);
        x += bw;
        ++i;
    }
    // The road.
    set(cr, {0.33, 0.34, 0.37, 1});
    cairo_rectangle(cr, 0, h * 0.7, w, h * 0.3);
    cairo_fill(cr);
    set(cr, {0.75, 0.76, 0.78, 1});
    cairo_rectangle(cr, 0, h * 0.7, w, h * 0.025);
    cairo_fill(cr);
    set(cr, kWhite);
    for (double lx = 8; lx < w; lx += 36) cairo_rectangle(cr, lx, h * 0.86, 18, h * 0.02);
    cairo_fill(cr);
    sideCar(cr, w * 0.12, h * 0.66, w * 0.2, h * 0.2, {0.9, 0.25, 0.2, 1}, false);
    sideCar(cr, w * 0.58, h * 0.74, w * 0.22, h * 0.22, {0.97, 0.97, 0.97, 1}, true);
}

// A card of the accident kind: its background, and one car, or two cars touching.
void accidentCard(cairo_t* cr, double w, double h, const Colour& c, bool two) {
    set(cr, c);
    roundedRect(cr, 0.5, 0.5, w - 1, h - 1, 8);
    cairo_fill(cr);
    set(cr, {1, 1, 1, 0.55});
    cairo_rectangle(cr, 0, h * 0.78, w, h * 0.22);
    cairo_fill(cr);
    if (!two) {
        double cw = std::min(w * 0.7, h * 1.5);
        sideCar(cr, (w - cw) / 2, h * 0.2, cw, cw * 0.45, {0.16, 0.45, 0.8, 1}, false);
        return;
    }
    double cw = std::min(w * 0.4, h * 1.6);
    double ch = cw * 0.45;
    double y = h * 0.78 - ch * 0.95;
    sideCar(cr, w / 2 - cw + 2, y, cw, ch, {0.16, 0.45, 0.8, 1}, false);
    sideCar(cr, w / 2 - 2, y, cw, ch, {0.9, 0.3, 0.2, 1}, true);
    impactStar(cr, w / 2, y + ch * 0.45, ch * 0.38, ch * 0.16, 8);
    set(cr, {1, 0.85, 0.2, 1});
    cairo_fill_preserve(cr);
    set(cr, {0.85, 0.4, 0.1, 1});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void plainBox(cairo_t* cr, double w, double h, const Colour& c) {
    set(cr, c);
    cairo_paint(cr);
    if (c.a > 0 && w > 2 && h > 2) {
        set(cr, c.scaled(0.7));
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
        cairo_stroke(cr);
    }
}

// A chat avatar: a person's head and shoulders in white on a disc of the colour, with what
// tells the roles apart: the driver holds a steering wheel, the policeman wears a peaked cap
// with a badge, the insurer a tie.
void avatar(cairo_t* cr, double w, double h, const Colour& c, const std::string& who) {
    const double s = std::min(w, h), cx = w / 2, cy = h / 2;
    cairo_arc(cr, cx, cy, s / 2, 0, 2 * M_PI);
    set(cr, c);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    set(cr, kWhite);
    // Shoulders, then the head.
    cairo_arc(cr, cx, cy + s * 0.52, s * 0.34, M_PI, 2 * M_PI);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy - s * 0.06, s * 0.17, 0, 2 * M_PI);
    cairo_fill(cr);
    if (who == "police") {
        // A dark peaked cap over the head with a gold badge.
        set(cr, {0.08, 0.12, 0.3, 1});
        cairo_move_to(cr, cx - s * 0.2, cy - s * 0.15);
        cairo_line_to(cr, cx - s * 0.16, cy - s * 0.3);
        cairo_line_to(cr, cx + s * 0.16, cy - s * 0.3);
        cairo_line_to(cr, cx + s * 0.2, cy - s * 0.15);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_rectangle(cr, cx - s * 0.24, cy - s * 0.16, s * 0.48, s * 0.05);
        cairo_fill(cr);
        set(cr, {1, 0.8, 0.2, 1});
        cairo_arc(cr, cx, cy - s * 0.23, s * 0.045, 0, 2 * M_PI);
        cairo_fill(cr);
    } else if (who == "insurer") {
        set(cr, c.scaled(0.7));
        cairo_move_to(cr, cx, cy + s * 0.2);
        cairo_line_to(cr, cx - s * 0.05, cy + s * 0.3);
        cairo_line_to(cr, cx, cy + s * 0.45);
        cairo_line_to(cr, cx + s * 0.05, cy + s * 0.3);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else {
        // The driver: a steering wheel held in front of the chest.
        set(cr, c.scaled(0.6));
        cairo_set_line_width(cr, s * 0.05);
        cairo_arc(cr, cx, cy + s * 0.34, s * 0.15, 0, 2 * M_PI);
        cairo_stroke(cr);
        cairo_move_to(cr, cx - s * 0.15, cy + s * 0.34);
        cairo_line_to(cr, cx + s * 0.15, cy + s * 0.34);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    cairo_new_path(cr);
}

// One frame of the police wait's animation: a light card with a clock whose hand has moved on
// by a sixth of a turn in each frame, so the six frames in turn show time passing.
void waitingFrame(cairo_t* cr, double w, double h, const Colour& c, int frame) {
    const double s = std::min(w, h), cx = w / 2, cy = h / 2, r = s * 0.36;
    set(cr, c);
    cairo_paint(cr);
    const Colour ink{0.12, 0.5, 0.78, 1};
    set(cr, kWhite);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill_preserve(cr);
    set(cr, ink);
    cairo_set_line_width(cr, s * 0.04);
    cairo_stroke(cr);
    for (int i = 0; i < 12; ++i) {
        double a = i * M_PI / 6;
        cairo_move_to(cr, cx + std::cos(a) * r * 0.8, cy + std::sin(a) * r * 0.8);
        cairo_line_to(cr, cx + std::cos(a) * r * 0.92, cy + std::sin(a) * r * 0.92);
    }
    cairo_set_line_width(cr, s * 0.015);
    cairo_stroke(cr);
    // The hour hand stays; the minute hand turns with the frame.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, s * 0.035);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + r * 0.45, cy - r * 0.2);
    cairo_stroke(cr);
    double a = -M_PI / 2 + (frame - 1) * M_PI / 3;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + std::cos(a) * r * 0.7, cy + std::sin(a) * r * 0.7);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, s * 0.025, 0, 2 * M_PI);
    cairo_fill(cr);
}

// A chat bubble: a rounded box with a small tail near the top of the speaker's side (the side
// the speaker's avatar is on: "right" for the driver's own messages). The picture is stretched
// between its corners, so the tail stays level with the avatar and the corners stay round.
void chatBubble(cairo_t* cr, double w, double h, const Colour& c, bool right) {
    const double tail = 7, r = 5;
    const double left = right ? 0.5 : tail + 0.5, rightEdge = right ? w - tail - 0.5 : w - 0.5;
    const double top = 0.5, bottom = h - 0.5, tipY = 15;
    cairo_new_path(cr);
    cairo_arc(cr, left + r, top + r, r, M_PI, 1.5 * M_PI);
    cairo_arc(cr, rightEdge - r, top + r, r, 1.5 * M_PI, 2 * M_PI);
    if (right) {
        cairo_line_to(cr, rightEdge, tipY - 5);
        cairo_line_to(cr, w - 0.5, tipY);
        cairo_line_to(cr, rightEdge, tipY + 5);
    }
    cairo_arc(cr, rightEdge - r, bottom - r, r, 0, 0.5 * M_PI);
    cairo_arc(cr, left + r, bottom - r, r, 0.5 * M_PI, M_PI);
    if (!right) {
        cairo_line_to(cr, left, tipY + 5);
        cairo_line_to(cr, 0.5, tipY);
        cairo_line_to(cr, left, tipY - 5);
    }
    cairo_close_path(cr);
    set(cr, c);
    cairo_fill_preserve(cr);
    set(cr, c.scaled(0.8));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

using Drawing = std::function<void(cairo_t*, double w, double h, const Colour&, const std::string& argument)>;

const std::map<std::string, Drawing>& drawings() {
    static const std::map<std::string, Drawing> all{
        {"box", [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { plainBox(cr, w, h, c); }},
        {"fill",
         [](cairo_t* cr, double, double, const Colour& c, const std::string&) {
             set(cr, c);
             cairo_paint(cr);
         }},
        {"button",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { roundedButton(cr, w, h, c); }},
        {"chevron", [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { chevron(cr, w, h, c); }},
        {"cross",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { errorCross(cr, w, h, c); }},
        {"pin", [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { mapPin(cr, w, h, c); }},
        {"picture",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { pictureGlyph(cr, w, h, c); }},
        {"street",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { streetScene(cr, w, h, c); }},
        {"shutter", [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { shutter(cr, w, h, c); }},
        {"flash",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string& a) { flashIcon(cr, w, h, c, a); }},
        {"focus",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { focusSquare(cr, w, h, c); }},
        {"car-outline", [](cairo_t* cr, double w, double h, const Colour&,
                           const std::string& a) { threeQuarterCar(cr, w, h, a == "rear-right"); }},
        {"collision-outline",
         [](cairo_t* cr, double w, double h, const Colour&, const std::string& a) {
             if (a == "one-car") collisionCloseUp(cr, w, h);
             else twoCarCollision(cr, w, h, a == "two-cars-other-side");
         }},
        {"card-outline", [](cairo_t* cr, double w, double h, const Colour&,
                            const std::string& a) { licenceCard(cr, w, h, a == "driver"); }},
        {"accident-card", [](cairo_t* cr, double w, double h, const Colour& c,
                             const std::string& a) { accidentCard(cr, w, h, c, a == "two-cars"); }},
        {"microphone",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string& a) {
             microphone(cr, w, h, c, a.empty() ? 0 : std::clamp(a[0] - '0', 0, 5));
         }},
        {"circle", [](cairo_t* cr, double w, double h, const Colour& c,
                      const std::string& a) { circleMark(cr, w, h, c, a == "ticked"); }},
        {"triangle-down",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string&) { triangleDown(cr, w, h, c); }},
        {"bubble", [](cairo_t* cr, double w, double h, const Colour& c,
                      const std::string& a) { chatBubble(cr, w, h, c, a == "right"); }},
        {"avatar",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string& a) { avatar(cr, w, h, c, a); }},
        {"waiting",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string& a) {
             waitingFrame(cr, w, h, c, a.empty() ? 1 : std::clamp(a[0] - '0', 1, 6));
         }},
        // The service screens' pictures (service_pictures.cpp), named by the argument.
        {"service",
         [](cairo_t* cr, double w, double h, const Colour& c, const std::string& a) {
             if (!drawServicePicture(cr, a, static_cast<int>(w), static_cast<int>(h))) plainBox(cr, w, h, c);
         }},
    };
    return all;
}

// Pixels per point of the written pictures.
constexpr int kScale = 2;

bool writeImage(const std::filesystem::path& path, int width, int height, const Colour& c, const Drawing& drawing,
                const std::string& argument) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * kScale, height * kScale);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
    cairo_scale(cr, kScale, kScale);
    drawing(cr, width, height, c, argument);
    bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    bool ok = drawn && cairo_surface_write_to_png(surface, temporary.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    std::error_code ec;
    if (ok) std::filesystem::rename(temporary, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_images <list file> <output directory>\n";
        return 2;
    }
    std::ifstream list(argv[1]);
    if (!list) {
        std::cerr << "make_images: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::filesystem::path out = argv[2];
    std::filesystem::create_directories(out);
    std::string line;
    int lineNumber = 0, written = 0, failures = 0;
    while (std::getline(list, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string name, colourText, drawingText, extra;
        int width = 0, height = 0;
        Colour colour;
        bool ok = static_cast<bool>(fields >> name >> width >> height >> colourText) && width > 0 && height > 0 &&
                  width <= 4096 && height <= 4096 && parseColour(colourText, colour) &&
                  name.find('/') == std::string::npos;
        if (ok && !(fields >> drawingText)) drawingText = "box";
        if (ok && (fields >> extra)) ok = false;
        std::string kind = drawingText, argument;
        if (auto colon = drawingText.find(':'); colon != std::string::npos) {
            kind = drawingText.substr(0, colon);
            argument = drawingText.substr(colon + 1);
        }
        auto drawing = drawings().find(kind);
        if (!ok || drawing == drawings().end()) {
            std::cerr << argv[1] << ":" << lineNumber << ": bad line: " << line << "\n";
            ++failures;
            continue;
        }
        const std::string file = name + "@" + std::to_string(kScale) + "x.png";
        if (!writeImage(out / file, width, height, colour, drawing->second, argument)) {
            std::cerr << "make_images: cannot write " << file << "\n";
            ++failures;
            continue;
        }
        ++written;
    }
    std::cout << "make_images: " << written << " images written to " << out.string() << "\n";
    return failures ? 1 : 0;
}
