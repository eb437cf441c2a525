#pragma once
#include <memory>
#include <string>

namespace ui {
class View;
class Window;
}  // namespace ui

class ProgressHUD;

// Told when a HUD has gone (its view left the screen).
class ProgressHUDDelegate {
public:
    virtual ~ProgressHUDDelegate() = default;
    virtual void hudWasHidden(ProgressHUD& hud) { (void)hud; }
};

// The waiting spinner and the toast shown over the whole window.
class ProgressHUD : public std::enable_shared_from_this<ProgressHUD> {
public:
    // A spinner with the text over the last window of the application; it dims and blocks
    // taps behind it until hideHUD. A spinner already shown is replaced. Returns the HUD.
    static std::shared_ptr<ProgressHUD> showMessage(const std::string& text);
    // The text with the icon "error.png"; hides itself after 1.0 s of the run loop's clock.
    // It does not block taps.
    static std::shared_ptr<ProgressHUD> showError(const std::string& text);
    // The text with the icon "success.png"; hides itself after 1.0 s like the error toast.
    static std::shared_ptr<ProgressHUD> showSuccess(const std::string& text);
    // Hides, animated, the spinner that showMessage showed, if any, wherever it is (also when
    // another window came on top of it since).
    static void hideHUD();

    // A spinner with the text over `view` (a screen's loading overlay): it dims and blocks
    // taps on that view until hidden.
    static std::shared_ptr<ProgressHUD> showHUDAddedTo(const std::shared_ptr<ui::View>& view, const std::string& text);
    // Hides this HUD; without animation its view leaves at once, else after the fade.
    void hide(bool animated);

    // What is on screen now (tests and the simulator read these): the HUD shown last that is
    // still visible, or null.
    static std::shared_ptr<ProgressHUD> current();
    // The spinner of showMessage while it is shown, or null.
    static std::shared_ptr<ProgressHUD> currentSpinner();
    std::string text() const { return text_; }
    bool isError() const { return isError_; }
    // A toast (error or success) rather than a spinner.
    bool isToast() const { return !icon_.empty(); }
    bool isVisible() const;

    void setDelegate(std::weak_ptr<ProgressHUDDelegate> delegate) { delegate_ = std::move(delegate); }

    // Seconds the error toast stays, and the fade of an animated hide.
    static constexpr double kErrorDuration = 1.0;
    static constexpr double kFadeDuration = 0.3;

    ProgressHUD(std::string text, bool isError);
    virtual ~ProgressHUD();

    // Forgets every HUD (tests).
    static void resetForTesting();

private:
    static std::shared_ptr<ProgressHUD> showToast(const std::string& text, const std::string& icon, bool isError);
    void build(const std::shared_ptr<ui::View>& host);
    void finishHiding();

    std::string text_;
    bool isError_;
    std::string icon_;  // the toast's image; empty for a spinner
    bool hidden_ = false;
    std::shared_ptr<ui::View> view_;
    std::weak_ptr<ui::Window> window_;
    std::weak_ptr<ProgressHUDDelegate> delegate_;
    friend class ProgressHUDTestAPI;
};
