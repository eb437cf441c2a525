#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/Button.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

// A confirmation dialog with a title, a text and one or two buttons, shown over the root
// screen of the application. A button press removes it, calls the dismiss block, then the
// block of that button.
class TwoButtonAlertView : public ui::View, public ui::Dialog {
public:
    using Block = std::function<void()>;

    // A nil (or empty) left title gives only the right button.
    TwoButtonAlertView(const std::string& title, const std::string& contentText,
                       const std::optional<std::string>& leftButtonTitle, const std::string& rightButtonTitle);
    std::string className() const override { return "TwoButtonAlertView"; }
    std::string dialogKind() const override { return "alert"; }
    std::string dialogTitle() const override { return titleLabel_->text(); }
    std::string dialogMessage() const override { return contentLabel_->text(); }
    std::vector<std::string> dialogButtons() const override;

    // Adds the alert over the view of the key window's root screen, centred, with a dimmed
    // background that takes the taps meant for the screen. The alert must be held by a
    // shared_ptr. Its transform may be changed afterwards.
    void show();
    // Takes the alert (and its background) off the screen without calling any block.
    void dismiss();
    bool isShown() const { return superview() != nullptr; }

    void setLeftBlock(Block block) { leftBlock_ = std::move(block); }
    void setRightBlock(Block block) { rightBlock_ = std::move(block); }
    void setDismissBlock(Block block) { dismissBlock_ = std::move(block); }

    static constexpr double kWidth = 270;

private:
    friend class TwoButtonAlertViewTestAPI;
    void pressed(bool left);

    std::shared_ptr<ui::Label> titleLabel_;
    std::shared_ptr<ui::Label> contentLabel_;
    // Null when there is no left button.
    std::shared_ptr<ui::Button> leftButton_;
    std::shared_ptr<ui::Button> rightButton_;
    // The dimmed background while shown.
    std::shared_ptr<ui::View> background_;
    Block leftBlock_, rightBlock_, dismissBlock_;
};
