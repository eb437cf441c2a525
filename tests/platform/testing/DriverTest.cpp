#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cctype>

#include "platform/testing/Driver.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "OneScreenTest.h"

using namespace ui;
using driver::BarSide;
using driver::Typing;
using driver::ViewQuery;

namespace {

// A small screen built by each test, in a key window.
class DriverTest : public OneScreenTest {
protected:
    // A button that counts its touch-down and touch-up-inside events.
    std::shared_ptr<Button> addButton(const std::string& title, Rect frame, int* downs, int* ups) {
        auto b = std::make_shared<Button>(ButtonType::System, frame);
        b->setTitle(title);
        if (downs) b->addTarget([downs] { ++*downs; }, ControlEvent::TouchDown);
        if (ups) b->addTarget([ups] { ++*ups; }, ControlEvent::TouchUpInside);
        screen->view()->addSubview(b);
        return b;
    }
    std::shared_ptr<Label> addLabel(const std::string& text, Rect frame) {
        auto l = std::make_shared<Label>(frame);
        l->setText(text);
        screen->view()->addSubview(l);
        return l;
    }
    std::shared_ptr<TextField> addField(const std::string& placeholder, Rect frame) {
        auto f = std::make_shared<TextField>(frame);
        f->setPlaceholder(placeholder);
        screen->view()->addSubview(f);
        return f;
    }
    static ImagePtr namedImage(const std::string& name) {
        auto image = std::make_shared<graphics::Image>(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20), 1,
                                                       graphics::ImageOrientation::Up);
        image->name_ = name;
        return image;
    }
};

TEST_F(DriverTest, FindsVisibleViewsByTextTitlePlaceholderImageTagAndClass) {
    auto label = addLabel("事故地点", {20, 80, 200, 20});
    auto ok = addButton("确定", {20, 120, 120, 44}, nullptr, nullptr);
    auto field = addField("手机号", {20, 180, 280, 40});
    auto camera = std::make_shared<ImageView>(namedImage("camera@2x.png"));
    camera->setFrame({20, 240, 40, 40});
    camera->setTag(77);
    screen->view()->addSubview(camera);

    EXPECT_EQ(d.findByText("事故地点").view(), label);
    EXPECT_EQ(d.findByTitle("确定").view(), ok);
    EXPECT_EQ(d.findByPlaceholder("手机号").view(), field);
    EXPECT_EQ(d.findByImageName("camera").view(), camera);
    EXPECT_EQ(d.findByImageName("camera@2x.png").view(), camera);
    EXPECT_EQ(d.findByTag(77).view(), camera);
    EXPECT_EQ(d.find<TextField>(ViewQuery::any()).view(), field);
    EXPECT_EQ(d.findByClass("Label").view(), label);
    EXPECT_EQ(d.find(ViewQuery::byText("地点").containing()).view(), label);
    // The button stands for its own title label.
    auto byText = d.findAll(ViewQuery::byText("确定"));
    ASSERT_EQ(byText.size(), 1u);
    EXPECT_EQ(byText.front(), ok);
    EXPECT_TRUE(d.isOnScreen("事故"));
    EXPECT_EQ(d.textInputs(), (std::vector<std::shared_ptr<View>>{field}));
}

