#pragma once
#include <functional>
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

// The two sign buttons of the signing footers, side by side: "本方驾驶员签字" and "对方驾驶员签字"
// in their parties' colours on their parties' tints, each half the footer less the
// margins (12.5 at the sides and between them) and 39 high. A signed party's button later shows
// the signature instead of its title.
class SignButtonPair {
public:
    // A tap of the own party's button (`own`) or the other party's, with the tapped button.
    using Tapped = std::function<void(bool own, const std::shared_ptr<ui::Button>& button)>;

    static constexpr const char* kSign1Title = "本方驾驶员签字";
    static constexpr const char* kSign2Title = "对方驾驶员签字";
    static constexpr double kHeight = 39;

    SignButtonPair() = default;
    SignButtonPair(const SignButtonPair&) = delete;
    SignButtonPair& operator=(const SignButtonPair&) = delete;
    // A button somebody still holds no longer reaches its footer.
    ~SignButtonPair();

    // Adds both buttons to `footer` at `top`, just below `above` (one of its subviews) in the
    // footer's order of subviews.
    void add(ui::View& footer, double top, const std::shared_ptr<ui::View>& above, Tapped tapped);

    std::shared_ptr<ui::Button> sign1() const { return sign1_.lock(); }
    std::shared_ptr<ui::Button> sign2() const { return sign2_.lock(); }

private:
    Tapped tapped_;
    std::weak_ptr<ui::Button> sign1_, sign2_;
};
