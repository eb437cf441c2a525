#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/BaseTableViewController.h"
#include "core/Output.h"
#include "core/Story.h"

// "事故详情": one case's type, time and place, and the rows that open its vehicles, its
// photos, its agreement image and its claim result. Shows the list's record at once, fetches
// the fuller one ("historycasedetail") and redraws from it when it comes; a failed load keeps
// the list's record, and a row whose contents only the fuller one holds then says that it could
// not be loaded.
class HistoryDetailViewController : public BaseTableViewController {
public:
    static constexpr const char* kTitle = "事故详情";
    static constexpr const char* kLoadingText = "正在加载...";
    static constexpr const char* kNoClaimText = "目前无理赔结果!";
    // A row whose contents the failed load did not bring says so, never that there is nothing.
    static constexpr const char* kNotLoadedText = "事故详情未能加载,请返回后重试";

    struct Arguments {
        Story story;
    };
    explicit HistoryDetailViewController(Arguments arguments);
    std::string className() const override { return "HistoryDetailViewController"; }

    // The case number of the list's record; the claim row always uses it.
    const std::string accidentno;

    // "事故车辆", "事故影像", "快处信息" (the agreement image's URL), "理赔信息" (the case
    // number and the text to show: the amount, or "目前无理赔结果!").
    Output<void(const std::vector<CaseCar>& cars)> onCars{this, "onCars"};
    Output<void(const std::vector<AccidentPhoto>& photos)> onPhotos{this, "onPhotos"};
    Output<void(const std::string& url)> onAgreement{this, "onAgreement"};
    Output<void(const std::string& accidentno, const std::string& textValue)> onClaim{this, "onClaim"};

    void viewDidLoad() override;
    void loadDataSource() override;

    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

private:
    friend class HistoryDetailTestAPI;
    Story curStory;
    bool loading_ = false;
    // The fuller record has come.
    bool loaded_ = false;
};
