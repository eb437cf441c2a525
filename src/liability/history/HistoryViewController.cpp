#include "liability/history/HistoryViewController.h"

#include "core/AppConfig.h"
#include "core/RequestManager.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "liability/history/StoryCell.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"

bool HistoryViewController::resumable(const std::optional<std::string>& state) {
    auto code = StoryCell::stateCode(state);
    return code && (*code == 1 || *code == 2 || *code == 3 || *code == 4 || *code == 7);
}

void HistoryViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<ui::ViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    table->setBackgroundColor(Theme::pageGrey());
    table->setRowHeight(StoryCell::kHeight);
    table->registerClass([](const std::string& identifier) { return std::make_shared<StoryCell>(identifier); },
                         StoryCell::kReuseIdentifier);
    loadDataSource();
}

void HistoryViewController::loadDataSource() {
    if (loading_) return;
    loading_ = true;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto params = UserDateSingleton::params({{"userid", state.userid()},
                                             {"casecarno", std::string()},
                                             {"telephone", state.phoneNumber()},
                                             {"appkey", AppConfig::appKey()},
                                             {"sn", state.sn()}});
    beginLoadingWithText(kLoadingText);
    RequestManager::shareRequestManager().request_History_WithParams(
        params, foundation::weakBind(
                    this, [](const auto& self, const std::optional<std::vector<std::shared_ptr<Story>>>& result,
                             const RequestOutcome&) {
                        self->loading_ = false;
                        self->endLoading();
                        if (self->loadFailedNote_) {
                            self->loadFailedNote_->removeFromSuperview();
                            self->loadFailedNote_.reset();
                        }
                        if (result) {
                            DataSource rows;
                            rows.reserve(result->size());
                            for (const auto& story : *result)
                                if (story) rows.emplace_back(story);
                            self->setDataSource(std::move(rows));
                            self->tableView()->reloadData();
                            self->initNoDataView(self->dataSource(), 0);
                        } else {
                            // The client has shown why; what was listed stays, and an empty table is no
                            // claim that the user has no cases.
                            self->initNoDataView(1, 0);
                            self->tableView()->reloadData();
                            if (self->dataSource().empty()) {
                                auto note = std::make_shared<ui::Label>();
                                note->setText(kLoadFailedText);
                                note->setTextColor(Theme::hintGrey());
                                note->setFont(ui::Font::systemFont(15));
                                note->setTextAlignment(ui::TextAlignment::Center);
                                note->setNumberOfLines(0);
                                const auto bounds = self->view()->bounds();
                                note->setFrame({15, bounds.height() / 2 - 30, bounds.width() - 30, 60});
                                note->setAutoresizingMask(ui::AutoresizingFlexibleWidth);
                                self->view()->addSubview(note);
                                self->loadFailedNote_ = note;
                            }
                        }
                    }));
}

double HistoryViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) { return StoryCell::kHeight; }

std::shared_ptr<ui::TableViewCell> HistoryViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                              ui::IndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<StoryCell>(
        tableView.dequeueReusableCellWithIdentifier(StoryCell::kReuseIdentifier, indexPath));
    if (!cell) cell = std::make_shared<StoryCell>();
    if (const auto* story = entry<std::shared_ptr<Story>>(static_cast<size_t>(indexPath.row))) cell->setStory(*story);
    cell->btnClickBlock = foundation::weakBind(this, &HistoryViewController::resume);
    return cell;
}

void HistoryViewController::didSelectRowAtIndexPath(ui::TableView& tableView, ui::IndexPath indexPath) {
    const auto* story = entry<std::shared_ptr<Story>>(static_cast<size_t>(indexPath.row));
    if (!story || !*story) return;
    if (StoryCell::stateCode((*story)->state) == 7) return;  // under review: stays selected, no detail
    tableView.deselectRowAtIndexPath(indexPath, true);
    onDetail(*story);
}

void HistoryViewController::resume(const std::shared_ptr<Story>& story) {
    if (!story || !resumable(story->state)) return;
    onResume(story);
}
