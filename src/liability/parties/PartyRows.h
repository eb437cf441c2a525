#pragma once
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Types.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/View.h"

// The static rows and section headers the two liability screens share: a caption at the left
// of a row with its value beside it, and a header with an optional tip line over the line
// that names the party.
namespace PartyRows {

inline constexpr double kRowHeight = 44;
inline constexpr double kCaptionX = 12.5;
inline constexpr double kValueX = 90;

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

// The two party sections of the liability screens, the own party's (0) and the other's (1):
// a header naming the party over static rows with their captions at the left. The own party's
// header carries the screen's tip line. Rows and headers are made once and kept, so what the
// screen puts into them stays through a reload.
class PartySections {
public:
    static constexpr const char* kOwnHeader = "本方驾驶员及车辆信息";
    static constexpr const char* kOtherHeader = "对方驾驶员及车辆信息";

    struct Style {
        double rowHeight = PartyRows::kRowHeight;
        double ownHeaderHeight = 72.5;
        double otherHeaderHeight = 45;
        // The header's text line: its distance from the sides (and the top) and below the tip.
        double inset = 12.5;
        double gap = 6;
        // None: the tip line's own hint grey, and white text on it. (The parties' lines are in
        // the parties' colours of every screen.)
        std::optional<ui::Color> tipBackground;
        std::optional<ui::Color> tipTextColour;
    };

    PartySections(std::string tip, std::vector<std::string> captions, Style style);

    // Makes the rows of both sections, each row with its caption only.
    void makeRows();
    // A value label beside the caption of a made row (PartyRows::addValueLabel); nothing for a
    // row that is not there.
    std::shared_ptr<ui::Label> addValueLabel(int section, int row);

    int rowCount() const { return static_cast<int>(captions_.size()); }
    double rowHeight() const { return style_.rowHeight; }
    // The made row at the index path; nothing outside the sections or before makeRows.
    std::shared_ptr<ui::TableViewCell> row(ui::IndexPath indexPath) const;
    double headerHeight(int section) const;
    // The section's header, made at the first call; nothing outside the two sections.
    std::shared_ptr<ui::View> header(int section);

private:
    std::string tip_;
    std::vector<std::string> captions_;
    Style style_;
    std::array<std::vector<std::shared_ptr<ui::TableViewCell>>, 2> rows_;
    std::array<std::shared_ptr<PartyHeaderView>, 2> headers_;
};
