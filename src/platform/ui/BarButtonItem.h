#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Types.h"

namespace ui {

class Button;

enum class BarButtonItemStyle { Plain, Bordered, Done };

// An item of the navigation bar: a title or an image (or a custom view), with one action.
// The bar shows it as a Button (see NavigationBar); tapping that button runs the action.
class BarButtonItem : public std::enable_shared_from_this<BarButtonItem> {
public:
    using Action = std::function<void()>;

    BarButtonItem() = default;
    BarButtonItem(const std::string& title, BarButtonItemStyle style, Action action);
    BarButtonItem(ImagePtr image, BarButtonItemStyle style, Action action);
    explicit BarButtonItem(std::shared_ptr<View> customView);

    const std::string& title() const { return title_; }
    void setTitle(const std::string& t) { title_ = t; changed(); }
    ImagePtr image() const { return image_; }
    void setImage(ImagePtr i) { image_ = std::move(i); changed(); }
    BarButtonItemStyle style() const { return style_; }
    void setStyle(BarButtonItemStyle s) { style_ = s; }
    std::shared_ptr<View> customView() const { return customView_; }
    void setCustomView(std::shared_ptr<View> v) { customView_ = std::move(v); changed(); }
    std::optional<Color> tintColor() const { return tintColor_; }
    void setTintColor(std::optional<Color> c) { tintColor_ = c; changed(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; changed(); }
    int tag() const { return tag_; }
    void setTag(int t) { tag_ = t; }
    double width() const { return width_; }
    void setWidth(double w) { width_ = w; }

    const Action& action() const { return action_; }
    void setAction(Action a) { action_ = std::move(a); }
    // Runs the action (the item stays alive while it runs).
    void perform();

    // The button that shows the item in a bar, while shown (null otherwise).
    std::shared_ptr<Button> button() const { return button_.lock(); }

    // Internal: the bar listens to changes; the button the bar made.
    std::function<void()> onChange_;
    std::weak_ptr<Button> button_;

private:
    void changed() { if (onChange_) onChange_(); }
    std::string title_;
    ImagePtr image_;
    BarButtonItemStyle style_ = BarButtonItemStyle::Plain;
    std::shared_ptr<View> customView_;
    std::optional<Color> tintColor_;
    bool enabled_ = true;
    int tag_ = 0;
    double width_ = 0;
    Action action_;
};

// What a screen shows in the navigation bar while it is on top.
class NavigationItem {
public:
    const std::string& title() const { return title_; }
    void setTitle(const std::string& t) { title_ = t; changed(); }
    std::shared_ptr<View> titleView() const { return titleView_; }
    void setTitleView(std::shared_ptr<View> v) { titleView_ = std::move(v); changed(); }
    std::shared_ptr<BarButtonItem> leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false) { (void)animated; left_ = std::move(item); changed(); }
    std::shared_ptr<BarButtonItem> rightBarButtonItem() const { return right_; }
    void setRightBarButtonItem(std::shared_ptr<BarButtonItem> item, bool animated = false) { (void)animated; right_ = std::move(item); changed(); }
    // The item the bar shows as the back button of the screen above this one (its title;
    // the action is always "pop").
    std::shared_ptr<BarButtonItem> backBarButtonItem() const { return back_; }
    void setBackBarButtonItem(std::shared_ptr<BarButtonItem> item) { back_ = std::move(item); changed(); }
    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool h, bool animated = false) { (void)animated; hidesBackButton_ = h; changed(); }

    // Internal: the bar listens to changes.
    std::function<void()> onChange_;

private:
    void changed() { if (onChange_) onChange_(); }
    std::string title_;
    std::shared_ptr<View> titleView_;
    std::shared_ptr<BarButtonItem> left_, right_, back_;
    bool hidesBackButton_ = false;
};

}  // namespace ui
