#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "UiTest.h"

using namespace ui;
using Log = std::vector<std::string>;

namespace {

class NavigationTest : public UiTest {
protected:
    std::shared_ptr<RecordingScreen> screen(const std::string& name) { return std::make_shared<RecordingScreen>(name, log); }
    void show(const std::shared_ptr<ViewController>& root) {
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        log->clear();
    }
    std::shared_ptr<Log> log = std::make_shared<Log>();
};

TEST_F(NavigationTest, PushAndPopCallTheScreensInOrderAndFinishOnTheClock) {
    auto a = screen("A");
    auto nav = NavigationController::create(a);
    show(nav);
    EXPECT_TRUE(a->isAppeared());

    auto b = screen("B");
    nav->pushViewController(b, true);
    EXPECT_EQ(*log, (Log{"B.load", "A.willDisappear", "B.willAppear"}));
    EXPECT_EQ(nav->topViewController(), b);
    EXPECT_EQ(b->navigationController(), nav);
    advance(TransitionDuration - 0.01);
    EXPECT_EQ(log->size(), 3u);
    advance(0.02);
    EXPECT_EQ(*log, (Log{"B.load", "A.willDisappear", "B.willAppear", "A.didDisappear", "B.didAppear"}));
    // Only the top screen's view is in the hierarchy, below the bar.
    EXPECT_FALSE(a->view()->window());
    EXPECT_EQ(b->view()->window(), window);
    EXPECT_EQ(b->view()->frame(), Rect(0, 64, 320, 504));

    log->clear();
    auto popped = nav->popViewController(true);
    EXPECT_EQ(popped, b);
    EXPECT_EQ(nav->viewControllers().size(), 1u);
    EXPECT_EQ(b->navigationController(), nav);  // until it has disappeared
    EXPECT_EQ(*log, (Log{"B.willDisappear", "A.willAppear"}));
    advance(TransitionDuration);
    EXPECT_EQ(*log, (Log{"B.willDisappear", "A.willAppear", "B.didDisappear", "A.didAppear"}));
    EXPECT_EQ(b->navigationController(), nullptr);
    EXPECT_EQ(nav->popViewController(false), nullptr);  // the root stays
}

TEST_F(NavigationTest, PopToRootAndReplacingTheStackSkipTheCoveredScreens) {
    auto a = screen("A"), b = screen("B"), c = screen("C");
    auto nav = NavigationController::create(a);
    show(nav);
    nav->pushViewController(b, false);
    nav->pushViewController(c, false);
    log->clear();

    auto popped = nav->popToRootViewController(false);
    EXPECT_EQ(popped, (std::vector<std::shared_ptr<ViewController>>{b, c}));
    EXPECT_EQ(*log, (Log{"C.willDisappear", "A.willAppear", "C.didDisappear", "A.didAppear"}));

    auto d = screen("D"), e = screen("E");
    nav->pushViewController(b, false);
    log->clear();
    nav->setViewControllers({d, e}, false);
    EXPECT_EQ(*log, (Log{"E.load", "B.willDisappear", "E.willAppear", "B.didDisappear", "E.didAppear"}));
    EXPECT_EQ(nav->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{d, e}));
    EXPECT_FALSE(d->isViewLoaded());
    EXPECT_EQ(a->navigationController(), nullptr);

    log->clear();
    nav->pushViewController(a, false);
    log->clear();
    auto toD = nav->popToViewController(d, false);
    EXPECT_EQ(toD.size(), 2u);
    EXPECT_EQ(*log, (Log{"D.load", "A.willDisappear", "D.willAppear", "A.didDisappear", "D.didAppear"}));
    EXPECT_EQ(nav->topViewController(), d);
    EXPECT_TRUE(d->isAppeared());
    EXPECT_FALSE(e->isAppeared());
}

TEST_F(NavigationTest, ANewPushFinishesTheRunningTransitionFirst) {
    auto a = screen("A"), b = screen("B"), c = screen("C");
    auto nav = NavigationController::create(a);
    show(nav);
    nav->pushViewController(b, true);
    nav->pushViewController(c, true);
    EXPECT_EQ(*log, (Log{"B.load", "A.willDisappear", "B.willAppear", "A.didDisappear", "B.didAppear", "C.load",
                         "B.willDisappear", "C.willAppear"}));
    advance(1);
    EXPECT_TRUE(c->isAppeared());
    EXPECT_FALSE(b->isAppeared());
}

TEST_F(NavigationTest, ReplacingTheWindowRootTellsTheVisibleScreensTheyDisappear) {
    auto a = screen("A"), b = screen("B");
    auto nav = NavigationController::create(a);
    show(nav);
    nav->pushViewController(b, false);
    auto modal = screen("M");
    b->presentViewController(modal, false);
    EXPECT_EQ(modal->presentingViewController(), nav);
    log->clear();

    auto home = screen("Home");
    window->setRootViewController(NavigationController::create(home));
    EXPECT_EQ(*log, (Log{"M.willDisappear", "Home.load", "Home.willAppear", "M.didDisappear", "Home.didAppear"}));
    EXPECT_FALSE(b->isVisible());
    EXPECT_EQ(window->topViewController(), home);
    EXPECT_EQ(window->subviews().size(), 1u);
}