TEST_F(DriverTest, HiddenClippedAndCoveredViewsAreFoundOnlyWhenAllAreAskedFor) {
    auto hidden = addButton("隐藏", {20, 80, 100, 44}, nullptr, nullptr);
    hidden->setHidden(true);
    auto faded = addLabel("透明", {20, 140, 100, 20});
    faded->setAlpha(0);
    auto clip = std::make_shared<View>(Rect{0, 300, 320, 50});
    clip->setClipsToBounds(true);
    screen->view()->addSubview(clip);
    auto outside = std::make_shared<Label>(Rect{0, 60, 100, 20});
    outside->setText("裁掉");
    clip->addSubview(outside);
    auto under = addLabel("底下", {20, 400, 100, 20});
    auto cover = std::make_shared<View>(Rect{0, 380, 320, 100});
    cover->setBackgroundColor(Color::red());
    screen->view()->addSubview(cover);

    for (auto text : {"隐藏", "透明", "裁掉", "底下"}) {
        auto f = d.find(ViewQuery::byContent(text));
        EXPECT_FALSE(f) << text;
        EXPECT_TRUE(d.find(ViewQuery::byContent(text).all())) << text;
        EXPECT_FALSE(d.isOnScreen(text)) << text;
    }
    auto f = d.findByTitle("隐藏");
    EXPECT_NE(f.error().find("no visible view with title \"隐藏\""), std::string::npos) << f.error();
    EXPECT_NE(f.error().find("is hidden"), std::string::npos) << f.error();
    EXPECT_NE(d.findByText("底下").error().find("is covered"), std::string::npos);
    EXPECT_NE(d.findByText("裁掉").error().find("outside"), std::string::npos);

    addLabel("可见", {20, 200, 100, 20});
    auto none = d.findByText("不存在");
    EXPECT_FALSE(none);
    EXPECT_NE(none.error().find("visible: \"可见\""), std::string::npos) << "names what the screen shows: " << none.error();
}

TEST_F(DriverTest, ATapIsTouchDownThenTouchUpInsideThroughHitTesting) {
    int downs = 0, ups = 0;
    auto button = addButton("确定", {20, 100, 120, 44}, &downs, &ups);
    auto r = d.tap("确定");
    ASSERT_TRUE(r) << r;
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    EXPECT_FALSE(button->isHighlighted());

    // A label inside a view with a tap recognizer: the touch goes through the label to it.
    int taps = 0;
    auto row = std::make_shared<View>(Rect{0, 200, 320, 44});
    row->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([&](GestureRecognizer&) { ++taps; }));
    auto label = std::make_shared<Label>(Rect{15, 10, 200, 24});
    label->setText("选择保险公司");
    row->addSubview(label);
    screen->view()->addSubview(row);
    ASSERT_TRUE(d.tap("选择保险公司"));
    EXPECT_EQ(taps, 1);

    auto at = d.tapAt({30, 110});
    ASSERT_TRUE(at) << at.error();
    EXPECT_TRUE(at.view() == button || at.view()->isDescendantOfView(button.get()));
    EXPECT_EQ(ups, 2);
}

TEST_F(DriverTest, DisabledHiddenAndCoveredButtonsDoNotGetTheTap) {
    int ups = 0;
    auto disabled = addButton("下一步", {20, 80, 120, 44}, nullptr, &ups);
    disabled->setEnabled(false);
    auto r = d.tap(disabled);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("disabled"), std::string::npos) << r;

    auto hidden = addButton("隐藏", {20, 140, 120, 44}, nullptr, &ups);
    hidden->setHidden(true);
    r = d.tap(hidden);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("hidden"), std::string::npos) << r;

    auto covered = addButton("提交", {20, 200, 120, 44}, nullptr, &ups);
    auto cover = std::make_shared<View>(Rect{0, 190, 320, 80});
    cover->setBackgroundColor(Color::grey(0.5));
    screen->view()->addSubview(cover);
    r = d.tap(covered);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("covered"), std::string::npos) << r;
    EXPECT_EQ(ups, 0);
    EXPECT_FALSE(d.tap("提交")) << "a covered button is not on the screen to tap";

    // An overlay that takes no touches lets the finger through to the button below.
    auto clearOverlay = std::make_shared<View>(Rect{0, 300, 320, 100});
    auto behind = addButton("通过", {20, 320, 120, 44}, nullptr, &ups);
    clearOverlay->setUserInteractionEnabled(false);
    screen->view()->addSubview(clearOverlay);
    EXPECT_TRUE(d.tap(behind));
    EXPECT_EQ(ups, 1);
}

