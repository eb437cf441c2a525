#pragma once
#include <memory>
#include <ostream>
#include <string>
#include <utility>

namespace driver {

// What a driver action came to: success (with an optional note of what happened), or a
// message that says what went wrong in words a test failure or the simulator can print.
//   auto r = driver.tap("确定");
//   ASSERT_TRUE(r) << r;
class Outcome {
public:
    static Outcome success(std::string note = "") { return Outcome(true, std::move(note)); }
    static Outcome failure(std::string message) { return Outcome(false, std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    // The failure message, or the note of a success.
    const std::string& message() const { return message_; }

private:
    Outcome(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}
    bool ok_;
    std::string message_;
};

inline std::ostream& operator<<(std::ostream& os, const Outcome& outcome) {
    return os << (outcome.ok() ? "ok" : "failed") << (outcome.message().empty() ? "" : ": ") << outcome.message();
}

// A view the driver looked for: the view, or why none was found.
//   auto field = driver.find<ui::TextField>(driver::ViewQuery::byPlaceholder("手机号"));
//   ASSERT_TRUE(field) << field.error();
//   field->text();
template <class T>
class Found {
public:
    Found(std::shared_ptr<T> view) : view_(std::move(view)) {   // NOLINT: implicit on purpose
        if (!view_) error_ = "nothing found";
    }
    static Found failure(std::string error) {
        Found f(nullptr);
        f.error_ = std::move(error);
        return f;
    }

    bool ok() const { return view_ != nullptr; }
    explicit operator bool() const { return ok(); }
    const std::shared_ptr<T>& view() const { return view_; }
    T* operator->() const { return view_.get(); }
    T& operator*() const { return *view_; }
    const std::string& error() const { return error_; }
    Outcome outcome() const { return ok() ? Outcome::success() : Outcome::failure(error_); }

private:
    std::shared_ptr<T> view_;
    std::string error_;
};

template <class T>
std::ostream& operator<<(std::ostream& os, const Found<T>& found) {
    return os << (found.ok() ? "found" : found.error());
}

}  // namespace driver
