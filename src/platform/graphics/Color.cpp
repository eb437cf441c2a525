#include "platform/graphics/Color.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace graphics {

std::string Color::description() const {
    auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    char alpha[32];
    std::snprintf(alpha, sizeof alpha, "%g", std::clamp(a, 0.0, 1.0));
    char out[96];
    std::snprintf(out, sizeof out, "rgba(%d,%d,%d,%s)", byte(r), byte(g), byte(b), alpha);
    return out;
}

}  // namespace graphics
