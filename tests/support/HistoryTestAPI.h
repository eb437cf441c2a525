#pragma once
#include <memory>

#include "liability/history/HistoryDetailViewController.h"
#include "liability/history/StoryCell.h"

// What the history tests read inside the history row and the detail screen.
class StoryCellTestAPI {
public:
    static const std::shared_ptr<Story>& story(const StoryCell& cell) { return cell.story_; }
    static std::shared_ptr<ui::Button> dealBtn(const StoryCell& cell) { return cell.dealBtn_; }
    static std::shared_ptr<ui::Label> typeLabel(const StoryCell& cell) { return cell.storyLabel_; }
    static std::shared_ptr<ui::Label> stateLabel(const StoryCell& cell) { return cell.stateLabel_; }
};

class HistoryDetailTestAPI {
public:
    static const Story& curStory(const HistoryDetailViewController& screen) { return screen.curStory; }
};
