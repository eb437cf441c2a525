#pragma once
#include <memory>
#include <optional>
#include <string>

namespace ui {
class Window;
}

// The case the driver is working on, in one place. Its number is the user state's case number,
// which the case opening and the history's resume set.
//
// A message pushed for a case belongs to the case in progress when it carries that case's
// number, or no number at all; a message of another case never changes the case in progress.
// Only while no case is in progress may a message make its case the case in progress.
//
// The case is on screen while the window's navigation shows a screen above its root (the
// home page) that is not one of the case history's: what a push opens then lies over the
// driver's screen instead of replacing it.
namespace CaseInProgress {

// The case number in progress; none when the user state holds none (or an empty text).
std::optional<std::string> accidentno();
// A message of case `accidentno` (empty: no number) belongs to the case in progress.
bool isOfCase(const std::string& accidentno);
// As isOfCase, but with no case in progress a message with a number makes its case the case
// in progress (and belongs).
bool adopt(const std::string& accidentno);
// A case is in progress and one of its screens is the driver's, in `window` (null: the key
// window).
bool isOnScreen(const std::shared_ptr<ui::Window>& window = nullptr);

}  // namespace CaseInProgress
