#pragma once
#include <memory>

#include "capture/viewers/AccidentPhotoViewController.h"
#include "capture/viewers/AccidentViewController.h"
#include "core/Story.h"
#include "liability/history/AccidentSearchViewController.h"
#include "liability/history/HistoryDetailViewController.h"
#include "liability/history/HistoryViewController.h"

// The case history: the list of the user's cases, a case's detail with its vehicles, photos,
// agreement image and claim result, and resuming an unfinished case at the screen of its state.
namespace HistoryRoad {

std::shared_ptr<HistoryViewController> makeHistory();
// The case search form (it searches nothing yet).
std::shared_ptr<AccidentSearchViewController> makeSearch();
std::shared_ptr<HistoryDetailViewController> makeDetail(HistoryDetailViewController::Arguments arguments);
std::shared_ptr<AccidentViewController> makeCars(AccidentViewController::Arguments arguments);
std::shared_ptr<AccidentPhotoViewController> makePhotos(AccidentPhotoViewController::Arguments arguments);
// Opens the screen of the case's state as a real case: 1 the police wait, 2 the insurance
// report, 3 the claim result tracking, 4 the rating, 7 the photo review wait, each making the
// case the one in progress. Other states open nothing.
void resume(const Story& story);

}  // namespace HistoryRoad
