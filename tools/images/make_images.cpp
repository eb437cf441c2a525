// Writes the bundle's pictures: reads "name width height colour" lines and writes
// <output directory>/<name>.png for each, a filled rectangle with a darker border.
//
//   make_images <list file> <output directory>
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

struct Colour {
    double r = 0, g = 0, b = 0, a = 1;
};

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

bool writeImage(const std::filesystem::path& path, int width, int height, const Colour& c) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
    cairo_paint(cr);
    if (c.a > 0 && width > 2 && height > 2) {
        cairo_set_source_rgba(cr, c.r * 0.7, c.g * 0.7, c.b * 0.7, c.a);
        cairo_set_line_width(cr, 1);
        cairo_rectangle(cr, 0.5, 0.5, width - 1, height - 1);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    bool ok = cairo_surface_write_to_png(surface, temporary.c_str()) == CAIRO_STATUS_SUCCESS;
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
        std::string name, colourText;
        int width = 0, height = 0;
        Colour colour;
        if (!(fields >> name >> width >> height >> colourText) || width <= 0 || height <= 0 || width > 4096 ||
            height > 4096 || !parseColour(colourText, colour) || name.find('/') != std::string::npos) {
            std::cerr << argv[1] << ":" << lineNumber << ": bad line: " << line << "\n";
            ++failures;
            continue;
        }
        if (!writeImage(out / (name + ".png"), width, height, colour)) {
            std::cerr << "make_images: cannot write " << name << ".png\n";
            ++failures;
            continue;
        }
        ++written;
    }
    std::cout << "make_images: " << written << " images written to " << out.string() << "\n";
    return failures ? 1 : 0;
}
