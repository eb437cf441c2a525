#include "platform/graphics/Color.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace graphics {

double Color::luminance() const {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b);
}

double Color::contrast(const Color& a, const Color& b) {
    double la = a.luminance(), lb = b.luminance();
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::string Color::description() const {
    auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    char alpha[32];
    std::snprintf(alpha, sizeof alpha, "%g", std::clamp(a, 0.0, 1.0));
    char out[96];
    std::snprintf(out, sizeof out, "rgba(%d,%d,%d,%s)", byte(r), byte(g), byte(b), alpha);
    return out;
}

}  // namespace graphics
