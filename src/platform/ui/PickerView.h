#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace ui {

class PickerView;

class PickerViewDataSource {
public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfComponentsInPickerView(PickerView& picker) = 0;
    virtual int numberOfRowsInComponent(PickerView& picker, int component) = 0;
};

class PickerViewDelegate {
public:
    virtual ~PickerViewDelegate() = default;
    virtual std::string titleForRow(PickerView& picker, int row, int component) { (void)picker; (void)row; (void)component; return ""; }
    virtual void didSelectRow(PickerView& picker, int row, int component) { (void)picker; (void)row; (void)component; }
    virtual double widthForComponent(PickerView& picker, int component) { (void)picker; (void)component; return 0; }
    virtual double rowHeightForComponent(PickerView& picker, int component) { (void)picker; (void)component; return 0; }
};

// A picker of rows in one or more columns (components), 216 points high. The selected row
// of each component shows in the middle.
class PickerView : public View {
public:
    PickerView();
    explicit PickerView(Rect frame);
    std::string className() const override { return "PickerView"; }

    std::shared_ptr<PickerViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<PickerViewDataSource> d) { dataSource_ = std::move(d); }
    std::shared_ptr<PickerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<PickerViewDelegate> d) { delegate_ = std::move(d); }
    bool showsSelectionIndicator() const { return showsSelectionIndicator_; }
    void setShowsSelectionIndicator(bool v) { showsSelectionIndicator_ = v; }

    int numberOfComponents();
    int numberOfRowsInComponent(int component);
    std::string titleForRow(int row, int component);
    // In code: no delegate call. Rows out of range are clamped.
    void selectRow(int row, int component, bool animated);
    int selectedRowInComponent(int component) const;
    void reloadAllComponents();
    void reloadComponent(int component);
    // A finger turning the wheel to the row: selects it and tells the delegate.
    void userSelectRow(int row, int component);

    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override;

private:
    std::weak_ptr<PickerViewDataSource> dataSource_;
    std::weak_ptr<PickerViewDelegate> delegate_;
    std::vector<int> selected_;
    bool showsSelectionIndicator_ = false;
};

}  // namespace ui
