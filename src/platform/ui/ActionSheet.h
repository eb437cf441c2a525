#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/View.h"

namespace ui {

class ActionSheet;

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void clickedButtonAtIndex(ActionSheet& sheet, int buttonIndex) { (void)sheet; (void)buttonIndex; }
    virtual void willDismissWithButtonIndex(ActionSheet& sheet, int buttonIndex) { (void)sheet; (void)buttonIndex; }
    virtual void didDismissWithButtonIndex(ActionSheet& sheet, int buttonIndex) { (void)sheet; (void)buttonIndex; }
    virtual void actionSheetCancel(ActionSheet& sheet) { (void)sheet; }
};

// The system action sheet. Button indexes as on the phone: the destructive button first
// (when there is one), then the other buttons in order, the cancel button last. showInView
// puts it over the window of the view (dimming view that takes every touch, buttons at the
// bottom) and into visibleSheets(). A tap on a button: clicked, will-dismiss, leaves the
// screen, did-dismiss (delegate, then blocks), all at once.
//
// Views added to the sheet (a picker wheel, say) are its content: they lie inside the sheet's
// panel, under the title and above the buttons, one under the other at their own heights and
// the panel's width, on the panel's opaque background.
class ActionSheet : public View, public Dialog {
public:
    using IndexBlock = std::function<void(int buttonIndex)>;

    ActionSheet(const std::string& title, std::weak_ptr<ActionSheetDelegate> delegate, const std::string& cancelButtonTitle,
                const std::string& destructiveButtonTitle, const std::vector<std::string>& otherButtonTitles = {});
    std::string className() const override { return "ActionSheet"; }

    const std::string& title() const { return title_; }
    std::shared_ptr<ActionSheetDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<ActionSheetDelegate> d) { delegate_ = std::move(d); }
    void setClickedBlock(IndexBlock b) { clickedBlock_ = std::move(b); }
    void setDismissBlock(IndexBlock b) { dismissBlock_ = std::move(b); }

    // Adds a button after the existing ones (before a cancel button made by the constructor).
    int addButtonWithTitle(const std::string& title);
    int numberOfButtons() const { return static_cast<int>(buttonTitles_.size()); }
    std::string buttonTitleAtIndex(int index) const;
    const std::vector<std::string>& buttonTitles() const { return buttonTitles_; }
    int cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(int i) { cancelIndex_ = i; }
    int destructiveButtonIndex() const { return destructiveIndex_; }
    int firstOtherButtonIndex() const { return firstOtherIndex_; }
    int indexOfButtonWithTitle(const std::string& title) const;

    // Shows it over the window of `view` (the key window when the view is in none).
    void showInView(const std::shared_ptr<View>& view);
    bool isVisible() const { return visible_; }
    std::shared_ptr<View> shownInView() const { return shownIn_.lock(); }
    void clickButtonAtIndex(int index);
    void dismissWithClickedButtonIndex(int index, bool animated);

    static std::vector<std::shared_ptr<ActionSheet>> visibleSheets();
    static void resetAll();

    void layoutSubviews() override;
    void didAddSubview(View* subview) override;
    void willRemoveSubview(View* subview) override;
    std::string describeContent() const override { return title_; }
    std::string dialogKind() const override { return "sheet"; }
    std::string dialogTitle() const override { return title_; }
    std::string dialogMessage() const override { return ""; }
    std::vector<std::string> dialogButtons() const override { return buttonTitles_; }

private:
    void build();
    std::vector<std::shared_ptr<View>> contentViews() const;
    double contentHeight() const;
    void finish(int index);
    std::string title_;
    std::weak_ptr<ActionSheetDelegate> delegate_;
    std::vector<std::string> buttonTitles_;
    int cancelIndex_ = -1, destructiveIndex_ = -1, firstOtherIndex_ = -1;
    IndexBlock clickedBlock_, dismissBlock_;
    bool visible_ = false;
    std::weak_ptr<View> shownIn_;
    std::shared_ptr<View> box_;
    double builtContentHeight_ = 0;  // the content height the panel was built for
    double titleHeight_ = 0;         // where the content starts in the panel
};

}  // namespace ui
