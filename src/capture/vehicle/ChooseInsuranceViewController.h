#pragma once
#include "core/CaseMode.h"
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/InsuranceCompany.h"
#include "platform/ui/TableViewController.h"

// The insurer chooser: a plain list of insurer names. Tapping a row calls the completion
// block once with that row's record, then pops the chooser; the back item pops it without
// calling anything.
//
// Real list: Documents/insurance.plist; when that file is missing,
// unreadable or empty, one "insurerlist" request (with "areaid" = the user state's city when
// known, under the spinner) fills the list instead, without writing the file. When that gives
// no insurer the page says why under the empty list and offers "重新获取" to ask again.
// Practice list: the bundle's "insurance.plist", never a request.
class ChooseInsuranceViewController : public ui::TableViewController {
public:
    using ReturnBlock = std::function<void(const std::shared_ptr<InsuranceCompany>& company)>;

    static constexpr const char* kClassName = "ChooseInsuranceViewController";
    static constexpr const char* kTitle = "选择保险公司";
    static constexpr const char* kCellIdentifier = "cell";
    static constexpr const char* kFileName = "insurance.plist";
    static constexpr const char* kLoadingText = "加载中...";
    static constexpr const char* kListFailedText = "未能取得保险公司列表:";
    static constexpr const char* kUnusableListText = "服务器给出的列表无法使用";
    static constexpr const char* kFetchAgainTitle = "重新获取";

    struct Arguments {
        GivenCaseMode simulateState;
    };
    explicit ChooseInsuranceViewController(Arguments arguments) : simulateState(arguments.simulateState) {}
    std::string className() const override { return kClassName; }

    // The real list or the practice list.
    const CaseMode simulateState;

    // Stores the completion block (set it before the chooser is shown).
    void returnBlock(ReturnBlock block) { returnBlock_ = std::move(block); }
    const ReturnBlock& returnBlockValue() const { return returnBlock_; }

    // The real list, loaded on first read (a request may follow); the practice list.
    const std::vector<std::shared_ptr<InsuranceCompany>>& dateSorce();
    const std::vector<std::shared_ptr<InsuranceCompany>>& simulateSorce();
    // The list shown: dateSorce in a real case, else simulateSorce.
    const std::vector<std::shared_ptr<InsuranceCompany>>& shownList();

    // The insurers of a property list or reply array: one record per dictionary, in order
    // (anything but an array gives none; other entries are skipped).
    static std::vector<std::shared_ptr<InsuranceCompany>> companiesFromList(const nlohmann::json& list);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) override;

    // The left bar item: pops without calling the block.
    void backBtnClick();

private:
    void requestInsurers();
    // Why the list is empty, with "重新获取", under the rows (nothing while there are insurers).
    void showProblem();

    ReturnBlock returnBlock_;
    std::optional<std::vector<std::shared_ptr<InsuranceCompany>>> dateSorce_;
    std::optional<std::vector<std::shared_ptr<InsuranceCompany>>> simulateSorce_;
    bool returned_ = false;
    bool fetching_ = false;
    std::string problem_;
};