// Upper-cases what is typed by changing the text itself and refusing the keystroke, as a
// licence-plate field does; and keeps at most `limit` characters.
class PlateDelegate : public TextFieldDelegate {
public:
    bool shouldChangeCharactersInRange(TextField& field, TextRange range, const std::string& replacement) override {
        ++asked;
        std::string upper = replacement;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        std::string next = text::replace(field.text(), range, upper);
        if (text::length(next) > limit) return false;
        if (upper == replacement) return true;
        field.setText(next);
        return false;
    }
    bool textFieldShouldReturn(TextField& field) override {
        ++returns;
        field.resignFirstResponder();
        return true;
    }
    size_t limit = 7;
    int asked = 0;
    int returns = 0;
};

TEST_F(DriverTest, TypingGoesThroughTheDelegateAndItsLimits) {
    auto field = addField("车牌号", {20, 100, 280, 40});
    auto plate = std::make_shared<PlateDelegate>();
    field->setDelegate(plate);
    int changes = 0;
    field->addTarget([&] { ++changes; }, ControlEvent::EditingChanged);

    auto r = d.type("车牌号", "京a12345xyz");
    ASSERT_TRUE(r) << r;
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_EQ(field->text(), "京A12345");
    EXPECT_EQ(plate->asked, 10);
    EXPECT_NE(r.message().find("4 of 10 keystrokes refused"), std::string::npos) << r;
    EXPECT_EQ(changes, 6) << "only the keystrokes the delegate let through change the field";
    EXPECT_NE(d.describeScreen().find("Keyboard (0,352,320,216)"), std::string::npos);

    // One insertion is asked once, and refused whole when it would pass the limit.
    field->setText("");
    plate->asked = 0;
    ASSERT_TRUE(d.type(field, "京B123456", Typing::Insertion));
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(plate->asked, 1);
    ASSERT_TRUE(d.type(field, "京B1234", Typing::Insertion));
    EXPECT_EQ(field->text(), "京B1234");
    ASSERT_TRUE(d.deleteBackward(field, 2));
    EXPECT_EQ(field->text(), "京B12");

    ASSERT_TRUE(d.pressReturn());
    EXPECT_EQ(plate->returns, 1);
    EXPECT_FALSE(field->isFirstResponder());
    auto noFocus = d.pressReturn();
    EXPECT_FALSE(noFocus);
    EXPECT_NE(noFocus.message().find("no text input has the keyboard"), std::string::npos);
}

TEST_F(DriverTest, MarkedTextOfAnInputMethodIsAskedOnlyWhenCommitted) {
    auto field = addField("姓名", {20, 100, 280, 40});
    auto plate = std::make_shared<PlateDelegate>();
    field->setDelegate(plate);
    Keyboard::setCurrentInputModeLanguage("zh-Hans");
    ASSERT_TRUE(d.setMarkedText(field, "zhang"));
    EXPECT_EQ(field->text(), "zhang");
    EXPECT_TRUE(field->markedTextRange().has_value());
    EXPECT_EQ(plate->asked, 0);
    ASSERT_TRUE(d.commitMarkedText(field));
    EXPECT_FALSE(field->markedTextRange().has_value());
    EXPECT_EQ(plate->asked, 1);
}

TEST_F(DriverTest, InputsAreFoundByPlaceholderOrIndexAndTextViewsTakeTypingToo) {
    auto top = addField("手机号", {20, 100, 280, 40});
    auto textView = std::make_shared<TextView>(Rect{20, 200, 280, 100});
    screen->view()->addSubview(textView);
    auto middle = addField("验证码", {20, 150, 280, 40});

    ASSERT_TRUE(d.type("1", "8888"));
    EXPECT_EQ(middle->text(), "8888");
    ASSERT_TRUE(d.type("2", "撞到了\n"));
    EXPECT_EQ(textView->text(), "撞到了\n");
    ASSERT_TRUE(d.typeIntoFocused("。"));
    EXPECT_EQ(textView->text(), "撞到了\n。");
    auto r = d.type("地址", "x");
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("[0] TextField \"手机号\""), std::string::npos) << r;
    EXPECT_NE(r.message().find("[2] TextView"), std::string::npos) << r;
    EXPECT_FALSE(d.type("7", "x"));
    EXPECT_EQ(top->text(), "");
}

