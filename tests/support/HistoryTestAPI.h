#pragma once
#include <memory>

#include "capture/viewers/AccidentPhotoCell.h"
#include "liability/history/HistoryDetailViewController.h"
#include "liability/history/StoryCell.h"

// What the history tests read inside the history row, the detail screen and the photo row.
class StoryCellTestAPI {
public:
    static std::shared_ptr<ui::Button> dealBtn(const StoryCell& cell) { return cell.dealBtn_; }
};

class HistoryDetailTestAPI {
public:
    static const Story& curStory(const HistoryDetailViewController& screen) { return screen.curStory; }
};

class AccidentPhotoCellTestAPI {
public:
    static std::shared_ptr<ui::ImageView> photoImageView(const AccidentPhotoCell& cell) { return cell.photoImageView_; }
};
