#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/ui/ActionSheet.h"
#include "platform/ui/PickerView.h"

// A string picker shown in an action sheet: a title, the wheel and the buttons "完成" (done)
// and "取消" (cancel).
//
// Rows, as JSON:
//   [["a", "b", ...]]                                   one column
//   [["a", "b"], {"a": ["a1", "a2"], "b": ["b1"]}]       two columns; the second lists the
//                                                         strings of the first column's row
// The initial selection ([i] or [i, j]) is clamped to the rows there are. When the first
// column changes, the second shows that row's strings from their first.
//
// Done calls the done block with the picker, the selected index of each column and its
// string. When some column has nothing to choose (an empty list, or a first-column string
// without second-column strings) nothing was chosen: done then calls the cancel block.
class StringPickerSheet : public ui::PickerViewDataSource,
                          public ui::PickerViewDelegate,
                          public std::enable_shared_from_this<StringPickerSheet> {
public:
    using DoneBlock = std::function<void(StringPickerSheet& picker, const std::vector<int>& selectedIndexes,
                                         const std::vector<std::string>& selectedValues)>;
    using CancelBlock = std::function<void(StringPickerSheet& picker)>;

    static constexpr const char* kDoneTitle = "完成";
    static constexpr const char* kCancelTitle = "取消";

    // Shows the picker over the window of `origin` (the key window when it is in none) and
    // returns it. The sheet keeps the picker alive while it is shown.
    static std::shared_ptr<StringPickerSheet> showPickerWithTitle(const std::string& title, const nlohmann::json& rows,
                                                                  const nlohmann::json& initialSelection,
                                                                  DoneBlock doneBlock, CancelBlock cancelBlock,
                                                                  const std::shared_ptr<ui::View>& origin);

    StringPickerSheet(std::string title, std::vector<std::string> firstColumn,
                      std::map<std::string, std::vector<std::string>> secondColumns, bool twoColumns,
                      DoneBlock doneBlock, CancelBlock cancelBlock);

    // The buttons of the sheet, as a finger would tap them.
    void done();
    void cancel();

    // Picker data source and delegate.
    int numberOfComponentsInPickerView(ui::PickerView& picker) override;
    int numberOfRowsInComponent(ui::PickerView& picker, int component) override;
    std::string titleForRow(ui::PickerView& picker, int row, int component) override;
    void didSelectRow(ui::PickerView& picker, int row, int component) override;

private:
    friend class StringPickerSheetTestAPI;
    int numberOfColumns() const { return twoColumns_ ? 2 : 1; }
    // The strings a column shows now (the second column: those of the selected first row).
    std::vector<std::string> rowsOfColumn(int column) const;
    void show(const nlohmann::json& initialSelection, const std::shared_ptr<ui::View>& origin);
    void finishDone();
    void finishCancel();
    const std::vector<std::string>& secondColumnFor(int firstRow) const;

    std::string title_;
    std::vector<std::string> first_;
    std::map<std::string, std::vector<std::string>> second_;
    bool twoColumns_;
    DoneBlock doneBlock_;
    CancelBlock cancelBlock_;
    std::weak_ptr<ui::ActionSheet> sheet_;
    std::shared_ptr<ui::PickerView> picker_;
    bool shown_ = false;
};
