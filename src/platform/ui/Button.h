#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

namespace ui {

enum class ButtonType { Custom, System };

// A button with a title, image and background image per state. The value shown for the
// current state is the one set for exactly that state (Highlighted, Disabled, Selected, or a
// combination), else the Normal one. Custom buttons have white titles by default, system
// buttons the tint colour (grey when disabled). The image and the title sit side by side,
// centred (or as the content alignment says) inside the bounds less contentEdgeInsets, each
// moved by its own edge insets; the background image fills the bounds. Disabled, a button
// that adjusts its images when disabled and has no image of its own for that state draws its
// image and its background image faded to half strength over what lies behind, as a phone
// dims a button that cannot be pressed; the title keeps its colour.
class Button : public Control {
public:
    explicit Button(ButtonType type = ButtonType::Custom);
    Button(ButtonType type, Rect frame);
    static std::shared_ptr<Button> create(ButtonType type = ButtonType::Custom);
    std::string className() const override { return "Button"; }

    ButtonType buttonType() const { return type_; }

    void setTitle(const std::string& title, ControlState state = ControlStates::Normal);
    void setTitleColor(const Color& color, ControlState state = ControlStates::Normal);
    void setImage(ImagePtr image, ControlState state = ControlStates::Normal);
    void setBackgroundImage(ImagePtr image, ControlState state = ControlStates::Normal);
    void setAttributedTitle(std::optional<AttributedString> title, ControlState state = ControlStates::Normal);
    // Null / empty / nullopt when nothing is set for exactly that state.
    std::optional<std::string> titleForState(ControlState state) const;
    std::optional<Color> titleColorForState(ControlState state) const;
    ImagePtr imageForState(ControlState state) const;
    ImagePtr backgroundImageForState(ControlState state) const;

    // What the current state shows.
    std::string currentTitle() const;
    Color currentTitleColor() const;
    ImagePtr currentImage() const;
    ImagePtr currentBackgroundImage() const;

    // The views that show the title and the image (made at construction).
    std::shared_ptr<Label> titleLabel() const { return titleLabel_; }
    std::shared_ptr<ImageView> imageView() const { return imageView_; }

    EdgeInsets contentEdgeInsets() const { return contentInsets_; }
    void setContentEdgeInsets(EdgeInsets e) { contentInsets_ = e; setNeedsLayout(); }
    EdgeInsets titleEdgeInsets() const { return titleInsets_; }
    void setTitleEdgeInsets(EdgeInsets e) { titleInsets_ = e; setNeedsLayout(); }
    EdgeInsets imageEdgeInsets() const { return imageInsets_; }
    void setImageEdgeInsets(EdgeInsets e) { imageInsets_ = e; setNeedsLayout(); }
    bool adjustsImageWhenHighlighted() const { return adjustsImageWhenHighlighted_; }
    void setAdjustsImageWhenHighlighted(bool v) { adjustsImageWhenHighlighted_ = v; }
    bool adjustsImageWhenDisabled() const { return adjustsImageWhenDisabled_; }
    void setAdjustsImageWhenDisabled(bool v) { adjustsImageWhenDisabled_ = v; }
    bool showsTouchWhenHighlighted() const { return showsTouch_; }
    void setShowsTouchWhenHighlighted(bool v) { showsTouch_ = v; }

    // Frames of the title and the image for the current state and bounds.
    Rect titleRectForContentRect(Rect content) const;
    Rect imageRectForContentRect(Rect content) const;
    Rect contentRectForBounds(Rect bounds) const;

    void layoutSubviews() override;
    Size sizeThatFits(Size size) const override;
    Size intrinsicContentSize() const override;
    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override;
    // How strongly a disabled button's images are drawn (see above).
    static constexpr double kDisabledAlpha = 0.5;
    // Whether the background image is drawn faded now.
    bool dimsDisabledBackground() const;

protected:
    void stateChanged() override;

private:
    void init();
    void updateContent();
    template <class T>
    static const T* lookup(const std::map<ControlState, T>& m, ControlState s);
    ButtonType type_;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<ImageView> imageView_;
    std::map<ControlState, std::string> titles_;
    std::map<ControlState, AttributedString> attributedTitles_;
    std::map<ControlState, Color> titleColors_;
    std::map<ControlState, ImagePtr> images_;
    std::map<ControlState, ImagePtr> backgroundImages_;
    EdgeInsets contentInsets_, titleInsets_, imageInsets_;
    bool adjustsImageWhenHighlighted_ = true;
    bool adjustsImageWhenDisabled_ = true;
    bool showsTouch_ = false;
};

}  // namespace ui
