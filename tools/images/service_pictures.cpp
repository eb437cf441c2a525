// The drawn pictures of the service screens: the brigade area maps, the guide pages' layers and
// pictures, the guide button and the drop-down mark. make_images asks here first for every
// name; names not drawn here get the list's plain picture.
#include "service_pictures.h"

#include <cairo.h>

#include <cmath>
#include <string>

namespace {

constexpr const char* kFont = "WenQuanYi Micro Hei";

void rgb(cairo_t* cr, double r, double g, double b, double a = 1) { cairo_set_source_rgba(cr, r / 255, g / 255, b / 255, a); }

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// `text` centred on (cx, cy) in the CJK font of `size`.
void centredText(cairo_t* cr, const std::string& text, double cx, double cy, double size, bool bold = true) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_show_text(cr, text.c_str());
}

// `text` centred in a w × h picture at the largest size up to `size` that fits its width.
void fittedText(cairo_t* cr, const std::string& text, double w, double h, double size) {
    cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    if (e.x_advance > w - 4) size *= (w - 4) / e.x_advance;
    centredText(cr, text, w / 2, h / 2, size);
}

void street(cairo_t* cr, double x1, double y1, double x2, double y2, double width) {
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    rgb(cr, 200, 190, 170);
    cairo_set_line_width(cr, width + 2);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
    rgb(cr, 255, 255, 255);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
}

