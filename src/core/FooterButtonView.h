#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/Types.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// Where a footer puts its one button and what lies behind it.
struct FooterButtonLayout {
    double height = 0;        // the footer's height (it is as wide as the screen)
    double sideMargin = 0;    // the button's distance from both sides
    double top = 0;           // the button's distance from the top
    double buttonHeight = 0;  // the button's height
    std::optional<ui::Color> background;  // none: the footer's own (clear) ground

    // The lists' and forms' confirmation footer: 64 high, the button 12.5 from the sides and
    // the top, 39 high.
    static FooterButtonLayout confirmation(std::optional<ui::Color> background = std::nullopt) {
        return {64, 12.5, 12.5, 39, background};
    }
    // A table footer `height` high with the button 10 from the sides, 60 from the top, 44 high.
    static FooterButtonLayout spacious(double height) { return {height, 10, 60, 44, std::nullopt}; }
};

// A footer as wide as the screen holding one full-width button (made by the caller, usually
// Theme::blueButton or Theme::greyButton). Tapping the button (touch-up-inside) runs `onTap`.
// The footer holds its button only through its subviews.
class FooterButtonView : public ui::View {
public:
    FooterButtonView(std::shared_ptr<ui::Button> button, const FooterButtonLayout& layout);
    ~FooterButtonView() override;
    std::string className() const override { return "FooterButtonView"; }

    // Run on every tap of the button; nothing when empty.
    std::function<void()> onTap;

    std::shared_ptr<ui::Button> button() const { return button_.lock(); }

private:
    void buttonTapped();

    std::weak_ptr<ui::Button> button_;
};
