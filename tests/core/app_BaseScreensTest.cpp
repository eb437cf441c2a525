#include <gtest/gtest.h>

#include "app/TestScreens.h"
#include "core/ApplicationRoutes.h"
#include "core/BaseTableViewController.h"
#include "core/ButtonCell.h"
#include "core/CustomNavigationController.h"
#include "core/CustomTableViewCell.h"
#include "core/Output.h"
#include "core/ShowTheWindow.h"
#include "core/TextLabelCell.h"
#include "hud/ProgressHUD.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "support/PlatformTest.h"
#include "support/ProgressHUDTestAPI.h"

namespace {

class BaseScreensTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ui::resetForTests();
        ProgressHUD::resetForTesting();
        ScreenRegistry::reset();
        registerTestScreens();
        ApplicationRoutes::install(
            [] { return std::make_shared<NamedTestScreen>("HomeViewController", nullptr); },
            [] { return std::make_shared<NamedTestScreen>("LoginViewController", nullptr); });
    }
    void TearDown() override {
        ProgressHUD::resetForTesting();
        ui::resetForTests();
        ScreenRegistry::reset();
        ApplicationRoutes::reset();
        PlatformTest::TearDown();
    }
    // Shows the screen as the root of a window.
    std::shared_ptr<ui::Window> show(const std::shared_ptr<ui::ViewController>& root) {
        auto window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        return window;
    }
};

TEST_F(BaseScreensTest, BaseScreenPushesShowsItsLoadingOverlayAndStaysPortrait) {
    auto first = std::make_shared<BaseViewController>();
    auto nav = std::make_shared<CustomNavigationController>(first);
    auto window = show(nav);
    auto second = std::make_shared<BaseViewController>();
    first->pushNewViewController(second);
    nav->finishTransition();
    EXPECT_EQ(nav->topViewController(), second);
    EXPECT_FALSE(second->shouldAutorotate());
    EXPECT_EQ(second->supportedInterfaceOrientations(), ui::InterfaceOrientations::Portrait);

    int taps = 0;
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom, ui::Rect(20, 100, 200, 44));
    button->addTarget([&] { ++taps; }, ui::ControlEvent::TouchUpInside);
    second->view()->addSubview(button);
    ui::Point centre = button->convertPointToView(button->bounds().center(), nullptr);

    second->beginLoadingWithText("正在加载...");
    ASSERT_NE(second->loadingHUD(), nullptr);
    EXPECT_EQ(second->loadingHUD()->text(), "正在加载...");
    EXPECT_EQ(ProgressHUDTestAPI::view(*second->loadingHUD())->superview(), second->view());
    window->tap(centre);
    EXPECT_EQ(taps, 0);
    auto hud = second->loadingHUD();
    second->endLoading();
    EXPECT_EQ(ProgressHUDTestAPI::view(*hud)->superview(), nullptr);  // gone at once, no fade
    window->tap(centre);
    EXPECT_EQ(taps, 1);

    // A screen outside a navigation stack has nothing to push on.
    auto lone = std::make_shared<BaseViewController>();
    lone->pushNewViewController(std::make_shared<BaseViewController>());
    EXPECT_EQ(nav->viewControllers().size(), 2u);
}

TEST_F(BaseScreensTest, LoginPopUpReplacesTheKeyWindowsRoot) {
    auto screen = std::make_shared<BaseViewController>();
    auto window = show(std::make_shared<CustomNavigationController>(screen));
    screen->popLoginViewController();
    auto nav = std::dynamic_pointer_cast<CustomNavigationController>(window->rootViewController());
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(nav->topViewController()->className(), "LoginViewController");

    // Without a way to the login page installed nothing changes, and the error is logged.
    expectErrors();
    ApplicationRoutes::reset();
    auto before = window->rootViewController();
    std::dynamic_pointer_cast<BaseViewController>(nav->topViewController())->popLoginViewController();
    EXPECT_EQ(window->rootViewController(), before);
}

TEST_F(BaseScreensTest, NavigationBarHasTheApplicationsLook) {
    auto nav = std::make_shared<CustomNavigationController>(std::make_shared<BaseViewController>());
    show(nav);
    auto bar = nav->navigationBar();
    EXPECT_EQ(bar->tintColor(), ui::Color::white());
    ASSERT_TRUE(bar->titleTextAttributes().font.has_value());
    EXPECT_EQ(*bar->titleTextAttributes().font, ui::Font::boldSystemFont(17));
    EXPECT_EQ(bar->titleTextAttributes().color, ui::Color::white());
    EXPECT_EQ(bar->backgroundImage(), ui::Image::named("title"));
}

