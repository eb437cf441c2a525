#pragma once
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Geometry.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

// A choice card on a white ground: a picture 40 pt below the top edge and, 30 pt below it, a
// blue button 230 x 44 pt, both centred across the card. Tapping the button (touch-up-inside)
// runs `onTap`. The card holds its picture and button only through its subviews.
class CardView : public ui::View {
public:
    static constexpr double kPictureTop = 40;
    static constexpr double kButtonGap = 30;
    static constexpr double kButtonWidth = 230;
    static constexpr double kButtonHeight = 44;

    CardView(const std::string& imageName, ui::Size pictureSize, const std::string& title);
    ~CardView() override;
    std::string className() const override { return "CardView"; }

    // Run on every tap of the button; nothing when empty.
    std::function<void()> onTap;

    std::shared_ptr<ui::ImageView> picture() const { return picture_.lock(); }
    std::shared_ptr<ui::Button> button() const { return button_.lock(); }
    ui::Size pictureSize() const { return pictureSize_; }

    void layoutSubviews() override;

private:
    void buttonTapped();

    ui::Size pictureSize_;
    std::weak_ptr<ui::ImageView> picture_;
    std::weak_ptr<ui::Button> button_;
};
