#include "input/StringPickerSheet.h"

#include <algorithm>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/Window.h"

namespace {

std::vector<std::string> stringsOf(const nlohmann::json& value) {
    std::vector<std::string> out;
    if (!value.is_array()) return out;
    for (const auto& item : value) {
        if (item.is_string())
            out.push_back(item.get<std::string>());
        else if (item.is_number())
            out.push_back(item.dump());
        else
            out.push_back("");
    }
    return out;
}

int clampIndex(const nlohmann::json& selection, size_t column, int count) {
    int index = 0;
    if (selection.is_array() && column < selection.size() && selection[column].is_number_integer())
        index = selection[column].get<int>();
    if (count <= 0) return 0;
    return std::clamp(index, 0, count - 1);
}

}  // namespace

StringPickerSheet::StringPickerSheet(std::string title, std::vector<std::string> firstColumn,
                                     std::map<std::string, std::vector<std::string>> secondColumns, bool twoColumns,
                                     DoneBlock doneBlock, CancelBlock cancelBlock)
    : title_(std::move(title)),
      first_(std::move(firstColumn)),
      second_(std::move(secondColumns)),
      twoColumns_(twoColumns),
      doneBlock_(std::move(doneBlock)),
      cancelBlock_(std::move(cancelBlock)) {}

std::shared_ptr<StringPickerSheet> StringPickerSheet::showPickerWithTitle(const std::string& title,
                                                                          const nlohmann::json& rows,
                                                                          const nlohmann::json& initialSelection,
                                                                          DoneBlock doneBlock, CancelBlock cancelBlock,
                                                                          const std::shared_ptr<ui::View>& origin) {
    std::vector<std::string> first;
    std::map<std::string, std::vector<std::string>> second;
    bool twoColumns = false;
    if (rows.is_array() && !rows.empty()) {
        first = stringsOf(rows[0]);
        if (rows.size() > 1) {
            twoColumns = true;
            if (rows[1].is_object()) {
                for (const auto& [key, value] : rows[1].items()) second[key] = stringsOf(value);
            } else {
                foundation::log("StringPickerSheet: the second column is not a dictionary; it stays empty");
            }
        }
    } else {
        foundation::log("StringPickerSheet: no rows to pick from");
    }
    auto picker = std::make_shared<StringPickerSheet>(title, std::move(first), std::move(second), twoColumns,
                                                      std::move(doneBlock), std::move(cancelBlock));
    picker->show(initialSelection, origin);
    return picker;
}

const std::vector<std::string>& StringPickerSheet::secondColumnFor(int firstRow) const {
    static const std::vector<std::string> empty;
    if (firstRow < 0 || firstRow >= static_cast<int>(first_.size())) return empty;
    auto it = second_.find(first_[firstRow]);
    return it == second_.end() ? empty : it->second;
}

std::vector<std::string> StringPickerSheet::rowsOfColumn(int column) const {
    if (column == 0) return first_;
    if (column == 1 && twoColumns_) return secondColumnFor(picker_ ? picker_->selectedRowInComponent(0) : 0);
    return {};
}

void StringPickerSheet::show(const nlohmann::json& initialSelection, const std::shared_ptr<ui::View>& origin) {
    picker_ = std::make_shared<ui::PickerView>();
    picker_->setShowsSelectionIndicator(true);
    picker_->setDataSource(std::static_pointer_cast<ui::PickerViewDataSource>(shared_from_this()));
    picker_->setDelegate(std::static_pointer_cast<ui::PickerViewDelegate>(shared_from_this()));
    picker_->reloadAllComponents();

    int firstRow = clampIndex(initialSelection, 0, static_cast<int>(first_.size()));
    picker_->selectRow(firstRow, 0, false);
    if (twoColumns_) {
        picker_->reloadComponent(1);
        int secondRow = clampIndex(initialSelection, 1, static_cast<int>(secondColumnFor(firstRow).size()));
        picker_->selectRow(secondRow, 1, false);
    }

    auto sheet = std::make_shared<ui::ActionSheet>(title_, std::weak_ptr<ui::ActionSheetDelegate>(), kCancelTitle, "",
                                                   std::vector<std::string>{kDoneTitle});
    sheet_ = sheet;
    // The sheet keeps the picker while it is shown. Its dismissal (the sheet has left the
    // screen) says which button ended it.
    auto self = shared_from_this();
    sheet->setDismissBlock([self](int index) {
        auto shownSheet = self->sheet_.lock();
        if (!self->shown_ || !shownSheet) return;
        // Keep the sheet (and so this picker) until the tap has been handled.
        foundation::dispatch::mainQueue()->async([shownSheet] {});
        if (shownSheet->buttonTitleAtIndex(index) == kDoneTitle)
            self->finishDone();
        else
            self->finishCancel();
    });
    std::shared_ptr<ui::View> host = origin;
    if (!host || !host->window()) host = ui::Application::shared().keyWindow();
    sheet->showInView(host ? host : origin);
    // The wheel lies above the sheet's buttons.
    ui::Rect area = sheet->bounds();
    picker_->setFrame({0, std::max(0.0, area.height() - 216 - 160), area.width(), 216});
    sheet->addSubview(picker_);
    shown_ = true;
}

int StringPickerSheet::numberOfComponentsInPickerView(ui::PickerView&) { return numberOfColumns(); }

int StringPickerSheet::numberOfRowsInComponent(ui::PickerView& picker, int component) {
    if (component == 0) return static_cast<int>(first_.size());
    if (component == 1 && twoColumns_)
        return static_cast<int>(secondColumnFor(picker.selectedRowInComponent(0)).size());
    return 0;
}

std::string StringPickerSheet::titleForRow(ui::PickerView& picker, int row, int component) {
    const std::vector<std::string>* list = nullptr;
    if (component == 0) list = &first_;
    if (component == 1 && twoColumns_) list = &secondColumnFor(picker.selectedRowInComponent(0));
    if (!list || row < 0 || row >= static_cast<int>(list->size())) return "";
    return (*list)[row];
}

void StringPickerSheet::didSelectRow(ui::PickerView& picker, int, int component) {
    if (component == 0 && twoColumns_) {
        picker.reloadComponent(1);
        picker.selectRow(0, 1, false);
    }
}

void StringPickerSheet::done() {
    auto sheet = sheet_.lock();
    if (!shown_ || !sheet) return;
    sheet->clickButtonAtIndex(sheet->indexOfButtonWithTitle(kDoneTitle));
}

void StringPickerSheet::cancel() {
    auto sheet = sheet_.lock();
    if (!shown_ || !sheet) return;
    sheet->clickButtonAtIndex(sheet->cancelButtonIndex());
}

void StringPickerSheet::finishDone() {
    shown_ = false;
    std::vector<int> indexes;
    std::vector<std::string> values;
    bool chosen = true;
    for (int column = 0; column < numberOfColumns(); ++column) {
        std::vector<std::string> rows = rowsOfColumn(column);
        int row = picker_->selectedRowInComponent(column);
        if (row < 0 || row >= static_cast<int>(rows.size())) {
            chosen = false;
            break;
        }
        indexes.push_back(row);
        values.push_back(rows[row]);
    }
    if (!chosen) {
        if (cancelBlock_) cancelBlock_(*this);
        return;
    }
    if (doneBlock_) doneBlock_(*this, indexes, values);
}

void StringPickerSheet::finishCancel() {
    shown_ = false;
    if (cancelBlock_) cancelBlock_(*this);
}