// A city map: ground, a park, a river, streets, the brigade's boundary (red, dashed, shaded
// inside), its station and its name.
void areaMap(cairo_t* cr, int w, int h, bool north) {
    rgb(cr, 242, 238, 228);
    cairo_paint(cr);
    rgb(cr, 196, 226, 180);  // park
    if (north) cairo_rectangle(cr, w * 0.62, h * 0.1, w * 0.22, h * 0.28);
    else cairo_rectangle(cr, w * 0.08, h * 0.6, w * 0.25, h * 0.3);
    cairo_fill(cr);
    rgb(cr, 160, 200, 235);  // river
    cairo_set_line_width(cr, 9);
    cairo_move_to(cr, 0, h * (north ? 0.82 : 0.2));
    cairo_curve_to(cr, w * 0.3, h * (north ? 0.7 : 0.35), w * 0.6, h * (north ? 0.95 : 0.05), w, h * (north ? 0.78 : 0.3));
    cairo_stroke(cr);
    for (int i = 1; i < 6; ++i) street(cr, w * i / 6.0 + (north ? 0 : 8), 0, w * i / 6.0 - (north ? 10 : 0), h, i % 3 == 0 ? 7 : 4);
    for (int i = 1; i < 4; ++i) street(cr, 0, h * i / 4.0, w, h * i / 4.0 + (north ? 6 : -6), i == 2 ? 8 : 4);
    street(cr, 0, h * (north ? 0.05 : 0.95), w, h * (north ? 0.55 : 0.45), 6);  // the diagonal avenue
    // The boundary.
    double pts[][2] = {{0.18, 0.16}, {0.58, 0.1}, {0.8, 0.42}, {0.7, 0.86}, {0.28, 0.8}, {0.12, 0.5}};
    if (!north) {
        double other[][2] = {{0.3, 0.12}, {0.85, 0.2}, {0.9, 0.7}, {0.55, 0.9}, {0.2, 0.75}, {0.25, 0.4}};
        for (int i = 0; i < 6; ++i) pts[i][0] = other[i][0], pts[i][1] = other[i][1];
    }
    cairo_move_to(cr, pts[0][0] * w, pts[0][1] * h);
    for (int i = 1; i < 6; ++i) cairo_line_to(cr, pts[i][0] * w, pts[i][1] * h);
    cairo_close_path(cr);
    rgb(cr, 230, 60, 50, 0.12);
    cairo_fill_preserve(cr);
    rgb(cr, 220, 40, 40);
    cairo_set_line_width(cr, 2.5);
    double dash[] = {8, 4};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    // The brigade's station: a blue pin.
    double px = w * (north ? 0.45 : 0.55), py = h * 0.45;
    rgb(cr, 30, 110, 210);
    cairo_arc(cr, px, py - 10, 8, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_move_to(cr, px - 6, py - 6);
    cairo_line_to(cr, px, py + 4);
    cairo_line_to(cr, px + 6, py - 6);
    cairo_fill(cr);
    rgb(cr, 255, 255, 255);
    cairo_arc(cr, px, py - 10, 3, 0, 2 * M_PI);
    cairo_fill(cr);
    rgb(cr, 60, 60, 60);
    centredText(cr, north ? "中关村大队" : "沙河大队", px, py + 16, 13);
    // North arrow.
    rgb(cr, 60, 60, 60);
    cairo_move_to(cr, w - 18, 10);
    cairo_line_to(cr, w - 24, 26);
    cairo_line_to(cr, w - 12, 26);
    cairo_close_path(cr);
    cairo_fill(cr);
    centredText(cr, "N", w - 18, 34, 9);
}

void car(cairo_t* cr, double x, double y, double w, double h, double r, double g, double b) {
    // Body and cabin, side view, facing right.
    rgb(cr, r, g, b);
    roundedRect(cr, x, y + h * 0.42, w, h * 0.36, h * 0.1);
    cairo_fill(cr);
    cairo_move_to(cr, x + w * 0.18, y + h * 0.44);
    cairo_line_to(cr, x + w * 0.32, y + h * 0.08);
    cairo_line_to(cr, x + w * 0.7, y + h * 0.08);
    cairo_line_to(cr, x + w * 0.86, y + h * 0.44);
    cairo_close_path(cr);
    cairo_fill(cr);
    rgb(cr, 210, 235, 250);  // windows
    cairo_move_to(cr, x + w * 0.25, y + h * 0.42);
    cairo_line_to(cr, x + w * 0.35, y + h * 0.15);
    cairo_line_to(cr, x + w * 0.49, y + h * 0.15);
    cairo_line_to(cr, x + w * 0.49, y + h * 0.42);
    cairo_close_path(cr);
    cairo_move_to(cr, x + w * 0.53, y + h * 0.42);
    cairo_line_to(cr, x + w * 0.53, y + h * 0.15);
    cairo_line_to(cr, x + w * 0.67, y + h * 0.15);
    cairo_line_to(cr, x + w * 0.78, y + h * 0.42);
    cairo_close_path(cr);
    cairo_fill(cr);
    rgb(cr, 255, 240, 160);  // lamp
    cairo_rectangle(cr, x + w - 8, y + h * 0.5, 6, h * 0.08);
    cairo_fill(cr);
    for (double cx : {x + w * 0.24, x + w * 0.76}) {  // wheels
        rgb(cr, 40, 40, 40);
        cairo_arc(cr, cx, y + h * 0.8, h * 0.18, 0, 2 * M_PI);
        cairo_fill(cr);
        rgb(cr, 190, 190, 190);
        cairo_arc(cr, cx, y + h * 0.8, h * 0.08, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void person(cairo_t* cr, double w, double h) {
    rgb(cr, 245, 205, 170);
    cairo_arc(cr, w / 2, h * 0.1, w * 0.2, 0, 2 * M_PI);  // head
    cairo_fill(cr);
    rgb(cr, 40, 40, 40);
    cairo_arc(cr, w / 2, h * 0.08, w * 0.2, M_PI, 2 * M_PI);  // hair
    cairo_fill(cr);
    rgb(cr, 40, 120, 200);  // shirt
    roundedRect(cr, w * 0.22, h * 0.2, w * 0.56, h * 0.36, 6);
    cairo_fill(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, w * 0.14);
    cairo_move_to(cr, w * 0.25, h * 0.25);  // arms: one raised, waving
    cairo_line_to(cr, w * 0.1, h * 0.05);
    cairo_move_to(cr, w * 0.75, h * 0.25);
    cairo_line_to(cr, w * 0.88, h * 0.5);
    cairo_stroke(cr);
    rgb(cr, 50, 50, 70);  // trousers
    cairo_set_line_width(cr, w * 0.2);
    cairo_move_to(cr, w * 0.38, h * 0.55);
    cairo_line_to(cr, w * 0.34, h * 0.95);
    cairo_move_to(cr, w * 0.62, h * 0.55);
    cairo_line_to(cr, w * 0.66, h * 0.95);
    cairo_stroke(cr);
}

void cloud(cairo_t* cr, double x, double y, double s) {
    rgb(cr, 255, 255, 255, 0.95);
    cairo_arc(cr, x, y, 14 * s, 0, 2 * M_PI);
    cairo_arc(cr, x + 18 * s, y - 8 * s, 18 * s, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_arc(cr, x + 38 * s, y, 14 * s, 0, 2 * M_PI);
    cairo_fill(cr);
    roundedRect(cr, x - 14 * s, y - 2 * s, 66 * s, 16 * s, 8 * s);
    cairo_fill(cr);
}

// Sky over a green ground crossed by a road.
void landscape(cairo_t* cr, int w, int h) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h * 0.7);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.36, 0.72, 0.93);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.82, 0.93, 0.99);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    rgb(cr, 140, 200, 110);
    cairo_move_to(cr, 0, h * 0.7);
    cairo_curve_to(cr, w * 0.3, h * 0.64, w * 0.7, h * 0.74, w, h * 0.68);
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    cairo_fill(cr);
    rgb(cr, 110, 110, 115);
    cairo_rectangle(cr, 0, h * 0.8, w, h * 0.08);
    cairo_fill(cr);
    rgb(cr, 255, 255, 255);
    cairo_set_line_width(cr, 2);
    double dash[] = {14, 10};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_move_to(cr, 0, h * 0.84);
    cairo_line_to(cr, w, h * 0.84);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
}

void sunDisc(cairo_t* cr, int w, int h, double r, double g, double b, double a) {
    rgb(cr, r, g, b, a);
    cairo_arc(cr, w / 2.0, h / 2.0, std::min(w, h) / 2.0 - 0.5, 0, 2 * M_PI);
    cairo_fill(cr);
}

}  // namespace

