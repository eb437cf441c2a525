#pragma once
#include <functional>
#include <memory>

// The question whether the account has vehicles on file, asked before the vehicle choice: the
// account's vehicles ("getusercarlist", signed) under the spinner "正在加载...". The answer
// decides what opens next: `answered(true)` when they came ("200"), the vehicle choice;
// `answered(false)` on any other outcome, the parties' form.
//
// One question at a time: another while one is under way is ignored, so that a double tap or
// a block called twice opens one screen. The spinner goes when the answer comes, also when the
// screen that owns the check has gone meanwhile; a screen gone hears nothing.
class VehicleListCheck : public std::enable_shared_from_this<VehicleListCheck> {
public:
    static constexpr const char* kLoadingText = "正在加载...";

    explicit VehicleListCheck(std::function<void(bool arrived)> answered);
    VehicleListCheck(const VehicleListCheck&) = delete;
    VehicleListCheck& operator=(const VehicleListCheck&) = delete;

    // Asks (main thread only).
    void ask();
    bool asking() const { return asking_; }

private:
    const std::function<void(bool arrived)> answered_;
    bool asking_ = false;
};
