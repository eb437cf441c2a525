#pragma once
#include <memory>
#include <string>

#include "platform/ui/Types.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/View.h"

// The static rows and section headers the two liability screens share: a caption at the left
// of a row with its value beside it, and a header with an optional tip line over the line
// that names the party.
namespace PartyRows {

inline constexpr double kRowHeight = 44;
inline constexpr double kCaptionX = 12.5;
inline constexpr double kValueX = 90;

// The own party's and the other party's colours in the headers.
ui::Color blue();    // RGB 47/203/235
ui::Color orange();  // RGB 242/115/73

// A row as wide as the screen, `height` high, with `caption` at its left; not selectable.
std::shared_ptr<ui::TableViewCell> makeRow(const std::string& caption, double height = kRowHeight);
// A value label to the right of the caption, as high as the row, added to the row.
std::shared_ptr<ui::Label> addValueLabel(ui::TableViewCell& row);

}  // namespace PartyRows

// A section header of the liability screens: `titleLabel` (a tip line in white on hint grey
// across the top, 40 high, hidden unless shown) over `textLabel` (the line naming the party).
// `inset` is the text line's distance from the left, the right and, without the tip, the top;
// `gap` its distance below a visible tip line.
class PartyHeaderView : public ui::View {
public:
    static constexpr double kTipHeight = 40;

    PartyHeaderView(double height, double inset, double gap);
    std::string className() const override { return "PartyHeaderView"; }

    std::shared_ptr<ui::Label> titleLabel() const { return titleLabel_.lock(); }
    std::shared_ptr<ui::Label> textLabel() const { return textLabel_.lock(); }
    // Shows the tip line with `tip` (the text line moves below it).
    void showTip(const std::string& tip);
    // The text line in `colour`.
    void setText(const std::string& text, const ui::Color& colour);

    void layoutSubviews() override;

private:
    double inset_, gap_;
    std::weak_ptr<ui::Label> titleLabel_, textLabel_;
};
