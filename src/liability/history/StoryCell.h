#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "core/Story.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// One case of the history: its type, state and accident time, and "处理" (hidden for finished
// and revoked cases) that calls btnClickBlock with the record.
class StoryCell : public ui::TableViewCell {
public:
    static constexpr const char* kReuseIdentifier = "StoryCell";
    static constexpr const char* kDealTitle = "处理";
    static constexpr const char* kTypePrefix = "事故类型: ";
    static constexpr const char* kStatePrefix = "状态: ";
    static constexpr const char* kTimePrefix = "出险时间: ";
    static constexpr double kHeight = 60.0;

    explicit StoryCell(std::string reuseIdentifier = kReuseIdentifier);
    std::string className() const override { return "StoryCell"; }

    // Fills the row; null leaves it as it was.
    void setStory(const std::shared_ptr<Story>& story);
    std::function<void(const std::shared_ptr<Story>& story)> btnClickBlock;

    // The state code as a whole number, or nullopt when missing or not a number.
    static std::optional<int> stateCode(const std::optional<std::string>& state);

private:
    friend class StoryCellTestAPI;
    std::shared_ptr<Story> story_;
    std::shared_ptr<ui::Label> storyLabel_, stateLabel_, carNoLabel_;
    std::shared_ptr<ui::Button> dealBtn_;
};
