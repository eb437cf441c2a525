#include <gtest/gtest.h>

#include "input/PlaceholderTextView.h"
#include "input/StringPickerSheet.h"
#include "input/TextFieldLimitLength.h"
#include "input/ViewFrameEdges.h"
#include "platform/testing/Driver.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Application.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "support/StringPickerSheetTestAPI.h"

using nlohmann::json;

namespace {

class InputTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        screen = std::make_shared<ui::ViewController>();
        window = std::make_shared<ui::Window>();
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        drain();
    }
    void TearDown() override {
        ui::resetForTests();
        screen.reset();
        window.reset();
        PlatformTest::TearDown();
    }

    std::shared_ptr<ui::TextField> addField() {
        auto field = std::make_shared<ui::TextField>(ui::Rect(10, 100, 200, 30));
        screen->view()->addSubview(field);
        return field;
    }

    std::shared_ptr<ui::ViewController> screen;
    std::shared_ptr<ui::Window> window;
    // The wheel of the picker on the screen, as a finger finds it.
    std::shared_ptr<ui::PickerView> visibleWheel() const {
        auto wheel = driver.find<ui::PickerView>(driver::ViewQuery::byClass("PickerView"));
        EXPECT_TRUE(wheel) << wheel.error();
        return wheel ? wheel.view() : nullptr;
    }

    driver::Driver driver;
};

// --- Length limit -------------------------------------------------------------------------

TEST_F(InputTest, PlateCharacterBeyondTheLimitIsCutOnlyOnceTheCompositionIsCommitted) {
    ui::Keyboard::setCurrentInputModeLanguage("zh-Hans");
    auto field = addField();
    TextFieldLimitLength::limitTextLength(field, 5);
    ASSERT_TRUE(driver.type(field, "A1234"));
    EXPECT_EQ(field->text(), "A1234");

    // The input method marks a sixth character: it stays while it is being composed.
    ASSERT_TRUE(driver.setMarkedText(field, "q"));
    EXPECT_EQ(field->text(), "A1234q");
    ASSERT_TRUE(driver.setMarkedText(field, "七"));
    EXPECT_EQ(field->text(), "A1234七");

    // Committed, it is more than the five characters allowed and goes.
    ASSERT_TRUE(driver.commitMarkedText(field));
    EXPECT_FALSE(field->markedTextRange().has_value());
    EXPECT_EQ(field->text(), "A1234");
}

TEST_F(InputTest, OtherInputModesCutAtOnceAndCutsNeverSplitACharacter) {
    ui::Keyboard::setCurrentInputModeLanguage("en-US");
    auto field = addField();
    TextFieldLimitLength::limitTextLength(field, 5);
    ASSERT_TRUE(driver.type(field, "A1234"));
    ASSERT_TRUE(driver.setMarkedText(field, "x"));
    EXPECT_EQ(field->text(), "A1234");

    // Multi-byte characters count as one each; a pasted run is cut to whole characters.
    auto chinese = addField();
    TextFieldLimitLength::limitTextLength(chinese, 3);
    ASSERT_TRUE(driver.type(chinese, "京津冀晋蒙", driver::Typing::Insertion));
    EXPECT_EQ(chinese->text(), "京津冀");
    ASSERT_TRUE(driver.type(chinese, "🚗", driver::Typing::Insertion));
    EXPECT_EQ(chinese->text(), "京津冀");

    // A later limit replaces the earlier one.
    TextFieldLimitLength::limitTextLength(chinese, 4);
    ASSERT_TRUE(driver.type(chinese, "🚗🚕", driver::Typing::Insertion));
    EXPECT_EQ(chinese->text(), "京津冀🚗");
    EXPECT_EQ(chinese->actionCount(ui::ControlEvent::EditingChanged), 1u);
}

// --- Placeholder text view and frame edges -------------------------------------------------

TEST_F(InputTest, PlaceholderShowsOnlyWhileTheTextIsEmpty) {
    auto textView = std::make_shared<PlaceholderTextView>(ui::Rect(12.5, 40, 295, 100));
    screen->view()->addSubview(textView);
    textView->setPlaceholder("请输入评价内容");
    drain();
    EXPECT_TRUE(driver.isOnScreen("请输入评价内容"));

    ASSERT_TRUE(driver.type(textView, "好"));
    EXPECT_FALSE(driver.isOnScreen("请输入评价内容"));
    ASSERT_TRUE(driver.deleteBackward(textView));
    EXPECT_TRUE(driver.isOnScreen("请输入评价内容"));
    textView->setText("在代码中设置");
    EXPECT_FALSE(driver.isOnScreen("请输入评价内容"));

    EXPECT_DOUBLE_EQ(ViewFrameEdges::left(*textView), 12.5);
    EXPECT_DOUBLE_EQ(ViewFrameEdges::right(*textView), 307.5);
    EXPECT_DOUBLE_EQ(ViewFrameEdges::top(*textView), 40);
}