// A list screen with string rows.
class ListScreen : public BaseTableViewController {
public:
    void loadDataSource() override { ++loads; }
    int loads = 0;
};

class SectionScreen : public MultipleSectionTableViewController {
public:
    void loadDataSource() override {
        ++loads;
        setDataSource({DataSource{std::string("a"), std::string("b")}, nlohmann::json::array({1, 2, 3})});
    }
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& table, ui::IndexPath indexPath) override {
        return table.dequeueReusableCellWithIdentifier("cell", indexPath);
    }
    int loads = 0;
};

TEST_F(BaseScreensTest, TableScreenRowsAndTheEmptyListView) {
    auto screen = std::make_shared<ListScreen>();
    show(screen);
    auto table = screen->tableView();
    EXPECT_EQ(table->superview(), screen->view());
    EXPECT_EQ(table->frame(), screen->view()->bounds());
    EXPECT_EQ(table->dataSource().get(), static_cast<ui::TableViewDataSource*>(screen.get()));
    EXPECT_NE(table->tableFooterView(), nullptr);
    EXPECT_EQ(screen->loads, 0);

    screen->setDataSource({std::string("车牌号:  "), std::string("驾驶人姓名:  ")});
    table->reloadData();
    EXPECT_EQ(table->numberOfSections(), 1);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->textLabel()->text(), "驾驶人姓名:  ");
    ASSERT_NE(screen->entry<std::string>(0), nullptr);
    EXPECT_EQ(screen->entry<int>(0), nullptr);
    EXPECT_EQ(screen->entry<std::string>(5), nullptr);

    screen->initNoDataView(std::vector<int>{}, 0);
    ASSERT_NE(screen->noDataView(), nullptr);
    EXPECT_TRUE(table->isHidden());
    auto texts = [&] {
        std::vector<std::string> found;
        for (const auto& v : screen->noDataView()->subviews()) found.push_back(v->describeContent());
        return found;
    };
    EXPECT_EQ(texts()[1], "您还没有任何记录!");
    screen->initNoDataView(0, 1);
    EXPECT_EQ(texts()[1], "还没有评论哦! ^_^");
    EXPECT_EQ(screen->view()->viewWithTag(BaseTableViewController::kNoDataViewTag), screen->noDataView());

    screen->initNoDataView(screen->dataSource(), 0);
    EXPECT_EQ(screen->noDataView(), nullptr);
    EXPECT_EQ(screen->view()->viewWithTag(BaseTableViewController::kNoDataViewTag), nullptr);
    EXPECT_FALSE(table->isHidden());
}

TEST_F(BaseScreensTest, SectionScreenLoadsWhenAppearingEmpty) {
    auto screen = std::make_shared<SectionScreen>();
    auto nav = std::make_shared<CustomNavigationController>(screen);
    show(nav);
    EXPECT_EQ(screen->tableView()->style(), ui::TableViewStyle::Grouped);
    EXPECT_EQ(screen->loads, 1);
    screen->tableView()->reloadData();
    EXPECT_EQ(screen->tableView()->numberOfSections(), 2);
    EXPECT_EQ(screen->tableView()->numberOfRowsInSection(0), 2);
    EXPECT_EQ(screen->tableView()->numberOfRowsInSection(1), 3);

    // Coming back with data does not load again; coming back empty does.
    nav->pushViewController(std::make_shared<BaseViewController>(), false);
    nav->popViewController(false);
    EXPECT_EQ(screen->loads, 1);
    screen->dataSource().clear();
    nav->pushViewController(std::make_shared<BaseViewController>(), false);
    nav->popViewController(false);
    EXPECT_EQ(screen->loads, 2);
}