TEST_F(NavigationTest, PresentAndDismissCoverTheWholeStackAndRunTheCompletions) {
    auto a = screen("A");
    auto nav = NavigationController::create(a);
    show(nav);
    auto m = screen("M");
    auto modalNav = NavigationController::create(m);
    bool presented = false, dismissed = false;
    a->presentViewController(modalNav, true, [&] { presented = true; });
    EXPECT_EQ(*log, (Log{"M.load", "A.willDisappear", "M.willAppear"}));
    EXPECT_FALSE(presented);
    advance(TransitionDuration);
    EXPECT_TRUE(presented);
    EXPECT_EQ(window->topViewController(), m);
    EXPECT_EQ(m->navigationController(), modalNav);
    EXPECT_EQ(nav->presentedViewController(), modalNav);
    EXPECT_FALSE(a->view()->window());

    // A second presentation from the covered stack is refused.
    auto other = screen("X");
    a->presentViewController(other, false);
    EXPECT_EQ(nav->presentedViewController(), modalNav);

    log->clear();
    m->dismissViewController(true, [&] { dismissed = true; });
    advance(TransitionDuration);
    EXPECT_TRUE(dismissed);
    EXPECT_EQ(*log, (Log{"M.willDisappear", "A.willAppear", "M.didDisappear", "A.didAppear"}));
    EXPECT_EQ(nav->presentedViewController(), nullptr);
    EXPECT_EQ(a->view()->window(), window);
}

// A dismissal that starts while the presentation is still moving in leaves the window exactly
// as after a slow one: the presenter's view is back, on screen, and takes touches.
class QuickDismissTest : public NavigationTest, public ::testing::WithParamInterface<double> {};

TEST_P(QuickDismissTest, ThePresenterIsBackAndTakesTouches) {
    auto a = screen("A");
    auto nav = NavigationController::create(a);
    show(nav);
    auto button = std::make_shared<Button>(ButtonType::Custom, Rect(0, 100, 100, 44));
    int taps = 0;
    button->addTarget([&] { ++taps; }, ControlEvent::TouchUpInside);
    a->view()->addSubview(button);
    auto m = screen("M");
    a->presentViewController(m, true);
    if (GetParam() > 0) advance(GetParam());
    m->dismissViewController(true);
    advance(2 * TransitionDuration);
    drain();
    EXPECT_EQ(nav->presentedViewController(), nullptr);
    EXPECT_EQ(a->view()->window(), window);
    EXPECT_EQ(m->viewIfLoaded()->window(), nullptr);
    EXPECT_EQ(window->topViewController(), a);
    EXPECT_TRUE(a->isVisible());
    EXPECT_EQ(log->back(), "A.didAppear");
    window->tap({50, 64 + 122});
    EXPECT_EQ(taps, 1);
}

INSTANTIATE_TEST_SUITE_P(Moments, QuickDismissTest, ::testing::Values(0.0, 0.1, 0.2, 0.3));

TEST_F(NavigationTest, AScreenStaysAliveWhileItsOwnActionPopsIt) {
    auto a = screen("A");
    auto nav = NavigationController::create(a);
    show(nav);
    auto b = screen("B");
    nav->pushViewController(b, false);
    auto button = std::make_shared<Button>(ButtonType::Custom, Rect(0, 0, 100, 44));
    b->view()->addSubview(button);
    RecordingScreen* raw = b.get();
    std::weak_ptr<ViewController> weak = b;
    button->addTarget([raw, weak] {
        if (auto s = weak.lock()) s->navigationController()->popViewController(false);
        // The screen, its view and this button are still there while the action runs.
        raw->counter += 1;
        raw->view()->setTag(7);
    }, ControlEvent::TouchUpInside);
    b.reset();
    window->tap({50, 64 + 22});
    EXPECT_EQ(nav->topViewController(), a);
    EXPECT_FALSE(weak.expired());
    drain();
    EXPECT_TRUE(weak.expired());
}

TEST_F(NavigationTest, TheBarShowsTheTopItemAndItsBackButtonPops) {
    auto a = screen("A");
    a->setTitle("首页");
    auto nav = NavigationController::create(a);
    show(nav);
    auto bar = nav->navigationBar();
    EXPECT_EQ(bar->titleLabel()->text(), "首页");
    EXPECT_EQ(bar->backButton(), nullptr);

    auto b = screen("B");
    b->setTitle("温馨提示");
    nav->pushViewController(b, false);
    EXPECT_EQ(bar->titleLabel()->text(), "温馨提示");
    ASSERT_NE(bar->backButton(), nullptr);
    EXPECT_EQ(bar->backButton()->currentTitle(), "首页");

    int right = 0;
    b->navigationItem()->setRightBarButtonItem(
        std::make_shared<BarButtonItem>("退出", BarButtonItemStyle::Plain, [&] { ++right; }));
    ASSERT_NE(bar->rightButton(), nullptr);
    window->layoutIfNeeded();
    Point rc = bar->rightButton()->convertPointToView(bar->rightButton()->bounds().center(), nullptr);
    window->tap(rc);
    EXPECT_EQ(right, 1);

    b->navigationItem()->setHidesBackButton(true);
    EXPECT_EQ(bar->backButton(), nullptr);
    b->navigationItem()->setHidesBackButton(false);
    Point bc = bar->backButton()->convertPointToView(bar->backButton()->bounds().center(), nullptr);
    window->tap(bc);
    advance(TransitionDuration);
    EXPECT_EQ(nav->topViewController(), a);

    nav->setNavigationBarHidden(true);
    EXPECT_EQ(a->view()->frame(), Rect(0, 0, 320, 568));
    nav->setNavigationBarHidden(false);
    EXPECT_EQ(a->view()->frame(), Rect(0, 64, 320, 504));
    // Hiding the bar itself gives the screen the whole window at the next layout.
    bar->setHidden(true);
    window->layoutIfNeeded();
    EXPECT_EQ(a->view()->frame(), Rect(0, 0, 320, 568));
}

}  // namespace