// --- String picker --------------------------------------------------------------------------

struct PickerResult {
    int done = 0, cancelled = 0;
    std::vector<int> indexes;
    std::vector<std::string> values;
};

std::shared_ptr<StringPickerSheet> showPicker(PickerResult& result, const json& rows, const json& selection,
                                              const std::shared_ptr<ui::View>& origin) {
    return StringPickerSheet::showPickerWithTitle(
        "号码", rows, selection,
        [&result](StringPickerSheet&, const std::vector<int>& indexes, const std::vector<std::string>& values) {
            ++result.done;
            result.indexes = indexes;
            result.values = values;
        },
        [&result](StringPickerSheet&) { ++result.cancelled; }, origin);
}

TEST_F(InputTest, TwoColumnPickerSecondColumnFollowsTheFirst) {
    json rows = json::array({json::array({"京", "津", "冀"}),
                             {{"京", {"A", "B", "C", "D"}}, {"津", {"E", "F"}}, {"冀", {"G", "H", "J"}}}});
    PickerResult result;
    showPicker(result, rows, json::array({0, 3}), screen->view());
    ASSERT_TRUE(driver.isAlertShowing());
    auto wheel = visibleWheel();
    ASSERT_NE(wheel, nullptr);
    ASSERT_EQ(wheel->numberOfComponents(), 2);
    EXPECT_EQ(wheel->selectedRowInComponent(1), 3);
    EXPECT_EQ(wheel->titleForRow(3, 1), "D");

    // Turning the first column to "冀" shows its letters from the first.
    wheel->userSelectRow(2, 0);
    EXPECT_EQ(wheel->numberOfRowsInComponent(1), 3);
    EXPECT_EQ(wheel->selectedRowInComponent(1), 0);
    EXPECT_EQ(wheel->titleForRow(0, 1), "G");
    wheel->userSelectRow(1, 1);

    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    EXPECT_EQ(result.done, 1);
    EXPECT_EQ(result.cancelled, 0);
    EXPECT_EQ(result.indexes, (std::vector<int>{2, 1}));
    EXPECT_EQ(result.values, (std::vector<std::string>{"冀", "H"}));
    EXPECT_FALSE(driver.isAlertShowing());
}

TEST_F(InputTest, PickerClampsItsSelectionAndCancels) {
    PickerResult result;
    showPicker(result, json::array({json::array({"一", "二", "三"})}), json::array({7}), screen->view());
    auto wheel = visibleWheel();
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->numberOfComponents(), 1);
    EXPECT_EQ(wheel->selectedRowInComponent(0), 2);
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kCancelTitle));
    EXPECT_EQ(result.cancelled, 1);
    EXPECT_EQ(result.done, 0);

    json rows = json::array({json::array({"京", "津"}), {{"京", {"A", "B"}}, {"津", {"E"}}}});
    showPicker(result, rows, json::array({-3, 9}), screen->view());
    wheel = visibleWheel();
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->selectedRowInComponent(0), 0);
    EXPECT_EQ(wheel->selectedRowInComponent(1), 1);
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    EXPECT_EQ(result.values, (std::vector<std::string>{"京", "B"}));
}

TEST_F(InputTest, EmptyListsOfferNothingToChoose) {
    PickerResult result;
    // An initial row beyond an empty list is clamped; the wheel shows and chooses nothing.
    auto picker = showPicker(result, json::array({json::array()}), json::array({4}), screen->view());
    ASSERT_TRUE(driver.isAlertShowing());
    auto wheel = visibleWheel();
    ASSERT_NE(wheel, nullptr);
    EXPECT_EQ(wheel->numberOfRowsInComponent(0), 0);
    EXPECT_EQ(wheel->selectedRowInComponent(0), 0);
    EXPECT_EQ(wheel->titleForRow(0, 0), "");
    EXPECT_TRUE(StringPickerSheetTestAPI::rowsOfColumn(*picker, 0).empty());
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    EXPECT_EQ(result.done, 0);
    EXPECT_EQ(result.cancelled, 1);

    // A first-column string without letters, and rows that are no list at all.
    json rows = json::array({json::array({"京"}), json::object()});
    showPicker(result, rows, json::array({0, 0}), screen->view());
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    EXPECT_EQ(result.cancelled, 2);
    showPicker(result, json("not rows"), json(nullptr), nullptr);
    ASSERT_TRUE(driver.answerAlert(StringPickerSheet::kDoneTitle));
    EXPECT_EQ(result.cancelled, 3);
    EXPECT_EQ(result.done, 0);
}

}  // namespace
