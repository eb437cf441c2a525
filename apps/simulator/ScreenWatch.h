#pragma once
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace ui {
class View;
class ViewController;
}  // namespace ui

namespace driver {
class Driver;
}

namespace simulator {

// Watches what a person would notice come and go on the phone and tells it in short lines:
//   [screen: ClientViewController "当事人信息"]     a new screen on top, with its title
//   [spinner: "正在提交..."]  [gone: spinner]      a waiting spinner and its end
//   [message: "请输入驾驶人姓名"]                    a message that shows for a while (a toast)
//   [alert: "提示" "message" buttons: "取消" "确定"]  [gone: alert "提示"]  (every dialog, the
//                                                 system's or one a screen draws itself)
//   [sheet: "原因" buttons: "完成" "取消"]            [gone: sheet "原因"]
//   [call: 122]  [opened: http://...]              a telephone call or another URL opened
// Views arriving on a window are noted when they arrive, so that one shown and gone between
// two reports is still told.
class ScreenWatch {
public:
    ScreenWatch() = default;
    ~ScreenWatch();
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;

    // Starts watching; what shows now counts as seen.
    void start(const driver::Driver& driver);
    void stop();
    // Writes what appeared or went since the last report, one indented line each.
    void report(std::ostream& out);
    // What else a person would notice (an SMS arriving on another phone, say): asked at each
    // report for the lines that are new since the last one.
    void setNewsSource(std::function<std::vector<std::string>()> source) { news_ = std::move(source); }
    // Screens of a practice case are marked as such until a home or login page shows again.
    void setPractice(bool practice) { practice_ = practice; }
    bool practice() const { return practice_; }

    // The line for a new top screen.
    static std::string screenLine(const std::shared_ptr<ui::ViewController>& screen);
    // The line for an opened URL ("telprompt://122" and "tel:122" are calls).
    static std::string urlLine(const std::string& url);

private:
    void arrived(const std::shared_ptr<ui::View>& view);
    void announceDialog(const std::shared_ptr<ui::View>& view);

    struct Shown {
        std::weak_ptr<ui::View> view;
        std::string gone;  // the line when it leaves ("" when its going is not told)
    };
    const driver::Driver* driver_ = nullptr;
    bool watching_ = false;
    std::vector<std::string> pending_;
    std::vector<Shown> shown_;
    std::weak_ptr<ui::ViewController> top_;
    bool hadTop_ = false;
    size_t urlsSeen_ = 0;
    std::function<std::vector<std::string>()> news_;
    bool practice_ = false;
};

}  // namespace simulator
