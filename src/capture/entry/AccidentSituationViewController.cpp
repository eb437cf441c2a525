#include "capture/entry/AccidentSituationViewController.h"

#include <cmath>

#include "capture/camera/ImageUpload.h"
#include "capture/common/PhotoReport.h"
#include "capture/common/TickRowCell.h"
#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "input/TextFieldLimitLength.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"

namespace {

const char* const kExtraCarCodes[] = {"1", "2", "3", "6", "7"};
constexpr std::size_t kFirstCarShots = 9;
constexpr double kFieldAnimation = 0.3;

nlohmann::json step(const char* title, const char* image) {
    return {{"title", title}, {"image", image}, {"detail", "请您在保证安全下拍摄"}};
}

}  // namespace

AccidentSituationViewController::AccidentSituationViewController(Arguments arguments)
    : simulateState(arguments.simulateState) {}

nlohmann::json AccidentSituationViewController::multiCarImageArray() {
    return nlohmann::json::array({
        step("请您从车辆(侧前方)拍摄全景照片\n(含车牌,道路标线)", "双车左前"),
        step("请您从车辆(侧后方)拍摄全景照片\n(含车牌,道路标线)", "双车右后"),
        step("请您拍摄车辆碰撞部位照片", "双车碰撞"),
        step("请您拍摄本方车辆碰撞部位特写照片", "双车碰撞2"),
        step("请您拍摄对方车辆碰撞部位特写照片", "双车碰撞2"),
        step("请您拍摄本方车辆的行驶证", "行驶证"),
        step("请您拍摄本方当事人驾驶证", "驾驶证"),
        step("请您拍摄对方车辆行驶证", "行驶证"),
        step("请您拍摄对方当事人驾驶证", "驾驶证"),
    });
}

std::vector<SituationModel> AccidentSituationViewController::situationsFromList(const std::optional<nlohmann::json>& list) {
    std::vector<SituationModel> rows;
    if (!list) return rows;
    if (!list->is_array()) {
        foundation::log("AccidentSituationViewController: the situation list is not a list");
        return rows;
    }
    for (const auto& element : *list) {
        if (!element.is_object()) continue;
        SituationModel model;
        model.setKeyValues(element);
        rows.push_back(std::move(model));
    }
    return rows;
}

int AccidentSituationViewController::tagOfCode(const std::optional<std::string>& code) {
    return StringExtension::intValue(code);
}

std::optional<std::string> AccidentSituationViewController::multiCarImageType(std::size_t& count,
                                                                              std::size_t& secondcount) {
    std::string code;
    if (count < kFirstCarShots) {
        code = std::to_string(count + 1);
    } else {
        if (secondcount >= std::size(kExtraCarCodes)) return std::nullopt;
        code = kExtraCarCodes[secondcount];
        ++secondcount;
    }
    ++count;
    if (secondcount >= std::size(kExtraCarCodes)) secondcount = 0;
    return code;
}

// ---- screen ----

void AccidentSituationViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(Theme::pageGrey());
    Theme::addBackItem(*this, foundation::weakBind(this, &AccidentSituationViewController::backBtnClick));
    setTitle(kTitle);

    auto scroll = std::make_shared<ui::ScrollView>();
    scroll->setShowsVerticalScrollIndicator(false);
    scroll->setShowsHorizontalScrollIndicator(false);
    view()->addSubview(scroll);
    scroll_ = scroll;

    tableView_ = std::make_shared<ui::TableView>(ui::TableViewStyle::Plain);
    tableView_->setScrollEnabled(false);
    tableView_->setBackgroundColor(ui::Color::white());
    tableView_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(sharedAs<AccidentSituationViewController>()));
    tableView_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(sharedAs<AccidentSituationViewController>()));
    scroll->addSubview(tableView_);

    auto field = std::make_shared<ui::TextField>();
    field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    field->setPlaceholder(kPlaceholder);
    field->setHidden(true);
    scroll->addSubview(field);
    TextFieldLimitLength::limitTextLength(field, kDescriptionLength);
    inputSituation_ = field;

    auto confirm = Theme::blueButton(kNextTitle);
    confirm->addTarget(foundation::weakBind(this, &AccidentSituationViewController::confirmBtnClick),
                       ui::ControlEvent::TouchUpInside);
    scroll->addSubview(confirm);
    confirm_ = confirm;

    auto problem = Theme::label("", 15, Theme::hintGrey());
    problem->setNumberOfLines(0);
    problem->setHidden(true);
    scroll->addSubview(problem);
    listProblem_ = problem;
    auto again = Theme::blueButton(kFetchAgainTitle);
    again->addTarget(foundation::weakBind(this, &AccidentSituationViewController::fetchSituations),
                     ui::ControlEvent::TouchUpInside);
    again->setHidden(true);
    scroll->addSubview(again);
    fetchAgain_ = again;
}

