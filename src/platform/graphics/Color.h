#pragma once
#include <cstdint>
#include <string>

namespace graphics {

// RGBA, components 0..1.
struct Color {
    double r = 0, g = 0, b = 0, a = 0;
    static Color rgba(double r, double g, double b, double a = 1) { return {r, g, b, a}; }
    static Color rgbBytes(uint8_t r, uint8_t g, uint8_t b, double a = 1) { return {r / 255.0, g / 255.0, b / 255.0, a}; }
    static Color grey(double white, double a = 1) { return {white, white, white, a}; }
    static Color white() { return {1, 1, 1, 1}; }
    static Color black() { return {0, 0, 0, 1}; }
    static Color clear() { return {0, 0, 0, 0}; }
    static Color red() { return {1, 0, 0, 1}; }
    static Color lightGray() { return grey(2.0 / 3); }
    static Color darkGray() { return grey(1.0 / 3); }
    static Color gray() { return grey(0.5); }
    Color withAlpha(double alpha) const { return {r, g, b, alpha}; }
    bool isClear() const { return a <= 0; }
    bool operator==(const Color&) const = default;
    std::string description() const;  // "rgba(47,203,235,1)"

    // Relative luminance, as readers' contrast is measured (0 black to 1 white; alpha ignored).
    double luminance() const;
    // The contrast ratio of two colours for reading text on one another, 1:1 to 21:1.
    static double contrast(const Color& a, const Color& b);
};

}  // namespace graphics