bool drawServicePicture(cairo_t* cr, const std::string& name, int w, int h) {
    if (name == "中关村大队区域" || name == "沙河大队区域") {
        areaMap(cr, w, h, name == "中关村大队区域");
    } else if (name == "bg") {
        landscape(cr, w, h);
    } else if (name == "sun-003") {
        sunDisc(cr, w, h, 255, 230, 120, 0.35);
    } else if (name == "sun-002") {
        sunDisc(cr, w, h, 255, 210, 80, 0.6);
    } else if (name == "sun-001") {
        sunDisc(cr, w, h, 255, 160, 30, 1);
    } else if (name == "车-蓝色") {
        car(cr, 2, 2, w - 4, h - 4, 40, 110, 210);
    } else if (name == "车-黄色") {
        car(cr, 2, h * 0.25, w - 4, h * 0.7, 250, 200, 40);
    } else if (name == "人") {
        person(cr, w, h);
    } else if (name == "云彩") {
        cloud(cr, 40, 70, 1.0);
        cloud(cr, 220, 110, 0.8);
        cloud(cr, 150, 250, 0.6);
    } else if (name == "字") {
        rgb(cr, 255, 255, 255);
        fittedText(cr, "事故快处 轻松便捷", w, h, h * 0.55);
    } else if (name == "在线理赔@1x") {
        landscape(cr, w, h);
        rgb(cr, 50, 50, 60);  // a phone showing the claim paid
        roundedRect(cr, w * 0.3, h * 0.3, w * 0.4, h * 0.42, 14);
        cairo_fill(cr);
        rgb(cr, 255, 255, 255);
        cairo_rectangle(cr, w * 0.33, h * 0.34, w * 0.34, h * 0.32);
        cairo_fill(cr);
        rgb(cr, 60, 180, 90);
        cairo_set_line_width(cr, 6);
        cairo_move_to(cr, w * 0.4, h * 0.45);
        cairo_line_to(cr, w * 0.47, h * 0.5);
        cairo_line_to(cr, w * 0.6, h * 0.39);
        cairo_stroke(cr);
        rgb(cr, 230, 90, 40);
        centredText(cr, "¥ 理赔到账", w / 2.0, h * 0.59, 16);
        rgb(cr, 255, 255, 255);
        centredText(cr, "在线理赔", w / 2.0, h * 0.15, 34);
        centredText(cr, "足不出户 赔款到账", w / 2.0, h * 0.22, 16, false);
    } else if (name == "快处") {
        landscape(cr, w, h);
        car(cr, w * 0.08, h * 0.66, 130, 70, 40, 110, 210);
        car(cr, w * 0.52, h * 0.665, 120, 66, 250, 200, 40);
        rgb(cr, 255, 255, 255);
        centredText(cr, "快处", w / 2.0, h * 0.2, 64);
        centredText(cr, "小事故 拍照快处 快速撤离", w / 2.0, h * 0.31, 17, false);
    } else if (name == "立即体验") {
        rgb(cr, 255, 140, 40);
        roundedRect(cr, 0.5, 0.5, w - 1, h - 1, h / 2.0 - 1);
        cairo_fill(cr);
        rgb(cr, 255, 255, 255);
        fittedText(cr, "立即体验", w, h, h * 0.5);
    } else if (name == "下拉选择") {
        rgb(cr, 150, 150, 150);
        cairo_move_to(cr, 1, 1);
        cairo_line_to(cr, w - 1, 1);
        cairo_line_to(cr, w / 2.0, h - 1);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else {
        return false;
    }
    return true;
}
