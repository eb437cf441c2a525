#pragma once
#include <functional>
#include <memory>
#include <string>

#include "core/BaseTableViewController.h"
#include "core/Output.h"
#include "core/Story.h"

// "事故列表": the signed-in user's cases ("historycase"), loaded once. A row opens the case's
// detail (not for a case whose photos are under review); "处理" resumes an unfinished case.
// A successful empty list shows the no-data picture; a failed load keeps what was shown (the
// API client has told why) and never claims that there are no records; with nothing to show it
// says that the list could not be loaded, so the page is not left blank once the toast is gone.
class HistoryViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "事故列表";
    static constexpr const char* kLoadingText = "正在加载...";
    static constexpr const char* kLoadFailedText = "事故列表未能加载，请返回后重试";

    HistoryViewController() = default;
    std::string className() const override { return "HistoryViewController"; }

    // A row tapped (any state but 7): the case detail with this record.
    Output<void(const std::shared_ptr<Story>& story)> onDetail{this, "onDetail"};
    // "处理" on a case in state 1, 2, 3, 4 or 7: resume it at the screen of its state.
    Output<void(const std::shared_ptr<Story>& story)> onResume{this, "onResume"};

    // Whether "处理" resumes a case in this state.
    static bool resumable(const std::optional<std::string>& state);

    void viewDidLoad() override;
    void loadDataSource() override;

    double heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    void resume(const std::shared_ptr<Story>& story);
    bool loading_ = false;
    std::shared_ptr<ui::Label> loadFailedNote_;
};
