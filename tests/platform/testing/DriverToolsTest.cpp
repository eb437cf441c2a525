// The driver as the simulator's person uses it: clearing a field, turning a picker, reading
// rows and ticks, and letting time pass on the manual clock while work is in flight.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/foundation/Activity.h"
#include "platform/foundation/Dispatch.h"
#include "platform/testing/Driver.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/PickerView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "OneScreenTest.h"

using namespace ui;

namespace {

class DriverToolsTest : public OneScreenTest {
protected:
    void TearDown() override {
        foundation::registerActivityProbe("driver tools test", [] { return false; });
        OneScreenTest::TearDown();
    }
};

// At most `limit` characters, as the forms' name fields allow.
class LimitDelegate : public TextFieldDelegate {
public:
    bool shouldChangeCharactersInRange(TextField& field, TextRange range, const std::string& replacement) override {
        ++asked;
        return text::length(text::replace(field.text(), range, replacement)) <= limit;
    }
    size_t limit = 4;
    int asked = 0;
};

TEST_F(DriverToolsTest, ClearEmptiesAPrefilledFieldThroughItsDelegateAndTheLimitStillHolds) {
    auto field = std::make_shared<TextField>(Rect{20, 100, 280, 40});
    field->setPlaceholder("请输入驾驶人姓名");
    field->setText("张三丰");
    auto limit = std::make_shared<LimitDelegate>();
    field->setDelegate(limit);
    screen->view()->addSubview(field);
    // The caret somewhere in the middle: clearing still takes everything.
    field->setSelectedRange({1, 0});

    auto cleared = d.clear("请输入驾驶人姓名");
    ASSERT_TRUE(cleared) << cleared;
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(limit->asked, 3) << "one delete key per character, each asked of the delegate";

    ASSERT_TRUE(d.type("请输入驾驶人姓名", "李四五六七八"));
    EXPECT_EQ(field->text(), "李四五六");

    // A delegate that refuses deleting: told, not looped on.
    class Stubborn : public TextFieldDelegate {
    public:
        bool shouldChangeCharactersInRange(TextField&, TextRange, const std::string&) override { return false; }
    };
    auto stubborn = std::make_shared<Stubborn>();
    field->setDelegate(stubborn);
    auto refused = d.clear("0");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("refused the delete key"), std::string::npos) << refused;
    EXPECT_FALSE(d.clear("没有这个输入框"));
}

class Wheel : public PickerViewDataSource, public PickerViewDelegate {
public:
    int numberOfComponentsInPickerView(PickerView&) override { return 2; }
    int numberOfRowsInComponent(PickerView&, int component) override { return component == 0 ? 3 : 4; }
    std::string titleForRow(PickerView&, int row, int component) override {
        static const char* provinces[] = {"京", "津", "冀"};
        static const char* letters[] = {"A", "B", "C", "D"};
        return component == 0 ? provinces[row] : letters[row];
    }
    void didSelectRow(PickerView&, int row, int component) override { turned.push_back({component, row}); }
    std::vector<std::pair<int, int>> turned;
};

TEST_F(DriverToolsTest, PickTurnsTheWheelInTheNamedSheetWhichHoldsItOnItsOpaquePanel) {
    auto page = std::make_shared<Label>(Rect{0, 200, 320, 368});
    page->setBackgroundColor(Color::rgba(1, 0, 0));  // a red page behind the sheet
    screen->view()->addSubview(page);
    auto wheel = std::make_shared<Wheel>();
    auto picker = std::make_shared<PickerView>(Rect{0, 0, 320, 216});
    picker->setDataSource(wheel);
    picker->setDelegate(wheel);
    auto sheet = std::make_shared<ActionSheet>("号码", std::weak_ptr<ActionSheetDelegate>(), "取消", "",
                                               std::vector<std::string>{"完成"});
    sheet->showInView(screen->view());
    sheet->addSubview(picker);
    d.settle();

    // The wheel lies inside the sheet's panel, under the title and above "完成".
    auto done = d.findByTitle("完成");
    ASSERT_TRUE(done);
    auto title = d.findByText("号码");
    ASSERT_TRUE(title);
    Rect wheelRect = picker->convertRectToView(picker->bounds(), nullptr);
    EXPECT_GE(wheelRect.y(), title->convertRectToView(title->bounds(), nullptr).maxY());
    EXPECT_LE(wheelRect.maxY(), done->convertRectToView(done->bounds(), nullptr).y() + 0.5);
    // Behind the wheel's rows is the panel's colour, not the (dimmed) red page.
    auto shot = d.screenshot(1);
    ASSERT_TRUE(shot);
    auto behind = shot->pixel(static_cast<int>(wheelRect.x() + 4), static_cast<int>(wheelRect.y() + 4));
    EXPECT_GT(behind.g, 0.9) << behind.r << "," << behind.g << "," << behind.b;
    EXPECT_GT(behind.r, 0.9);

    auto turned = d.pick("号码", 1, "C");
    ASSERT_TRUE(turned) << turned;
    EXPECT_EQ(picker->selectedRowInComponent(1), 2);
    EXPECT_EQ(wheel->turned, (std::vector<std::pair<int, int>>{{1, 2}}));
    ASSERT_TRUE(d.pick("", 0, "冀"));
    EXPECT_EQ(picker->selectedRowInComponent(0), 2);

    auto noRow = d.pick("号码", 1, "Z");
    EXPECT_FALSE(noRow);
    EXPECT_NE(noRow.message().find("\"D\""), std::string::npos) << "lists the rows: " << noRow;
    EXPECT_FALSE(d.pick("号码", 2, "A"));
    auto otherSheet = d.pick("原因", 0, "京");
    EXPECT_FALSE(otherSheet);
    EXPECT_NE(otherSheet.message().find("\"号码\""), std::string::npos) << otherSheet;
}

