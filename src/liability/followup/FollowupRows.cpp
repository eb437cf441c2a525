#include "liability/followup/FollowupRows.h"

#include "platform/graphics/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace followuprows {

double textRowHeight(const std::string& text) {
    double width = ui::Screen::mainScreen().bounds().width() - 30;
    return graphics::measureText(text, ui::Font::systemFont(18), width).height + 30;
}

std::shared_ptr<ui::TableViewCell> textCell(ui::TableView& table, ui::IndexPath indexPath, const std::string& text,
                                            bool clearBackground) {
    auto cell = table.dequeueReusableCellWithIdentifier("UITableViewCell", indexPath);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    if (clearBackground) cell->setBackgroundColor(ui::Color::clear());
    auto label = cell->textLabel();
    label->setNumberOfLines(0);
    label->setFont(ui::Font::systemFont(18));
    label->setLineBreakMode(ui::LineBreakMode::CharWrapping);
    label->setText(text);
    return cell;
}

}  // namespace followuprows
