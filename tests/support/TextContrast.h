#pragma once
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

#include "platform/testing/Driver.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

// How well a text reads on the screen: the contrast ratio of its colour with the colour that
// covers most of its box in a screenshot (what lies behind it, whatever draws it: a background
// colour, a button's picture, a photo), as readers' contrast is measured (relative luminance,
// 1:1 to 21:1).
namespace textcontrast {

inline double ratio(const ui::Color& a, const ui::Color& b) { return ui::Color::contrast(a, b); }

// The commonest colour of the screenshot inside the view's box on the screen.
inline ui::Color behind(const driver::Driver& driver, const ui::View& view) {
    auto shot = driver.screenshot(1);
    ui::Rect box = view.convertRectToView(view.bounds(), nullptr);
    std::map<std::tuple<int, int, int>, int> counts;
    for (int y = static_cast<int>(box.minY()); y < static_cast<int>(box.maxY()); ++y) {
        for (int x = static_cast<int>(box.minX()); x < static_cast<int>(box.maxX()); ++x) {
            if (x < 0 || y < 0 || x >= shot->pixelWidth() || y >= shot->pixelHeight()) continue;
            ui::Color c = shot->pixel(x, y);
            ++counts[{static_cast<int>(std::lround(c.r * 255)), static_cast<int>(std::lround(c.g * 255)),
                      static_cast<int>(std::lround(c.b * 255))}];
        }
    }
    auto most = std::max_element(counts.begin(), counts.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most == counts.end()) return ui::Color::clear();
    auto [r, g, b] = most->first;
    return ui::Color::rgbBytes(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
}

// A label's text against what is behind it.
inline double ofLabel(const driver::Driver& driver, const ui::Label& label) {
    return ratio(label.textColor(), behind(driver, label));
}

// A button's title (as shown now) against the button's own picture or colour.
inline double ofButton(const driver::Driver& driver, const ui::Button& button) {
    return ratio(button.titleLabel()->textColor(), behind(driver, button));
}

// What text of this size must reach: 3:1 for large text (bold from 14 points, else from 18),
// 4.5:1 for the rest.
inline double needed(const ui::Font& font) { return (font.bold ? font.size >= 14 : font.size >= 18) ? 3.0 : 4.5; }

}  // namespace textcontrast