class CountingTable : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfRowsInSection(TableView&, int) override { return 50; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, IndexPath ip) override {
        auto cell = table.dequeueReusableCellWithIdentifier("row", ip);
        cell->textLabel()->setText("第" + std::to_string(ip.row) + "行");
        return cell;
    }
    void didSelectRowAtIndexPath(TableView&, IndexPath ip) override { selected.push_back(ip); }
    std::vector<IndexPath> selected;
};

TEST_F(DriverTest, SelectingARowScrollsItIntoViewAndTellsTheDelegate) {
    auto table = std::make_shared<TableView>(Rect{0, 64, 320, 504}, TableViewStyle::Plain);
    auto source = std::make_shared<CountingTable>();
    table->setDataSource(source);
    table->setDelegate(source);
    screen->view()->addSubview(table);
    table->reloadData();

    EXPECT_FALSE(d.isOnScreen("第40行"));
    auto r = d.selectRow(0, 40);
    ASSERT_TRUE(r) << r;
    EXPECT_EQ(source->selected, (std::vector<IndexPath>{{0, 40}}));
    EXPECT_TRUE(d.isOnScreen("第40行"));
    EXPECT_NE(r.message().find("第40行"), std::string::npos) << r;

    r = d.selectRow(0, 50);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("50 rows"), std::string::npos) << r;
    EXPECT_FALSE(d.selectRow(1, 0));

    // Covered rows are not selected.
    auto cover = std::make_shared<View>(Rect{0, 0, 320, 568});
    cover->setBackgroundColor(Color::black().withAlpha(0.5));
    window->addSubview(cover);
    r = d.selectRow(0, 3);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("covered"), std::string::npos) << r;
    EXPECT_EQ(source->selected.size(), 1u);
}

class AlertAnswers : public AlertViewDelegate, public ActionSheetDelegate {
public:
    void clickedButtonAtIndex(AlertView&, int index) override { alertClicks.push_back(index); }
    void clickedButtonAtIndex(ActionSheet&, int index) override { sheetClicks.push_back(index); }
    std::vector<int> alertClicks, sheetClicks;
};

TEST_F(DriverTest, AlertsAndActionSheetsAreAnsweredByButtonTitle) {
    int screenUps = 0;
    addButton("确定", {20, 100, 120, 44}, nullptr, &screenUps);
    auto answers = std::make_shared<AlertAnswers>();
    EXPECT_FALSE(d.isAlertShowing());

    auto alert = std::make_shared<AlertView>("提示", "确认撤销案件吗?", answers, "取消", std::vector<std::string>{"确定"});
    alert->show();
    EXPECT_TRUE(d.isAlertShowing());
    auto desc = d.describeScreen();
    EXPECT_NE(desc.find("AlertView"), std::string::npos) << desc;
    EXPECT_NE(desc.find("确认撤销案件吗?"), std::string::npos) << desc;

    auto wrong = d.answerAlert("好的");
    EXPECT_FALSE(wrong);
    EXPECT_NE(wrong.message().find("its buttons: \"取消\" \"确定\""), std::string::npos) << wrong;
    // The screen's own "确定" lies under the alert: the finger means the alert's.
    ASSERT_TRUE(d.tap("确定"));
    EXPECT_EQ(answers->alertClicks, (std::vector<int>{1}));
    EXPECT_EQ(screenUps, 0);
    EXPECT_FALSE(alert->isVisible());

    auto sheet = std::make_shared<ActionSheet>("添加照片", answers, "取消", "删除", std::vector<std::string>{"拍照", "从相册选择"});
    sheet->showInView(screen->view());
    ASSERT_TRUE(d.answerAlert("从相册选择"));
    EXPECT_EQ(answers->sheetClicks, (std::vector<int>{2}));

    // No system alert: the front-most visible button with the title is the answer.
    ASSERT_TRUE(d.answerAlert("确定"));
    EXPECT_EQ(screenUps, 1);
    auto none = d.answerAlert("重试");
    EXPECT_FALSE(none);
    EXPECT_NE(none.message().find("no alert or action sheet is showing"), std::string::npos) << none;
}

