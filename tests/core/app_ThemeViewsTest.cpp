#include <gtest/gtest.h>

#include "core/CardView.h"
#include "core/FooterButtonView.h"
#include "core/Theme.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"

namespace {

// A plain screen at the top of a plain navigation controller (not the application's own, so
// everything the bar shows comes from the theme) in a key window.
class ThemeViewsTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        first = std::make_shared<ui::ViewController>();
        navigation = std::make_shared<ui::NavigationController>(first);
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        screen = std::make_shared<ui::ViewController>();
        navigation->pushViewController(screen, false);
        driver.settle();
    }
    void TearDown() override {
        window.reset();
        navigation.reset();
        screen.reset();
        first.reset();
        ui::resetForTests();
        PlatformTest::TearDown();
    }
    void put(const std::shared_ptr<ui::View>& view, ui::Rect frame) {
        view->setFrame(frame);
        screen->view()->addSubview(view);
        driver.settle();
    }

    driver::Driver driver;
    std::shared_ptr<ui::ViewController> first, screen;
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<ui::Window> window;
};

void expectActionButton(const ui::Button& button, const std::string& title, const char* image, const char* pressed,
                        const ui::Font& font = ui::Font::named("STHeiti", 15)) {
    for (auto state : {ui::ControlStates::Normal, ui::ControlStates::Highlighted}) {
        EXPECT_EQ(button.titleForState(state), title);
        EXPECT_EQ(button.titleColorForState(state), ui::Color::white());
    }
    EXPECT_EQ(button.titleLabel()->font(), font);
    ASSERT_TRUE(button.backgroundImageForState(ui::ControlStates::Normal));
    EXPECT_EQ(button.backgroundImageForState(ui::ControlStates::Normal)->name(), image);
    ASSERT_TRUE(button.backgroundImageForState(ui::ControlStates::Highlighted));
    EXPECT_EQ(button.backgroundImageForState(ui::ControlStates::Highlighted)->name(), pressed);
}

TEST_F(ThemeViewsTest, ThemedScreenHasTheGreyPageTheBarLookAndABackItemThatPops) {
    Theme::applyPageBackground(*screen);
    Theme::styleNavigationBar(*screen, "温馨提示");
    Theme::addBackItem(screen);
    driver.settle();

    EXPECT_EQ(screen->view()->backgroundColor(), ui::Color::rgbBytes(248, 248, 248));
    EXPECT_EQ(Theme::pageGrey(), ui::Color::grey(248.0 / 255.0));
    EXPECT_EQ(screen->title(), "温馨提示");
    auto bar = navigation->navigationBar();
    ASSERT_TRUE(bar->backgroundImage());
    EXPECT_EQ(bar->backgroundImage()->name(), "title");
    EXPECT_EQ(bar->titleTextAttributes().font, ui::Font::boldSystemFont(17));
    EXPECT_EQ(bar->titleTextAttributes().color, ui::Color::white());

    auto back = screen->navigationItem()->leftBarButtonItem();
    ASSERT_TRUE(back);
    ASSERT_TRUE(back->image());
    EXPECT_EQ(back->image()->name(), "返回");
    EXPECT_TRUE(screen->navigationItem()->hidesBackButton());

    auto outcome = driver.tapBarButton(driver::BarSide::Left);
    ASSERT_TRUE(outcome) << outcome;
    navigation->finishTransition();
    EXPECT_EQ(navigation->topViewController(), first);
}

TEST_F(ThemeViewsTest, BackItemRunsItsOwnActionAndCanBeTakenAway) {
    int backs = 0;
    Theme::addBackItem(*screen, [&] { ++backs; });
    driver.settle();
    ASSERT_TRUE(driver.goBack());
    EXPECT_EQ(backs, 1);
    EXPECT_EQ(navigation->topViewController(), screen);  // the action decides; it did not pop

    int revokes = 0;
    Theme::addRightTitleItem(*screen, "撤销案件", [&] { ++revokes; });
    Theme::hideBackItem(*screen);
    driver.settle();
    EXPECT_FALSE(driver.goBack());  // neither the item nor the system's back button
    EXPECT_EQ(backs, 1);
    auto right = screen->navigationItem()->rightBarButtonItem();
    ASSERT_TRUE(right);
    EXPECT_EQ(right->tintColor(), ui::Color::white());
    ASSERT_TRUE(driver.tapBarButton(driver::BarSide::Right));
    EXPECT_EQ(revokes, 1);
}

