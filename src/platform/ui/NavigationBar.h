#pragma once
#include <memory>
#include <optional>

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace ui {

class NavigationController;

// Font and colour of the bar's title.
struct TextAttributes {
    std::optional<Font> font;
    std::optional<Color> color;
};

// The 44-point bar of a navigation controller (below the 20-point status bar). It shows the
// top screen's navigation item: the title (a Label, or the item's titleView) in the middle,
// the left item or else the back button at the left, the right item at the right. Items are
// shown as Buttons (className "Button"): an item with an image shows it untinted; a title
// item uses the bar's tint colour. The back button (title: the previous screen's back item
// title, else its title, else "返回") pops the top screen.
class NavigationBar : public View {
public:
    NavigationBar();
    std::string className() const override { return "NavigationBar"; }

    ImagePtr backgroundImage() const { return backgroundImage_; }
    void setBackgroundImage(ImagePtr image);
    const TextAttributes& titleTextAttributes() const { return titleAttributes_; }
    void setTitleTextAttributes(const TextAttributes& attributes);
    // Colour of item titles and the back button (default: the system blue).
    Color barTintItemColor() const { return tintColor().value_or(defaultTintColor()); }
    std::optional<Color> barTintColor() const { return barTintColor_; }
    void setBarTintColor(std::optional<Color> c) { barTintColor_ = c; setNeedsDisplay(); }
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool t) { translucent_ = t; }
    bool isNavigationBarHidden() const { return isHidden(); }

    // What is shown now.
    std::shared_ptr<Label> titleLabel() const { return titleLabel_; }
    std::shared_ptr<Button> leftButton() const { return leftButton_; }
    std::shared_ptr<Button> rightButton() const { return rightButton_; }
    std::shared_ptr<Button> backButton() const { return backButton_; }
    std::shared_ptr<View> titleView() const { return titleView_; }
    std::shared_ptr<NavigationItem> topItem() const { return topItem_.lock(); }
    std::shared_ptr<NavigationItem> backItem() const { return backItem_.lock(); }

    // Internal: set by the navigation controller whenever its stack or an item changes.
    void showItems(const std::shared_ptr<NavigationItem>& top, const std::shared_ptr<NavigationItem>& previous,
                   const std::string& previousTitle, std::function<void()> backAction);
    void refresh();

    void setHidden(bool hidden) override;
    void layoutSubviews() override;
    void draw(GraphicsContext& context, Rect rect) override;

private:
    std::shared_ptr<Button> makeItemButton(const std::shared_ptr<BarButtonItem>& item);
    ImagePtr backgroundImage_;
    TextAttributes titleAttributes_;
    std::optional<Color> barTintColor_;
    bool translucent_ = false;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<View> titleView_;
    std::shared_ptr<Button> leftButton_, rightButton_, backButton_;
    std::shared_ptr<View> leftCustom_, rightCustom_;
    std::weak_ptr<NavigationItem> topItem_, backItem_;
    std::string previousTitle_;
    std::function<void()> backAction_;
};

}  // namespace ui