class RecordingDelegate : public ApplicationDelegate {
public:
    bool didFinishLaunching(const nlohmann::json&) override { return true; }
    void didReceiveRemoteNotification(const nlohmann::json& info) override { pushes.push_back(info); }
    std::vector<nlohmann::json> pushes;
};

TEST_F(DriverTest, BarButtonsBackPushesAndTheTopScreenName) {
    class Named : public ViewController {
    public:
        explicit Named(std::string n) : name_(std::move(n)) {}
        std::string className() const override { return name_; }
        std::string name_;
    };
    auto home = std::make_shared<Named>("HomeViewController");
    home->setTitle("首页");
    auto nav = NavigationController::create(home);
    window->setRootViewController(nav);
    EXPECT_EQ(d.topScreenName(), "HomeViewController");
    EXPECT_FALSE(d.tapBarButton(BarSide::Back));
    EXPECT_FALSE(d.tapBarButton(BarSide::Right));

    auto detail = std::make_shared<Named>("DetailViewController");
    int done = 0;
    detail->navigationItem()->setRightBarButtonItem(
        std::make_shared<BarButtonItem>("完成", BarButtonItemStyle::Plain, [&] { ++done; }));
    nav->pushViewController(detail, false);
    d.settle();
    EXPECT_EQ(d.topScreenName(), "DetailViewController");
    ASSERT_TRUE(d.tapBarButton(BarSide::Right));
    EXPECT_EQ(done, 1);
    ASSERT_TRUE(d.tap("完成"));
    EXPECT_EQ(done, 2);
    auto back = d.goBack();
    ASSERT_TRUE(back) << back;
    d.wait(TransitionDuration);
    EXPECT_EQ(d.topScreenName(), "HomeViewController");

    auto delegate = std::make_shared<RecordingDelegate>();
    EXPECT_FALSE(d.deliverPush({{"key", "MSG"}}));
    Application::shared().setDelegate(delegate);
    ASSERT_TRUE(d.deliverPush({{"key", "MSG"}, {"content", "你好"}}));
    ASSERT_EQ(delegate->pushes.size(), 1u);
    EXPECT_EQ(delegate->pushes[0]["key"], "MSG");
}

TEST_F(DriverTest, TheScreenIsDescribedAsIndentedLinesOfWhatShows) {
    auto panel = std::make_shared<View>(Rect{10, 100, 300, 200});
    screen->view()->addSubview(panel);
    auto b = std::make_shared<Button>(ButtonType::Custom, Rect{10, 10, 100, 44});
    b->setTitle("拍照");
    b->setImage(namedImage("拍照按钮.png"));
    b->setSelected(true);
    panel->addSubview(b);
    auto off = std::make_shared<Button>(ButtonType::System, Rect{10, 60, 100, 44});
    off->setTitle("提交");
    off->setEnabled(false);
    panel->addSubview(off);
    auto secret = std::make_shared<TextField>(Rect{10, 110, 200, 30});
    secret->setSecureTextEntry(true);
    secret->setText("abc");
    panel->addSubview(secret);
    auto gone = std::make_shared<Label>(Rect{10, 150, 100, 20});
    gone->setText("看不见");
    gone->setHidden(true);
    panel->addSubview(gone);

    auto spinner = std::make_shared<ActivityIndicatorView>(ActivityIndicatorViewStyle::WhiteLarge);
    spinner->setFrame({200, 10, 37, 37});
    spinner->startAnimating();
    panel->addSubview(spinner);

    auto text = d.describeScreen();
    EXPECT_NE(text.find("ActivityIndicatorView (210,110,37,37) spinning"), std::string::npos) << text;
    EXPECT_EQ(text.rfind("Screen: ViewController\nWindow (0,0,320,568) key\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n    View (10,100,300,200)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n      Button (20,110,100,44) \"拍照\" image=拍照按钮 selected\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n      Button (20,160,100,44) \"提交\" disabled\n"), std::string::npos) << text;
    EXPECT_NE(text.find("TextField (20,210,200,30) \"•••\""), std::string::npos) << text;
    EXPECT_EQ(text.find("看不见"), std::string::npos) << text;
    EXPECT_EQ(text.find("Label (20,110"), std::string::npos) << "a button's own label is not listed: " << text;
    EXPECT_EQ(text.find("Keyboard"), std::string::npos);
}

