#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "capture/entry/CaptureRequest.h"
#include "capture/entry/SituationModel.h"
#include "core/BaseViewController.h"
#include "core/CaseMode.h"
#include "core/Output.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

class PhotoReport;

// "选择事故情形": the situation of a case with two or more vehicles (the case is already open).
// The driver ticks exactly one row of the situation list; the last row (code "0", "other")
// opens a field for a short description, and so does any row whose code reads as 0 (a code
// that is not a number), since "下一步" asks for the text of every such row. "下一步" keeps the choice in the user
// state and opens the guided camera (`onCapture`) on the nine multi-car steps with the extra-car question. Every shot
// is uploaded with its step code at once; a failed upload waits in the failed-upload file for the retry. When the
// driver has no further vehicle to photograph, the photos are reported as submitted ("taskstate" "7","2") and the photo
// review wait opens
// (`onPhotoReview`); a report that did not go through is offered again by a question lying on
// its side over the camera, and after "取消" by "重新提交" in the camera's strip.
//
// The list comes from Documents/situation.plist (written by the home page) in a real case and
// from the bundle's copy in practice. It is read once each time the screen is about to appear;
// the rows keep that list until the next appearance, whatever happens to the file meanwhile.
// A real case without a usable file asks the server for the list ("getdictionary", spinner),
// keeps it in the file and shows it; when that fails the page says why and offers
// "重新获取" in place of "下一步".
//
// Practice (`simulateState`) sends nothing and writes nothing into the user state.
class AccidentSituationViewController : public BaseViewController,
                                        public ui::TableViewDataSource,
                                        public ui::TableViewDelegate {
public:
    static constexpr const char* kTitle = "选择事故情形";
    static constexpr const char* kNextTitle = "下一步";
    static constexpr const char* kPlaceholder = "请简单描述事故情形";
    static constexpr const char* kNothingChosenText = "请选择事故情形";
    static constexpr const char* kNoDescriptionText = "请输入事故情形";
    // The spinner until the camera shows.
    static constexpr const char* kCameraLoadingText = "加载中...";
    // The spinner while the list is fetched, the page's words when that failed, and its retry.
    static constexpr const char* kListLoadingText = "加载中...";
    static constexpr const char* kListFailedText = "未能取得事故情形列表:";
    static constexpr const char* kUnusableListText = "服务器给出的列表无法使用";
    static constexpr const char* kFetchAgainTitle = "重新获取";
    // The code of the free-text situation.
    static constexpr const char* kOtherCode = "0";
    static constexpr std::size_t kDescriptionLength = 200;
    static constexpr double kRowHeight = 44;
    static constexpr double kMargin = 12.5;
    static constexpr double kFieldHeight = 30;
    static constexpr double kButtonHeight = 39;
    // The list file in the documents directory, and the practice copy in the bundle.
    static constexpr const char* kFileName = "situation.plist";

    struct Arguments {
        GivenCaseMode simulateState;
    };
    // What the guided camera is opened with: the nine steps ({"title", "image", "detail"}
    // each), the case type (1: two or more cars, with the extra-car question) and the blocks
    // the camera calls (no per-shot block in practice).
    using CaptureRequest = ::CaptureRequest;

    explicit AccidentSituationViewController(Arguments arguments);
    std::string className() const override { return "AccidentSituationViewController"; }

    const CaseMode simulateState;

    // "下一步" with a valid choice: the guided camera.
    Output<void(CaptureRequest request)> onCapture{this, "onCapture"};
    // The photos are reported (at once in practice): the photo review wait of a new case.
    Output<void()> onPhotoReview{this, "onPhotoReview"};

    // The nine multi-car steps.
    static nlohmann::json multiCarImageArray();
    // The rows of a list as the file holds it: one model per dictionary element (anything else
    // is skipped); a list that is not an array gives none.
    static std::vector<SituationModel> situationsFromList(const std::optional<nlohmann::json>& list);
    // The tag of a row: its code read as an integer (not a number: 0, the free-text code).
    static int tagOfCode(const std::optional<std::string>& code);
    // The step code of the shot counted by `count` and `secondcount` (both advanced): the
    // first nine shots "1" to "9", then "1", "2", "3", "6", "7" for each further vehicle.
    // nullopt (counters unchanged) for a shot the table has no code for.
    static std::optional<std::string> multiCarImageType(std::size_t& count, std::size_t& secondcount);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    void backBtnClick();
    void confirmBtnClick();

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    friend class AccidentSituationTestAPI;

    // The counters of one capture: each appearance of the screen starts new ones, so that a
    // shot still on its way from a capture given up a moment ago is coded in its own capture.
    struct ShotCount {
        std::size_t count = 0;
        std::size_t secondcount = 0;
    };
    // What the per-shot action and the upload answers keep (main thread only).
    struct ShotBook {
        std::shared_ptr<ShotCount> current = std::make_shared<ShotCount>();
        nlohmann::json faildImageArray = nlohmann::json::array();
    };

    void reloadSituations();
    // Asks the server for the list when a real case has none (one request at a time).
    void fetchSituations();
    // The list arrived, or why it did not (shown on the page).
    void situationsFetched(const std::optional<nlohmann::json>& list, const std::string& why);
    void layout(bool animated);
    void setFieldOpen(bool open);
    void updateTicks();
    // Whether ticking the row opens the description field: the last row, and any row coded "0".
    bool asksForDescription(std::size_t row) const;
    // The row ticked now, if it is a row of the current list.
    std::optional<std::size_t> tickedRow() const;
    void openCamera();
    void reportPhotos();

    std::vector<SituationModel> accidentArray_;
    std::optional<std::size_t> ticked_;
    std::optional<std::string> selectedCode_;
    bool fieldOpen_ = false;
    std::shared_ptr<ShotBook> shots_ = std::make_shared<ShotBook>();
    std::shared_ptr<PhotoReport> report_;

    std::shared_ptr<ui::TableView> tableView_;
    std::weak_ptr<ui::ScrollView> scroll_;
    std::weak_ptr<ui::Button> confirm_;
    std::weak_ptr<ui::TextField> inputSituation_;
    std::weak_ptr<ui::Label> listProblem_;
    std::weak_ptr<ui::Button> fetchAgain_;
    bool fetching_ = false;
    // Why the last fetch of the list gave none (empty: none failed since the list was shown).
    std::string fetchProblem_;
};
