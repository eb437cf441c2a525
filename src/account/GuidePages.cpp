#include "account/GuidePages.h"

#include "core/ApplicationRoutes.h"
#include "platform/ui/Screen.h"

namespace {

std::shared_ptr<ui::ImageView> addImage(ui::View& page, const char* name) {
    auto view = std::make_shared<ui::ImageView>(ui::Image::named(name));
    page.addSubview(view);
    return view;
}

// A point of the 320 × 568 reference screen on the real one.
double scaledX(double x) { return x * ui::Screen::mainScreen().bounds().width() / 320; }
double scaledY(double y) { return y * ui::Screen::mainScreen().bounds().height() / 568; }

void place(const std::weak_ptr<ui::ImageView>& layer, ui::Rect frame) {
    if (auto view = layer.lock()) view->setFrame(frame);
}

}  // namespace

AccidentTreatmentView::AccidentTreatmentView() { setUpSubviews(); }

void AccidentTreatmentView::setUpSubviews() {
    backgroundView = addImage(*this, "bg");
    sunBgView3 = addImage(*this, "sun-003");
    sunBgView2 = addImage(*this, "sun-002");
    sunImage = addImage(*this, "sun-001");
    blueCar = addImage(*this, "车-蓝色");
    people = addImage(*this, "人");
    yellowCar = addImage(*this, "车-黄色");
    cloud = addImage(*this, "云彩");
    word = addImage(*this, "字");
}

void AccidentTreatmentView::layoutSubviews() {
    ui::View::layoutSubviews();
    setUpBackgroundFrame();
    setUpSunFrame();
    setUpCarAndPeopleFrame();
    setUpCloudAndWordFrame();
}

void AccidentTreatmentView::setUpBackgroundFrame() {
    auto screen = ui::Screen::mainScreen().bounds();
    place(backgroundView, {0, 0, screen.width(), screen.height()});
}

void AccidentTreatmentView::setUpSunFrame() {
    place(sunBgView3, {scaledX(56), scaledY(134), 111, 111});
    place(sunBgView2, {scaledX(74), scaledY(151.5), 75.5, 76});
    place(sunImage, {scaledX(94.5), scaledY(172), 34.5, 35});
}

void AccidentTreatmentView::setUpCarAndPeopleFrame() {
    double width = ui::Screen::mainScreen().bounds().width();
    place(blueCar, {scaledX(38.5), scaledY(359), 185, 101});
    place(people, {scaledX(206), scaledY(332), 48.5, 125.5});
    place(yellowCar, {width - 94.5, scaledY(366.5), 94.5, 94.5});
}

void AccidentTreatmentView::setUpCloudAndWordFrame() {
    auto screen = ui::Screen::mainScreen().bounds();
    place(cloud, {0, 0, screen.width(), screen.height()});
    place(word, {screen.width() / 2 - 79, scaledY(129.5), 158, 36.5});
}

SettlementView::SettlementView() { setUpSubviews(); }

void SettlementView::setUpSubviews() { image = addImage(*this, kImage); }

void SettlementView::layoutSubviews() {
    ui::View::layoutSubviews();
    if (auto picture = image.lock()) picture->setFrame(bounds());
}

QuikeHandleView::QuikeHandleView() { setUpSubview(); }

void QuikeHandleView::setUpSubview() {
    backImage = addImage(*this, kImage);
    auto button = std::make_shared<ui::Button>(ui::ButtonType::Custom);
    auto picture = ui::Image::named(kButtonImage);
    button->setImage(picture, ui::ControlStates::Normal);
    button->setImage(picture, ui::ControlStates::Highlighted);
    button->addTarget([this] { pushBtnClick(); }, ui::ControlEvent::TouchUpInside, this);
    addSubview(button);
    pushBtn = button;
}

void QuikeHandleView::layoutSubviews() {
    ui::View::layoutSubviews();
    setUpSubviewFrame();
}

void QuikeHandleView::setUpSubviewFrame() {
    if (auto picture = backImage.lock()) picture->setFrame(bounds());
    auto screen = ui::Screen::mainScreen().bounds();
    if (auto button = pushBtn.lock())
        button->setFrame({screen.width() / 2 - 62.5, 0.8512324 * screen.height(), 125, 33.5});
}

void QuikeHandleView::pushBtnClick() { ApplicationRoutes::leaveForLoginPage(); }
