#pragma once
#include <functional>
#include <memory>
#include <string>

namespace ui {
class BarButtonItem;
class ViewController;
}  // namespace ui
class ProgressHUD;
class TwoButtonAlertView;

// The report that the photos of the case are all submitted ("taskstate" with "accidenttype"
// "7" and "type" "2"), which the screens that end a round of photos send, and the offer to send
// it again when it did not go through.
//
// One report at a time: a send while one is under way is ignored, and the offer to send again
// is withdrawn the moment a send starts, so that neither a double tap nor a tap during the
// screen's closing sends it twice. The spinner "正在加载..." covers the window meanwhile. A
// report the server refused or that never reached it is told by the API client (its toast),
// logged, and offered again in the screen's way. Answered "200": the spinner goes and
// `onReported` is called.
//
// The screen owns its report. A screen gone before the answer hears nothing; a spinner still
// standing for its report is taken away all the same, and a question still shown goes with it.
class PhotoReport : public std::enable_shared_from_this<PhotoReport> {
public:
    static constexpr const char* kReportingText = "正在加载...";
    static constexpr const char* kReportAgainTitle = "重新提交";
    // The question of `Retry::SidewaysQuestion`.
    static constexpr const char* kFailedTitle = "温馨提示";
    static constexpr const char* kFailedText = "照片提交未成功,是否重新提交?";
    static constexpr const char* kLaterTitle = "取消";

    // How a report that did not go through is offered again.
    enum class Retry {
        // The question kFailedTitle / kFailedText with "取消" and "重新提交", turned a quarter so
        // that it lies on its side like the camera in front of the screen.
        SidewaysQuestion,
        // "重新提交" as the right item of the screen's navigation bar.
        BarItem,
    };

    // `screen` (held weakly) carries the bar item of `Retry::BarItem`.
    PhotoReport(std::weak_ptr<ui::ViewController> screen, Retry retry, std::function<void()> onReported);
    ~PhotoReport();
    PhotoReport(const PhotoReport&) = delete;
    PhotoReport& operator=(const PhotoReport&) = delete;

    // Sends the report with the case of the user state (main thread only).
    void send();
    bool sending() const { return sending_; }

private:
    friend class PhotoReportTestAPI;

    void offerAgain();
    void withdrawOffer();

    const std::weak_ptr<ui::ViewController> screen_;
    const Retry retry_;
    const std::function<void()> onReported_;
    bool sending_ = false;
    std::shared_ptr<TwoButtonAlertView> question_;
    std::weak_ptr<ui::BarButtonItem> barItem_;
};