void AccidentSituationViewController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this, kTitle);
    reloadSituations();
    layout(false);
    if (simulateState == CaseMode::Real && accidentArray_.empty()) fetchSituations();
    // A capture started again from here codes its shots from "1" again.
    shots_->current = std::make_shared<ShotCount>();
}

void AccidentSituationViewController::viewDidAppear(bool animated) {
    BaseViewController::viewDidAppear(animated);
    // The camera hides the bar.
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false);
}

void AccidentSituationViewController::reloadSituations() {
    std::vector<SituationModel> rows;
    if (simulateState == CaseMode::Real) {
        rows = situationsFromList(foundation::plist::read(foundation::Sandbox::current().documents() / kFileName));
    } else {
        // The practice copy never changes: read once.
        if (accidentArray_.empty()) {
            auto path = foundation::bundlePath(kFileName);
            std::optional<nlohmann::json> file;
            if (!path.empty()) file = foundation::plist::read(path);
            if (!file) foundation::log("AccidentSituationViewController: the bundle has no readable situation.plist");
            rows = situationsFromList(file);
        } else {
            rows = accidentArray_;
        }
    }
    auto same = [](const std::vector<SituationModel>& a, const std::vector<SituationModel>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].name != b[i].name || a[i].code != b[i].code) return false;
        return true;
    };
    if (!same(rows, accidentArray_)) {
        // Another list: the tick of the old one means nothing in it.
        ticked_.reset();
        selectedCode_.reset();
        fieldOpen_ = false;
    }
    accidentArray_ = std::move(rows);
    if (tableView_) tableView_->reloadData();
}

void AccidentSituationViewController::fetchSituations() {
    if (fetching_ || simulateState != CaseMode::Real) return;
    fetching_ = true;
    fetchProblem_.clear();
    layout(false);
    ProgressHUD::showMessage(kListLoadingText);
    std::weak_ptr<AccidentSituationViewController> weak = sharedAs<AccidentSituationViewController>();
    RequestManager::shareRequestManager().request_situation_WithParams(
        {{"type", "accidentdes"}}, [weak](const nlohmann::json& list, const RequestOutcome& outcome) {
            ProgressHUD::hideHUD();
            auto self = weak.lock();
            if (!self) return;
            if (outcome.answered()) {
                self->situationsFetched(list, kUnusableListText);
            } else if (outcome.failed()) {
                self->situationsFetched(std::nullopt, AppConfig::kNetworkFailureText);
            } else {
                self->situationsFetched(std::nullopt, outcome.resdes.value_or(outcome.describe()));
            }
        });
}

void AccidentSituationViewController::situationsFetched(const std::optional<nlohmann::json>& list,
                                                        const std::string& why) {
    fetching_ = false;
    std::vector<SituationModel> rows;
    if (list && list->is_array()) {
        // Only rows with both a name and a code make a list worth keeping.
        bool whole = !list->empty();
        for (const auto& element : *list) {
            whole = whole && element.is_object() && element.contains("name") && element["name"].is_string() &&
                    element.contains("code") && element["code"].is_string();
        }
        if (whole) rows = situationsFromList(*list);
        if (whole && !foundation::plist::write(foundation::Sandbox::current().documents() / kFileName, *list))
            foundation::log("AccidentSituationViewController: cannot keep the situation list; shown all the same");
    }
    if (rows.empty()) {
        foundation::log("AccidentSituationViewController: no situation list: " + why);
        fetchProblem_ = why;
    } else {
        ticked_.reset();
        selectedCode_.reset();
        fieldOpen_ = false;
        accidentArray_ = std::move(rows);
        if (tableView_) tableView_->reloadData();
    }
    layout(false);
}

