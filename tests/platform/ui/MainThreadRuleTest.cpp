#include <thread>

#include "UiTest.h"
#include "platform/foundation/Dispatch.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "support/MainThreadDeath.h"

namespace {

// A shown screen in a navigation stack, with a label, a button, an image view and a field.
class MainThreadRuleTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        root = std::make_shared<ui::ViewController>();
        nav = ui::NavigationController::create(root);
        window->setRootViewController(nav);
        window->makeKeyAndVisible();
        label = std::make_shared<ui::Label>(ui::Rect(10, 10, 100, 20));
        button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(10, 40, 100, 44));
        image = std::make_shared<ui::ImageView>();
        field = std::make_shared<ui::TextField>(ui::Rect(10, 90, 100, 30));
        for (auto v : std::initializer_list<std::shared_ptr<ui::View>>{label, button, image, field})
            root->view()->addSubview(v);
    }

    std::shared_ptr<ui::ViewController> root;
    std::shared_ptr<ui::NavigationController> nav;
    std::shared_ptr<ui::Label> label;
    std::shared_ptr<ui::Button> button;
    std::shared_ptr<ui::ImageView> image;
    std::shared_ptr<ui::TextField> field;
};

}  // namespace

TEST_F(MainThreadRuleTest, ViewsMadeBeforeTheLoopTurnsAndChangesPostedFromWorkersAreOnTheMainThread) {
    const long before = foundation::mainThreadViolations();
    // Everything in SetUp ran before the loop ever turned in this test.
    std::thread worker([this] {
        auto text = std::string("来自后台");
        foundation::dispatch::mainQueue()->async([this, text] {
            label->setText(text);
            button->setTitle(text);
            field->setText(text);
            root->view()->setBackgroundColor(ui::Color::white());
        });
    });
    worker.join();
    EXPECT_TRUE(runUntil([this] { return label->text() == "来自后台"; }));
    EXPECT_EQ(button->titleForState(ui::ControlStates::Normal), "来自后台");
    EXPECT_EQ(field->text(), "来自后台");
    EXPECT_EQ(foundation::mainThreadViolations(), before);
}

TEST_F(MainThreadRuleTest, ALabelsTextSetFromAWorkerAborts) {
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(label->setText("后台"), "a view's content");
}

TEST_F(MainThreadRuleTest, AButtonTitleAnImageOrAFieldTextSetFromAWorkerAborts) {
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(button->setTitle("后台"), "a view's content");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(image->setImage(nullptr), "a view's content");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(field->setText("后台"), "a view's content");
}

TEST_F(MainThreadRuleTest, GeometryVisibilityAndHierarchyChangedFromAWorkerAbort) {
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(label->setFrame(ui::Rect(0, 0, 50, 50)), "a view's frame");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(label->setHidden(true), "a view's hidden flag");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(label->setAlpha(0.5), "a view's alpha");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(root->view()->addSubview(std::make_shared<ui::View>()), "a view's subviews");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(label->removeFromSuperview(), "a view's superview");
}

TEST_F(MainThreadRuleTest, NavigationAndTheWindowsRootChangedFromAWorkerAbort) {
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(nav->pushViewController(std::make_shared<ui::ViewController>(), false),
                                      "a navigation stack \\(push\\)");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(window->setRootViewController(std::make_shared<ui::ViewController>()),
                                      "a window's root screen");
    EXPECT_ABORTS_OFF_THE_MAIN_THREAD(root->presentViewController(std::make_shared<ui::ViewController>(), false),
                                      "a screen's presentation");
}
