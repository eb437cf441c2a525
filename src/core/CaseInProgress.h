#pragma once
#include <optional>
#include <string>

// The number of the case the driver is working on, the one place the screens of a case read it
// from. The road of the case keeps it (CaseRoad: once "accidentinfor" or the history's resume
// gives it), in the user state; whether the case is on screen is the road's to say
// (CaseRoad::isOnScreen).
//
// A message pushed for a case belongs to the case in progress when it carries that case's
// number, or no number at all; a message of another case never changes the case in progress.
// Only while no case is in progress may a message make its case the case in progress.
namespace CaseInProgress {

// The case number as the road kept it, which the case's requests carry: none before one is
// given; a case reopened from the history has the number its record gives, empty or not.
std::optional<std::string> number();
// Keeps `accidentno` as the case's number (the road of the case calls it).
void keep(const std::optional<std::string>& accidentno);
// The case number in progress; none when none is kept (or an empty text).
std::optional<std::string> accidentno();
// A message of case `accidentno` (empty: no number) belongs to the case in progress.
bool isOfCase(const std::string& accidentno);
// As isOfCase, but with no case in progress a message with a number makes its case the case
// in progress (and belongs).
bool adopt(const std::string& accidentno);

}  // namespace CaseInProgress