void AccidentSituationViewController::layout(bool animated) {
    auto scroll = scroll_.lock();
    auto field = inputSituation_.lock();
    auto confirm = confirm_.lock();
    if (!scroll || !field || !confirm || !tableView_) return;
    auto bounds = view()->bounds();
    double width = bounds.width();
    scroll->setFrame({0, 0, width, bounds.height()});
    double tableHeight = kRowHeight * static_cast<double>(accidentArray_.size());
    tableView_->setFrame({0, 0, width, tableHeight});
    // Without a list (fetch failed): why, and a way to ask again, in place of "下一步".
    auto problem = listProblem_.lock();
    auto again = fetchAgain_.lock();
    bool failed = accidentArray_.empty() && !fetchProblem_.empty() && !fetching_;
    if (problem && again) {
        problem->setHidden(!failed);
        again->setHidden(!failed);
        confirm->setHidden(failed);
        if (failed) {
            problem->setText(std::string(kListFailedText) + fetchProblem_);
            double textWidth = width - 2 * kMargin;
            double height = std::ceil(problem->sizeThatFits({textWidth, 1e6}).height);
            problem->setFrame({kMargin, kMargin, textWidth, height});
            again->setFrame({kMargin, problem->frame().maxY() + kMargin, textWidth, kButtonHeight});
        }
    }
    auto place = [=, this] {
        double fieldHeight = fieldOpen_ ? kFieldHeight : 0;
        field->setFrame({kMargin, tableHeight + kMargin, width - 2 * kMargin, fieldHeight});
        confirm->setFrame({kMargin, field->frame().maxY() + kMargin, width - 2 * kMargin, kButtonHeight});
        double bottom = failed && again ? again->frame().maxY() : confirm->frame().maxY();
        scroll->setContentSize({width, bottom + kMargin});
    };
    field->setHidden(!fieldOpen_);
    if (animated) {
        ui::View::animate(kFieldAnimation, place);
    } else {
        place();
    }
}

void AccidentSituationViewController::setFieldOpen(bool open) {
    if (open == fieldOpen_) return;
    fieldOpen_ = open;
    if (!open) {
        if (auto field = inputSituation_.lock()) field->resignFirstResponder();
    }
    layout(true);
}

bool AccidentSituationViewController::asksForDescription(std::size_t row) const {
    // The last row is "other"; a row whose code reads as the free-text code needs the text too,
    // so it must offer the field as well.
    return row + 1 == accidentArray_.size() ||
           (row < accidentArray_.size() && tagOfCode(accidentArray_[row].code) == 0);
}

std::optional<std::size_t> AccidentSituationViewController::tickedRow() const {
    if (ticked_ && *ticked_ < accidentArray_.size()) return ticked_;
    return std::nullopt;
}

void AccidentSituationViewController::updateTicks() {
    if (!tableView_) return;
    for (const auto& cell : tableView_->visibleCells()) {
        auto row = tableView_->indexPathForCell(cell);
        auto situationCell = std::dynamic_pointer_cast<TickRowCell>(cell);
        if (!row || !situationCell) continue;
        if (auto icon = situationCell->iconView()) icon->setSelected(ticked_ && *ticked_ == static_cast<std::size_t>(row->row));
    }
}

int AccidentSituationViewController::numberOfRowsInSection(ui::TableView&, int) {
    return static_cast<int>(accidentArray_.size());
}

double AccidentSituationViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) { return kRowHeight; }

std::shared_ptr<ui::TableViewCell> AccidentSituationViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                        ui::IndexPath indexPath) {
    auto cell = TickRowCell::cellWithTableview(tableView);
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= accidentArray_.size()) {
        foundation::log("AccidentSituationViewController: no situation for row " + std::to_string(indexPath.row));
        return cell;
    }
    auto row = static_cast<std::size_t>(indexPath.row);
    const auto& model = accidentArray_[row];
    cell->setTag(tagOfCode(model.code));
    if (auto label = cell->rowLabel()) label->setText(model.name.value_or(""));
    if (auto icon = cell->iconView()) icon->setSelected(ticked_ && *ticked_ == row);
    return cell;
}