TEST_F(ThemeViewsTest, PopBackItemOutlivedByItsScreenDoesNothing) {
    auto lone = std::make_shared<ui::ViewController>();
    Theme::addBackItem(lone);
    auto item = lone->navigationItem()->leftBarButtonItem();
    ASSERT_TRUE(item);
    item->perform();  // in no navigation controller: nothing to pop
    lone.reset();
    item->perform();  // the screen is gone
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    Theme::addBackItem(std::shared_ptr<ui::ViewController>());  // no screen, no item, no crash
}

TEST_F(ThemeViewsTest, ButtonsLabelsAndTablesOfTheTheme) {
    expectActionButton(*Theme::blueButton("下一步"), "下一步", "蓝色btn", "蓝色btn-按下");
    expectActionButton(*Theme::blueButton("我知道了", ui::Font::systemFont(15)), "我知道了", "蓝色btn", "蓝色btn-按下",
                       ui::Font::systemFont(15));
    expectActionButton(*Theme::greyButton("返回首页"), "返回首页", "灰色btn", "灰色btn-按下");

    auto hint = Theme::label("事故现场是否有以下情况？", 20, Theme::hintGrey());
    EXPECT_EQ(hint->text(), "事故现场是否有以下情况？");
    EXPECT_EQ(hint->font(), ui::Font::systemFont(20));
    EXPECT_EQ(hint->textColor(), Theme::hintGrey());

    auto table = std::make_shared<ui::TableView>(ui::Rect(5, 5, 10, 10), ui::TableViewStyle::Plain);
    Theme::styleContentTable(*table);
    auto bounds = ui::Screen::mainScreen().bounds();
    EXPECT_EQ(table->frame(), ui::Rect(0, 0, bounds.width(), bounds.height() - 64));
    EXPECT_EQ(table->backgroundColor(), Theme::pageGrey());
    EXPECT_EQ(table->separatorStyle(), ui::TableViewCellSeparatorStyle::None);
    // The frame stays put when the view around it changes size.
    screen->view()->addSubview(table);
    screen->view()->setFrame({0, 0, 100, 100});
    EXPECT_EQ(table->frame(), ui::Rect(0, 0, bounds.width(), bounds.height() - 64));
}

// --- The card ---------------------------------------------------------------------------------

TEST_F(ThemeViewsTest, CardCentresPictureAndButtonAndRunsOnTapForEveryTap) {
    auto card = std::make_shared<CardView>("单车", ui::Size{186.5, 101.5}, "单车事故");
    int taps = 0;
    card->onTap = [&] { ++taps; };
    put(card, {0, 7, 320, 219});

    EXPECT_EQ(card->backgroundColor(), ui::Color::white());
    ASSERT_TRUE(card->picture()->image());
    EXPECT_EQ(card->picture()->image()->name(), "单车");
    EXPECT_EQ(card->picture()->frame(), ui::Rect((320 - 186.5) / 2, 40, 186.5, 101.5));
    EXPECT_EQ(card->button()->frame(), ui::Rect(45, 40 + 101.5 + 30, 230, 44));
    // The cards title their button in the system font.
    expectActionButton(*card->button(), "单车事故", "蓝色btn", "蓝色btn-按下", ui::Font::systemFont(15));

    auto outcome = driver.tap("单车事故");
    ASSERT_TRUE(outcome) << outcome;
    EXPECT_EQ(taps, 1);
    ASSERT_TRUE(driver.tap("单车事故"));
    EXPECT_EQ(taps, 2);

    // A wider card keeps both centred.
    card->setFrame({0, 7, 414, 219});
    card->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(card->button()->frame().midX(), 207);
    EXPECT_DOUBLE_EQ(card->picture()->frame().midX(), 207);
}

