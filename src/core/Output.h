#pragma once
#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

namespace ui {
class ViewController;
}

// What a screen reports (a tap, a chosen vehicle, the parties), wired by the road that made the
// screen to whatever comes next. A screen declares each output with itself and the output's name:
//
//     Output<void(const InsuranceCompany& insurer)> onReport{this, "onReport"};
//
// and calls it like a function. Calling an output that nothing wired is a fault of the road, never
// a silent dead button: the spinner is hidden (and the screen's own loading one), and an error
// naming the screen and the output is logged (which fails the test that caused it).
template <class Signature>
class Output;

namespace output_detail {
// Hides the spinners of `screen` and logs that its output `name` is not wired.
void reportUnwired(ui::ViewController& screen, const char* name);
}  // namespace output_detail

template <class... Args>
class Output<void(Args...)> {
public:
    using Function = std::function<void(Args...)>;

    Output(ui::ViewController* screen, const char* name) : screen_(screen), name_(name) {}
    // An output belongs to its screen: it is wired, never copied away.
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, Output> && std::is_constructible_v<Function, F>) Output& operator=(
        F&& function) {
        function_ = std::forward<F>(function);
        return *this;
    }

    explicit operator bool() const { return static_cast<bool>(function_); }

    // Calls what is wired; false (after the report above) when nothing is. The function runs
    // from a copy, so a hand-over that closes the screen does not pull it from under itself.
    bool operator()(Args... args) const {
        if (!function_) {
            output_detail::reportUnwired(*screen_, name_);
            return false;
        }
        Function function = function_;
        function(std::forward<Args>(args)...);
        return true;
    }

private:
    ui::ViewController* const screen_;
    const char* const name_;
    Function function_;
};
