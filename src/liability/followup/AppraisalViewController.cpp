#include "liability/followup/AppraisalViewController.h"

#include "core/ApplicationRoutes.h"
#include "core/RequestManager.h"
#include "core/StoreManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "input/StringPickerSheet.h"
#include "liability/followup/FollowupValues.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

namespace {

// The grades that need a reason.
bool needsReason(const std::optional<std::string>& grade) { return grade == "2" || grade == "3"; }

// The usable entries of a reason list: {"reasoncode", "reasonname"} as text.
nlohmann::json usableReasons(const nlohmann::json& list) {
    nlohmann::json reasons = nlohmann::json::array();
    if (!list.is_array()) return reasons;
    for (const auto& entry : list) {
        auto code = TextValues::replyText(entry, "reasoncode");
        auto name = TextValues::replyText(entry, "reasonname");
        if (!code || code->empty() || !name) continue;
        reasons.push_back({{"reasoncode", *code}, {"reasonname", *name}});
    }
    return reasons;
}

bool isLineBreak(const std::string& replacement) {
    size_t begin = replacement.find_first_not_of(" \t");
    if (begin == std::string::npos) return false;
    size_t end = replacement.find_last_not_of(" \t");
    std::string core = replacement.substr(begin, end - begin + 1);
    return core == "\n" || core == "\r\n" || core == "\r";
}

}  // namespace

AppraisalViewController::AppraisalViewController(Arguments arguments)
    : isBackBtn(arguments.isBackBtn), simualateState(arguments.simualateState), accidentno(std::move(arguments.accidentno)) {}

void AppraisalViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    auto& state = UserDateSingleton::shareUserDateInstance();
    curAppraisal = std::make_shared<Appraisal>();
    curAppraisal->userid = state.userid();
    curAppraisal->carno = state.carno();
    curAppraisal->accidentno = accidentno;
    curAppraisal->personescord = std::string("0");
    grades_ = nlohmann::json::array({{{"title", "非常满意"}, {"code", "0"}},
                                     {{"title", "满意"}, {"code", "1"}},
                                     {{"title", "一般"}, {"code", "2"}},
                                     {{"title", "不满意"}, {"code", "3"}}});
    index = 0;
    DataSource rows;
    for (const auto& grade : grades_) rows.emplace_back(grade);
    setDataSource(std::move(rows));

    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItemOrNone(*this, isBackBtn, foundation::weakBind(this, &AppraisalViewController::backItemClick));
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    double width = ui::Screen::mainScreen().bounds().width();

    auto header = std::make_shared<ui::View>(ui::Rect(0, 0, width, 70));
    headerLabel_ = std::make_shared<ui::Label>(ui::Rect(15, 15, width - 30, 70 - 30));
    headerLabel_->setText(kHeaderText);
    headerLabel_->setNumberOfLines(0);
    headerLabel_->setFont(ui::Font::systemFont(15));
    header->addSubview(headerLabel_);
    table->setTableHeaderView(header);

    auto footer = std::make_shared<ui::View>(ui::Rect(0, 0, width, 200));
    textView_ = std::make_shared<PlaceholderTextView>(ui::Rect(10, 10, width - 20, 100));
    textView_->setPlaceholder(kPlaceholder);
    textView_->setReturnKeyType(ui::ReturnKeyType::Done);
    textView_->setFont(ui::Font::systemFont(15));
    textView_->setDelegate(std::static_pointer_cast<ui::TextViewDelegate>(sharedAs<AppraisalViewController>()));
    footer->addSubview(textView_);
    button_ = Theme::blueButton(kSubmitTitle);
    button_->setFrame({10, 10 + 100 + 20, width - 20, 44});
    button_->setStaysInSightWhileTyping(true);
    button_->addTarget(foundation::weakBind(this, &AppraisalViewController::clickAction),
                       ui::ControlEvent::TouchUpInside);
    footer->addSubview(button_);
    table->setTableFooterView(footer);
    table->reloadData();
}

double AppraisalViewController::heightForRowAtIndexPath(ui::TableView& tableView, ui::IndexPath) {
    return tableView.rowHeight();
}

std::shared_ptr<ui::TableViewCell> AppraisalViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                ui::IndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("UITableViewCell", indexPath);
    const auto* grade = entry<nlohmann::json>(static_cast<size_t>(indexPath.row));
    auto label = cell->textLabel();
    label->setNumberOfLines(0);
    label->setFont(ui::Font::systemFont(18));
    label->setLineBreakMode(ui::LineBreakMode::CharWrapping);
    label->setText(grade ? TextValues::replyText(*grade, "title").value_or("") : "");
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setAccessoryType(indexPath.row == index ? ui::TableViewCellAccessoryType::Checkmark
                                                  : ui::TableViewCellAccessoryType::None);
    return cell;
}

void AppraisalViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    const auto* grade = entry<nlohmann::json>(static_cast<size_t>(indexPath.row));
    if (!grade) return;
    curAppraisal->personescord = TextValues::replyText(*grade, "code");
    if (auto old = tableView.cellForRowAtIndexPath(ui::IndexPath::forRow(index, indexPath.section)))
        old->setAccessoryType(ui::TableViewCellAccessoryType::None);
    if (auto tapped = tableView.cellForRowAtIndexPath(indexPath))
        tapped->setAccessoryType(ui::TableViewCellAccessoryType::Checkmark);
    index = indexPath.row;
    foundation::RunLoop::main().performAfter(0.5, foundation::weakBind(this, [indexPath](const auto& self) {
                                                 self->tableView()->deselectRowAtIndexPath(indexPath, true);
                                             }));

    if (!needsReason(curAppraisal->personescord)) {
        curAppraisal->reasoncode.reset();
        return;
    }
    loadDataSource(foundation::weakBind(this, &AppraisalViewController::chooseReason));
}

void AppraisalViewController::loadDataSource(ReasonsBlock completion) {
    if (simualateState != CaseMode::Real) {
        completion(StoreManager::shareStoreManager().getAppraisalConfigureArray());
        return;
    }
    beginLoadingWithText(kLoadingText);
    RequestManager::shareRequestManager().request_reasons_WithParams(
        nlohmann::json::object(),
        foundation::weakBind(this, [completion](const auto& self, const nlohmann::json& result, const auto&) {
            self->endLoading();
            if (result.is_null()) return;
            completion(result.is_object() && result.contains("list") ? result["list"] : nlohmann::json());
        }));
}

void AppraisalViewController::chooseReason(const nlohmann::json& list) {
    nlohmann::json reasons = usableReasons(list);
    if (reasons.empty()) {
        ProgressHUD::showError(kNoReasonsText);
        return;
    }
    nlohmann::json names = nlohmann::json::array();
    int initial = 0;
    for (size_t i = 0; i < reasons.size(); ++i) {
        names.push_back(reasons[i]["reasonname"]);
        if (curAppraisal->reasoncode && reasons[i]["reasoncode"] == *curAppraisal->reasoncode)
            initial = static_cast<int>(i);
    }
    auto picked =
        foundation::weakBind(this, [reasons](const auto& self, StringPickerSheet&, const std::vector<int>& selected,
                                             const std::vector<std::string>&) {
            if (selected.empty() || selected[0] < 0 || static_cast<size_t>(selected[0]) >= reasons.size()) return;
            self->curAppraisal->reasoncode = reasons[static_cast<size_t>(selected[0])]["reasoncode"].get<std::string>();
        });
    StringPickerSheet::showPickerWithTitle(
        kPickerTitle, nlohmann::json::array({names}), nlohmann::json::array({initial}), picked,
        [](StringPickerSheet&) {}, view());
}

bool AppraisalViewController::shouldChangeTextInRange(ui::TextView& textView, ui::TextRange range,
                                                      const std::string& replacement) {
    if (isLineBreak(replacement)) {
        textView.resignFirstResponder();
        return false;
    }
    // An input method still composing decides nothing yet.
    if (ui::Keyboard::currentInputModeLanguage() == "zh-Hans" && textView.markedTextRange()) return true;
    std::string changed = ui::text::replace(textView.text(), range, replacement);
    if (ui::text::length(changed) <= kSuggestionLimit) return true;
    textView.setText(ui::text::substring(changed, 0, kSuggestionLimit));
    return false;
}

void AppraisalViewController::clickAction() {
    if (simualateState != CaseMode::Real) {
        if (followupstyle::signedInUserid()) {
            leaveForHomePage();
        } else {
            popLoginViewController();
        }
        return;
    }
    if (submitting_) return;
    // The keyboard goes before anything is said or sent: a message or the spinner stays in sight.
    view()->endEditing(true);
    curAppraisal->personevaluate = textView_ ? textView_->text() : std::string();
    if (needsReason(curAppraisal->personescord)) {
        if (StringExtension::isValide(curAppraisal->reasoncode)) {
            ProgressHUD::showError(kNeedReasonText);
            return;
        }
        if (curAppraisal->reasoncode == "5" && StringExtension::isValide(curAppraisal->personevaluate)) {
            ProgressHUD::showError(kNeedSuggestionText);
            return;
        }
    }
    submitting_ = true;
    beginLoadingWithText(kSubmittingText);
    RequestManager::shareRequestManager().request_Appraisal_WithParams(
        curAppraisal->toparams(),
        foundation::weakBind(this, [](const auto& self, const nlohmann::json& result, const auto&) {
            self->submitting_ = false;
            self->endLoading();
            if (result.is_null()) return;
            self->leaveForHomePage();
        }));
}

void AppraisalViewController::leaveForHomePage() { ApplicationRoutes::leaveForNewHomePage(); }

void AppraisalViewController::backItemClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