TEST_F(ThemeViewsTest, CardStaysQuietWhenDisabledHiddenOrWithoutAnAction) {
    auto card = std::make_shared<CardView>("多车", ui::Size{269, 76}, "两车及以上事故");
    int taps = 0;
    card->onTap = [&] { ++taps; };
    put(card, {0, 7, 320, 219});

    card->button()->setEnabled(false);
    EXPECT_FALSE(driver.tap("两车及以上事故"));
    EXPECT_EQ(taps, 0);

    card->button()->setEnabled(true);
    card->setHidden(true);
    EXPECT_FALSE(driver.tap("两车及以上事故"));
    EXPECT_EQ(taps, 0);

    card->setHidden(false);
    card->onTap = nullptr;
    EXPECT_TRUE(driver.tap("两车及以上事故"));
    EXPECT_EQ(taps, 0);

    // An action that replaces itself while it runs finishes with what it captured.
    card->onTap = [&, raw = card.get()] {
        raw->onTap = [&] { taps += 10; };
        ++taps;
    };
    ASSERT_TRUE(driver.tap("两车及以上事故"));
    EXPECT_EQ(taps, 1);
    ASSERT_TRUE(driver.tap("两车及以上事故"));
    EXPECT_EQ(taps, 11);
}

TEST_F(ThemeViewsTest, CardsButtonHeldAfterTheCardIsGoneReachesNothing) {
    int taps = 0;
    std::shared_ptr<ui::Button> button;
    {
        auto card = std::make_shared<CardView>("单车", ui::Size{186.5, 101.5}, "单车事故");
        card->onTap = [&] { ++taps; };
        button = card->button();
    }
    button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(taps, 0);
}

// --- The footer -------------------------------------------------------------------------------

TEST_F(ThemeViewsTest, FooterLayoutsPlaceTheButtonAcrossTheScreen) {
    double width = ui::Screen::mainScreen().bounds().width();
    FooterButtonView confirmation(Theme::blueButton("确认"), FooterButtonLayout::confirmation(Theme::pageGrey()));
    EXPECT_EQ(confirmation.frame(), ui::Rect(0, 0, width, 64));
    EXPECT_EQ(confirmation.button()->frame(), ui::Rect(12.5, 12.5, width - 25, 39));
    EXPECT_EQ(confirmation.backgroundColor(), Theme::pageGrey());

    FooterButtonView spacious(Theme::greyButton("返回首页"), FooterButtonLayout::spacious(104));
    EXPECT_EQ(spacious.frame(), ui::Rect(0, 0, width, 104));
    EXPECT_EQ(spacious.button()->frame(), ui::Rect(10, 60, width - 20, 44));
    EXPECT_FALSE(spacious.backgroundColor());
    expectActionButton(*spacious.button(), "返回首页", "灰色btn", "灰色btn-按下");

    // Without a button it makes a plain one rather than failing.
    FooterButtonView bare(nullptr, FooterButtonLayout::spacious(200));
    ASSERT_TRUE(bare.button());
    EXPECT_EQ(bare.button()->frame(), ui::Rect(10, 60, width - 20, 44));
}

TEST_F(ThemeViewsTest, FooterRunsOnTapOnlyWhenItsButtonCanBeTouched) {
    auto footer = std::make_shared<FooterButtonView>(Theme::greyButton("满意度评价"), FooterButtonLayout::spacious(200));
    int taps = 0;
    footer->onTap = [&] { ++taps; };
    put(footer, {0, 100, footer->frame().width(), 200});

    auto outcome = driver.tap("满意度评价");
    ASSERT_TRUE(outcome) << outcome;
    EXPECT_EQ(taps, 1);

    footer->button()->setEnabled(false);
    EXPECT_FALSE(driver.tap("满意度评价"));
    EXPECT_EQ(taps, 1);

    footer->button()->setEnabled(true);
    footer->button()->setHidden(true);
    EXPECT_FALSE(driver.tap("满意度评价"));
    EXPECT_EQ(taps, 1);

    footer->button()->setHidden(false);
    footer->setHidden(true);
    EXPECT_FALSE(driver.tap("满意度评价"));
    EXPECT_EQ(taps, 1);

    // A screen keeping the button after dropping the footer taps into nothing.
    auto button = footer->button();
    footer->removeFromSuperview();
    footer.reset();
    button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    EXPECT_EQ(taps, 1);
}

}  // namespace
