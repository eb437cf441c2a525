#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace ui {

class AlertView;

class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void clickedButtonAtIndex(AlertView& alert, int buttonIndex) { (void)alert; (void)buttonIndex; }
    virtual void willDismissWithButtonIndex(AlertView& alert, int buttonIndex) { (void)alert; (void)buttonIndex; }
    virtual void didDismissWithButtonIndex(AlertView& alert, int buttonIndex) { (void)alert; (void)buttonIndex; }
};

// The system alert: a title, a message and buttons. Indexes: the cancel button 0 (when
// there is one), then the other buttons in order. show() puts it over the key window (a
// dimming view of the window's size that takes every touch, a box in the middle with a Label
// per text and a Button per title) and into visibleAlerts(). A tap on a button: clicked,
// will-dismiss, the alert leaves the screen, did-dismiss (delegate, then the blocks),
// all at once. The alert stays alive while shown.
class AlertView : public View, public Dialog {
public:
    using IndexBlock = std::function<void(int buttonIndex)>;

    AlertView(const std::string& title, const std::string& message, std::weak_ptr<AlertViewDelegate> delegate,
              const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles = {});
    std::string className() const override { return "AlertView"; }

    const std::string& title() const { return title_; }
    void setTitle(const std::string& t) { title_ = t; }
    const std::string& message() const { return message_; }
    void setMessage(const std::string& m) { message_ = m; }
    std::shared_ptr<AlertViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<AlertViewDelegate> d) { delegate_ = std::move(d); }
    void setClickedBlock(IndexBlock b) { clickedBlock_ = std::move(b); }
    void setDismissBlock(IndexBlock b) { dismissBlock_ = std::move(b); }

    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return static_cast<int>(buttonTitles_.size()); }
    std::string buttonTitleAtIndex(int index) const;
    const std::vector<std::string>& buttonTitles() const { return buttonTitles_; }
    int cancelButtonIndex() const { return cancelIndex_; }
    int firstOtherButtonIndex() const;
    // The index of the button with that title, or -1.
    int indexOfButtonWithTitle(const std::string& title) const;

    void show();
    bool isVisible() const { return visible_; }
    // A finger on the button: clicked, then dismissed with that index.
    void clickButtonAtIndex(int index);
    // Dismissal in code: will/did-dismiss only.
    void dismissWithClickedButtonIndex(int index, bool animated);

    // Alerts on screen, oldest first.
    static std::vector<std::shared_ptr<AlertView>> visibleAlerts();
    static void resetAll();

    void layoutSubviews() override;
    std::string describeContent() const override { return title_ + (message_.empty() ? "" : " " + message_); }
    std::string dialogKind() const override { return "alert"; }
    std::string dialogTitle() const override { return title_; }
    std::string dialogMessage() const override { return message_; }
    std::vector<std::string> dialogButtons() const override { return buttonTitles_; }

private:
    void build();
    void finish(int index);
    std::string title_, message_;
    std::weak_ptr<AlertViewDelegate> delegate_;
    std::vector<std::string> buttonTitles_;
    int cancelIndex_ = -1;
    IndexBlock clickedBlock_, dismissBlock_;
    bool visible_ = false;
    std::shared_ptr<View> box_;
};

}  // namespace ui