void AccidentSituationViewController::didSelectRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    if (indexPath.row < 0 || static_cast<std::size_t>(indexPath.row) >= accidentArray_.size()) {
        foundation::log("AccidentSituationViewController: a tap on row " + std::to_string(indexPath.row) +
                        " of a list of " + std::to_string(accidentArray_.size()));
        return;
    }
    auto row = static_cast<std::size_t>(indexPath.row);
    bool nowTicked = !(ticked_ && *ticked_ == row);
    // At most one row is ever ticked.
    ticked_ = nowTicked ? std::optional<std::size_t>(row) : std::nullopt;
    updateTicks();
    // The field is open while the ticked row asks for a description.
    setFieldOpen(nowTicked && asksForDescription(row));
    selectedCode_ = std::to_string(tagOfCode(accidentArray_[row].code));
}

void AccidentSituationViewController::backBtnClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}

void AccidentSituationViewController::confirmBtnClick() {
    auto& state = UserDateSingleton::shareUserDateInstance();
    bool real = simulateState == CaseMode::Real;
    // The code goes into the case's state before any check.
    if (real) state.setAccidentdes(selectedCode_);
    if (!tickedRow()) {
        ProgressHUD::showError(kNothingChosenText);
        return;
    }
    if (selectedCode_ == std::string(kOtherCode)) {
        auto field = inputSituation_.lock();
        std::string text = field ? field->text() : "";
        if (text.empty()) {
            ProgressHUD::showError(kNoDescriptionText);
            return;
        }
        if (real) state.setAccidentInfomation(text);
    } else if (real) {
        // The description belongs to "other" of this case only: an earlier case's text must not
        // go out with this one.
        state.setAccidentInfomation(std::string());
    }
    if (auto field = inputSituation_.lock()) field->resignFirstResponder();
    openCamera();
}

void AccidentSituationViewController::openCamera() {
    CaptureRequest request;
    request.steps = multiCarImageArray();
    request.carType = 1;
    if (simulateState != CaseMode::Real) {
        request.viewControllerBlock = foundation::weakBind(this, [](const auto& self) { self->onPhotoReview(); });
        onCapture(std::move(request));
        return;
    }
    ProgressHUD::showMessage(kCameraLoadingText);
    request.viewControllerBlock = foundation::weakBind(this, &AccidentSituationViewController::reportPhotos);
    request.endAgainTitle = PhotoReport::kReportAgainTitle;
    // Shots arrive on a background queue, one after the other. Coding them, reading the user
    // state and starting the upload happen on the main queue, in arrival order, so the codes
    // follow the shots; each upload then runs on its own.
    auto shots = shots_;
    auto counter = shots_->current;
    request.savePhotoBlock = [shots, counter](const std::string& shot) {
        foundation::dispatch::mainQueue()->async([shots, counter, shot] {
            auto code = multiCarImageType(counter->count, counter->secondcount);
            if (!code) {
                foundation::log("AccidentSituationViewController: a shot past the step table is left out");
                return;
            }
            auto record = ImageUpload::recordWithShot(shot, *code);
            nlohmann::json dictionary = record->keyValues();
            // A failed upload is already kept in the failed-upload file by the upload.
            ImageUpload::send(record, [shots, dictionary](bool sent) {
                if (!sent) shots->faildImageArray.push_back(dictionary);
            });
        });
    };
    onCapture(std::move(request));
}

void AccidentSituationViewController::reportPhotos() {
    if (!report_) {
        std::weak_ptr<AccidentSituationViewController> weak = sharedAs<AccidentSituationViewController>();
        // The camera in front lies on its side; so does its question.
        report_ =
            std::make_shared<PhotoReport>(weak, PhotoReport::Retry::SidewaysQuestion,
                                          foundation::weakBind(this, [](const auto& self) { self->onPhotoReview(); }));
    }
    report_->send();
}
