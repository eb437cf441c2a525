#pragma once
#include <optional>
#include <string>

// The number of the case the driver is working on, for the libraries below the roads (the chat
// reads it). It is the user state's case number, which the road of the case keeps (CaseRoad: once
// "accidentinfor" or the history's resume gives it); whether the case is on screen is the road's
// to say (CaseRoad::isOnScreen).
//
// A message pushed for a case belongs to the case in progress when it carries that case's
// number, or no number at all; a message of another case never changes the case in progress.
// Only while no case is in progress may a message make its case the case in progress.
namespace CaseInProgress {

// The case number in progress; none when the user state holds none (or an empty text).
std::optional<std::string> accidentno();
// A message of case `accidentno` (empty: no number) belongs to the case in progress.
bool isOfCase(const std::string& accidentno);
// As isOfCase, but with no case in progress a message with a number makes its case the case
// in progress (and belongs).
bool adopt(const std::string& accidentno);

}  // namespace CaseInProgress
