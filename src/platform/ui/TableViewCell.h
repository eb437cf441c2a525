#pragma once
#include <memory>
#include <string>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace ui {

enum class TableViewCellStyle { Default, Value1, Value2, Subtitle };
enum class TableViewCellAccessoryType { None, DisclosureIndicator, DetailDisclosureButton, Checkmark, DetailButton };
enum class TableViewCellSelectionStyle { None, Blue, Gray, Default };

// A row of a table view. Subviews go into contentView. The standard labels and image view are
// made on first read (detailTextLabel only for the Value1, Value2 and Subtitle styles) and laid
// out by the style: Default image and title; Value1 title left, detail right; Value2 a blue
// right-aligned title in a narrow column, then the detail; Subtitle title above detail.
// A selected or highlighted cell with a selection style shows a grey background; override
// the four setters to change that (an empty override keeps the cell's look).
class TableViewCell : public View {
public:
    explicit TableViewCell(TableViewCellStyle style = TableViewCellStyle::Default, std::string reuseIdentifier = "");
    std::string className() const override { return "TableViewCell"; }

    TableViewCellStyle style() const { return style_; }
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    std::shared_ptr<View> contentView() const { return contentView_; }
    std::shared_ptr<Label> textLabel();
    // Null for the Default style.
    std::shared_ptr<Label> detailTextLabel();
    std::shared_ptr<ImageView> imageView();

    TableViewCellAccessoryType accessoryType() const { return accessoryType_; }
    void setAccessoryType(TableViewCellAccessoryType t) { accessoryType_ = t; setNeedsLayout(); }
    std::shared_ptr<View> accessoryView() const { return accessoryView_; }
    void setAccessoryView(std::shared_ptr<View> view);
    TableViewCellSelectionStyle selectionStyle() const { return selectionStyle_; }
    void setSelectionStyle(TableViewCellSelectionStyle s) { selectionStyle_ = s; }
    std::shared_ptr<View> backgroundView() const { return backgroundView_; }
    void setBackgroundView(std::shared_ptr<View> view);
    std::shared_ptr<View> selectedBackgroundView() const { return selectedBackgroundView_; }
    void setSelectedBackgroundView(std::shared_ptr<View> view);
    EdgeInsets separatorInset() const { return separatorInset_; }
    void setSeparatorInset(EdgeInsets e) { separatorInset_ = e; }

    bool isSelected() const { return selected_; }
    bool isHighlighted() const { return highlighted_; }
    virtual void setSelected(bool selected);
    virtual void setSelected(bool selected, bool animated);
    virtual void setHighlighted(bool highlighted);
    virtual void setHighlighted(bool highlighted, bool animated);
    // Set by the table: the separator line drawn at the cell's bottom (none: clear colour).
    void setSeparator(const Color& color, EdgeInsets inset) { separatorColor_ = color; tableSeparatorInset_ = inset; }
    // Called when the table takes the cell from the reuse queue.
    virtual void prepareForReuse() {}

    void layoutSubviews() override;
    void draw(GraphicsContext& context, Rect rect) override;
    std::string describeContent() const override;

protected:
    // What the default setters change; available to subclasses that override them.
    void setSelectedState(bool selected) { selected_ = selected; setNeedsDisplay(); }
    void setHighlightedState(bool highlighted) { highlighted_ = highlighted; setNeedsDisplay(); }

private:
    TableViewCellStyle style_;
    std::string reuseIdentifier_;
    std::shared_ptr<View> contentView_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    std::shared_ptr<ImageView> imageView_;
    TableViewCellAccessoryType accessoryType_ = TableViewCellAccessoryType::None;
    std::shared_ptr<View> accessoryView_;
    TableViewCellSelectionStyle selectionStyle_ = TableViewCellSelectionStyle::Default;
    std::shared_ptr<View> backgroundView_, selectedBackgroundView_;
    EdgeInsets separatorInset_{0, 15, 0, 0};
    bool selected_ = false;
    bool highlighted_ = false;
    Color separatorColor_ = Color::clear();
    EdgeInsets tableSeparatorInset_;
};

}  // namespace ui