TEST_F(BaseScreensTest, CellsKeepTheirLookAndButtonCellCallsItsBlock) {
    auto quiet = std::make_shared<CustomTableViewCell>();
    quiet->setSelected(true, true);
    quiet->setHighlighted(true);
    EXPECT_FALSE(quiet->isSelected());
    EXPECT_FALSE(quiet->isHighlighted());

    auto cell = std::make_shared<ButtonCell>();
    EXPECT_EQ(cell->selectionStyle(), ui::TableViewCellSelectionStyle::None);
    auto button = cell->button();
    EXPECT_EQ(button, cell->button());
    EXPECT_EQ(button->frame(), ui::Rect(10, 10, ui::Screen::mainScreen().bounds().width() - 20, 100));
    EXPECT_EQ(button->titleLabel()->font(), ui::Font::named("Helvetica-Bold", 20));
    EXPECT_EQ(button->superview(), cell->contentView());
    button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);  // no block yet: nothing
    int clicks = 0;
    cell->setBtnClick([&] { ++clicks; });
    button->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    button->sendActionsForControlEvents(ui::ControlEvent::TouchDown);
    EXPECT_EQ(clicks, 1);
    cell->setBackImage("蓝色btn");
    ASSERT_TRUE(button->backgroundImageForState(ui::ControlStates::Normal));
    EXPECT_EQ(button->backgroundImageForState(ui::ControlStates::Normal)->name(), "蓝色btn");
    EXPECT_TRUE(button->backgroundImageForState(ui::ControlStates::Normal)->isResizable());

    auto labelled = std::make_shared<TextLabelCell>();
    labelled->setFrame({0, 0, 320, 44});
    labelled->textLabel()->setText("车牌号:");
    labelled->detailTextLabel()->setText("京A12345");
    labelled->setLabelWidth(90);
    labelled->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(labelled->textLabel()->frame().width(), 90);
    EXPECT_DOUBLE_EQ(labelled->detailTextLabel()->frame().x(), labelled->textLabel()->frame().maxX());
}

TEST_F(BaseScreensTest, RecordingLevelPictureOnTheKeyWindow) {
    auto window = show(std::make_shared<BaseViewController>());
    ShowTheWindow::removeTheWindow();  // nothing there: fine
    ShowTheWindow::showTheWindown(1);
    auto picture = std::dynamic_pointer_cast<ui::ImageView>(window->viewWithTag(ShowTheWindow::kTag));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->superview(), window);
    EXPECT_EQ(picture->center(), window->bounds().center());
    if (auto image = ui::Image::named("microphone_1.png")) {
        EXPECT_EQ(picture->image(), image);
        EXPECT_DOUBLE_EQ(picture->bounds().width(), image->size().width / 2);
    }
    ShowTheWindow::showTheWindown(5);
    EXPECT_EQ(window->viewWithTag(ShowTheWindow::kTag), picture);
    EXPECT_EQ(picture->image(), ui::Image::named("microphone_5.png"));
    size_t count = 0;
    for (const auto& v : window->subviews()) count += v->tag() == ShowTheWindow::kTag;
    EXPECT_EQ(count, 1u);
    ShowTheWindow::removeTheWindow();
    EXPECT_EQ(window->viewWithTag(ShowTheWindow::kTag), nullptr);
}

// A screen with one output, as the screens declare theirs.
class OutputScreen : public BaseViewController {
public:
    std::string className() const override { return "OutputScreen"; }
    Output<void(int count, const std::string& name)> onDone{this, "onDone"};
};

TEST_F(BaseScreensTest, AnUnwiredOutputHidesTheSpinnersAndNamesTheScreenAndTheOutput) {
    auto screen = std::make_shared<OutputScreen>();
    auto window = show(std::make_shared<CustomNavigationController>(screen));
    screen->beginLoadingWithText("正在加载...");
    ProgressHUD::showMessage("正在提交...");

    expectErrors();
    EXPECT_FALSE(screen->onDone(1, "one"));
    EXPECT_EQ(screen->loadingHUD(), nullptr);
    EXPECT_EQ(ProgressHUD::currentSpinner(), nullptr);
    ASSERT_EQ(loggedErrors().size(), 1u);
    EXPECT_NE(loggedErrors()[0].find("OutputScreen"), std::string::npos) << loggedErrors()[0];
    EXPECT_NE(loggedErrors()[0].find("onDone"), std::string::npos) << loggedErrors()[0];

    // Wired, it hands the values on; a hand-over that clears the output runs to its end.
    std::vector<std::string> seen;
    screen->onDone = [&](int count, const std::string& name) {
        screen->onDone = nullptr;
        seen.push_back(std::to_string(count) + name);
    };
    EXPECT_TRUE(screen->onDone(2, "two"));
    EXPECT_EQ(seen, std::vector<std::string>{"2two"});
    EXPECT_FALSE(static_cast<bool>(screen->onDone));
}

}  // namespace
