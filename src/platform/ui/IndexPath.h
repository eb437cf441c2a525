#pragma once
#include <compare>
#include <string>

namespace ui {

struct IndexPath {
    int section = 0;
    int row = 0;
    static IndexPath forRow(int row, int section) { return {section, row}; }
    auto operator<=>(const IndexPath&) const = default;
    bool operator==(const IndexPath&) const = default;
    std::string description() const { return "[" + std::to_string(section) + ", " + std::to_string(row) + "]"; }
};

}  // namespace ui
