#pragma once
#include <memory>
#include <string>

#include "platform/ui/IndexPath.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

// The one-text row of the report, result, prompt and rating screens.
namespace followuprows {

// The height a text row needs: the text in system font 18 wrapped to the screen's width less
// 30, plus 30.
double textRowHeight(const std::string& text);
// A plain cell ("UITableViewCell") showing `text` on any number of lines in system font 18,
// wrapped by character, without a selection look.
std::shared_ptr<ui::TableViewCell> textCell(ui::TableView& table, ui::IndexPath indexPath, const std::string& text,
                                            bool clearBackground);

}  // namespace followuprows