TEST_F(DriverTest, WaitingAdvancesTheManualClockAndStopsWhenTheTextShows) {
    auto label = addLabel("查询中", {20, 100, 200, 20});
    loop().performAfter(2.0, [label] { label->setText("查询完成"); });
    double start = loop().now();
    auto early = d.waitForText("查询完成", 1.0);
    EXPECT_FALSE(early);
    EXPECT_NE(early.message().find("did not show within 1 s"), std::string::npos) << early;
    EXPECT_NEAR(loop().now() - start, 1.0, 1e-6);
    ASSERT_TRUE(d.waitForText("完成", 5.0));
    EXPECT_LE(loop().now() - start, 2.1 + 1e-6);
    EXPECT_GE(loop().now() - start, 2.0);
    d.wait(3);
    EXPECT_NEAR(loop().now() - start, 5.0, 0.11);
}

class PageRecorder : public ScrollViewDelegate {
public:
    void scrollViewDidEndDecelerating(ScrollView& sv) override { pages.push_back(sv.currentPage()); }
    std::vector<int> pages;
};

TEST_F(DriverTest, PagesScrollViewsAndSendsRawTouches) {
    auto pager = std::make_shared<ScrollView>(Rect{0, 100, 320, 200});
    pager->setPagingEnabled(true);
    pager->setContentSize({960, 200});
    auto recorder = std::make_shared<PageRecorder>();
    pager->setDelegate(recorder);
    screen->view()->addSubview(pager);
    ASSERT_TRUE(d.page(2));
    EXPECT_EQ(pager->currentPage(), 2);
    EXPECT_EQ(recorder->pages, (std::vector<int>{2}));
    auto r = d.page(3);
    EXPECT_FALSE(r);
    EXPECT_NE(r.message().find("3 pages"), std::string::npos) << r;

    auto pad = std::make_shared<View>(Rect{0, 350, 320, 200});
    std::vector<Point> moves;
    auto pan = std::make_shared<PanGestureRecognizer>([&](GestureRecognizer& g) {
        moves.push_back(static_cast<PanGestureRecognizer&>(g).translationInView(nullptr));
    });
    pad->addGestureRecognizer(pan);
    screen->view()->addSubview(pad);
    auto dragged = d.drag({50, 400}, {150, 450}, 4);
    ASSERT_TRUE(dragged) << dragged.error();
    EXPECT_EQ(dragged.view(), pad);
    ASSERT_FALSE(moves.empty());
    EXPECT_NEAR(moves.back().x, 100, 0.01);
    EXPECT_NEAR(moves.back().y, 50, 0.01);
    EXPECT_FALSE(d.touchMove({1, 1}));
    EXPECT_FALSE(d.touchUp({1, 1}));
}

TEST_F(DriverTest, TouchesGoToTheFrontWindowThatTakesThem) {
    int ups = 0;
    addButton("确定", {20, 100, 120, 44}, nullptr, &ups);
    auto overlay = std::make_shared<Window>();
    overlay->setWindowLevel(WindowLevelAlert);
    overlay->setBackgroundColor(Color::black().withAlpha(0.3));
    overlay->setHidden(false);
    auto r = d.tap(d.findByTitle("确定").view());
    EXPECT_FALSE(r) << "a window in front takes the touch";
    EXPECT_NE(r.message().find("went to Window"), std::string::npos) << r;
    EXPECT_EQ(ups, 0);
    EXPECT_NE(d.describeScreen().find("Window (0,0,320,568) level=2000"), std::string::npos) << d.describeScreen();
    overlay->setHidden(true);
    EXPECT_TRUE(d.tap("确定"));
    EXPECT_EQ(ups, 1);
    auto shot = d.screenshot(1);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->pixelWidth(), 320);
}

}  // namespace