class Checklist : public TableViewDataSource {
public:
    int numberOfRowsInSection(TableView&, int) override { return 4; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row", ip);
        cell->textLabel()->setText("选项" + std::to_string(ip.row));
        cell->setAccessoryType(ip.row == ticked ? TableViewCellAccessoryType::Checkmark : TableViewCellAccessoryType::None);
        return cell;
    }
    int ticked = 2;
};

TEST_F(DriverToolsTest, RowsAreDescribedInRowOrderWithTheirTicks) {
    auto table = std::make_shared<TableView>(Rect{0, 64, 320, 504}, TableViewStyle::Plain);
    auto source = std::make_shared<Checklist>();
    table->setDataSource(source);
    screen->view()->addSubview(table);
    table->reloadData();
    d.settle();
    auto text = d.describeScreen();
    auto at = [&](const std::string& s) { return text.find(s); };
    ASSERT_NE(at("选项0"), std::string::npos) << text;
    EXPECT_LT(at("选项0"), at("选项1"));
    EXPECT_LT(at("选项1"), at("选项2"));
    EXPECT_LT(at("选项2"), at("选项3"));
    // The tick is on the third row's line, and only there.
    size_t tick = at(" checkmark");
    ASSERT_NE(tick, std::string::npos) << text;
    size_t lineStart = text.rfind('\n', tick);
    EXPECT_NE(text.substr(lineStart, tick - lineStart).find("选项2"), std::string::npos) << text;
    EXPECT_EQ(text.find(" checkmark", tick + 1), std::string::npos);
}

TEST_F(DriverToolsTest, TheManualClockLetsWorkInFlightLandAndJumpsWhenNothingIsPending) {
    auto label = std::make_shared<Label>(Rect{20, 100, 200, 20});
    label->setText("等待回复");
    screen->view()->addSubview(label);
    // A reply that takes 80 ms of real time on another thread, as the network's does.
    std::atomic<bool> busy{true};
    foundation::registerActivityProbe("driver tools test", [&busy] { return busy.load(); });
    std::thread reply([&busy, label] {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        foundation::dispatch::mainQueue()->async([label] { label->setText("回复到了"); });
        busy = false;
    });
    double start = loop().now();
    d.wait(1);
    reply.join();
    EXPECT_EQ(label->text(), "回复到了") << "the reply landed while the clock moved";
    EXPECT_NEAR(loop().now() - start, 1.0, 1e-6);

    // Nothing in flight: an hour of timers passes in order without real waiting.
    std::vector<double> fired;
    for (double at : {600.0, 1200.0, 3000.0}) loop().performAfter(at, [&fired, at] { fired.push_back(at); });
    auto real = std::chrono::steady_clock::now();
    d.wait(3600);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - real).count();
    EXPECT_EQ(fired, (std::vector<double>{600.0, 1200.0, 3000.0}));
    EXPECT_LT(seconds, 1.0);

    // until stops at the step where the condition holds, and the step observer sees each step.
    int steps = 0;
    d.setStepObserver([&steps] { ++steps; });
    loop().performAfter(5, [label] { label->setText("第二次"); });
    ASSERT_TRUE(d.waitForText("第二次", 10));
    EXPECT_NEAR(loop().now() - start, 3606, 1e-6);
    EXPECT_GE(steps, 2);
    d.setStepObserver(nullptr);
}

}  // namespace
