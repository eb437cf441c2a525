#include "capture/entry/AccidentTreatmentTipsController.h"

#include "core/Theme.h"
#include "platform/foundation/WeakBind.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Screen.h"

AccidentTreatmentTipsView::AccidentTreatmentTipsView() {
    setBackgroundColor(ui::Color::clear());
    auto add = [this](const char* text) {
        auto label = Theme::label(text, 20, ui::Color::black());
        addSubview(label);
        return label;
    };
    step1_ = add(kStep1);
    step2_ = add(kStep2);
    step3_ = add(kStep3);
}

void AccidentTreatmentTipsView::layoutSubviews() {
    ui::View::layoutSubviews();
    double width = bounds().width();
    double third = bounds().height() / 3;
    int row = 0;
    for (const auto& weak : {step1_, step2_, step3_}) {
        if (auto label = weak.lock()) label->setFrame({0, third * row, width, third});
        ++row;
    }
}

void AccidentTreatmentTipsController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    view()->setBackgroundColor(Theme::pageGrey());
    Theme::addBackItem(*this, foundation::weakBind(this, &AccidentTreatmentTipsController::backBtnClick));
    setTitle(kTitle);

    auto label = Theme::label(kLabelText, 20, Theme::hintGrey());
    label->setNumberOfLines(0);
    view()->addSubview(label);
    label_ = label;

    auto stepView = std::make_shared<AccidentTreatmentTipsView>();
    view()->addSubview(stepView);
    stepView_ = stepView;

    auto iknow = Theme::blueButton(kIknowTitle, Theme::systemButtonFont());
    iknow->addTarget(foundation::weakBind(this, &AccidentTreatmentTipsController::iknowBtnClick),
                     ui::ControlEvent::TouchUpInside);
    view()->addSubview(iknow);
    iknow_ = iknow;

    auto footer = Theme::label(kFooterText, 17, ui::Color::black());
    footer->setNumberOfLines(0);
    view()->addSubview(footer);
    footerTip_ = footer;
}

void AccidentTreatmentTipsController::viewWillAppear(bool animated) {
    BaseViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this, kTitle);
    layout();
}

void AccidentTreatmentTipsController::layout() {
    auto label = label_.lock();
    auto stepView = stepView_.lock();
    auto iknow = iknow_.lock();
    auto footer = footerTip_.lock();
    if (!label || !stepView || !iknow || !footer) return;
    const double margin = 10;
    double width = view()->bounds().width();
    label->setFrame({margin, 7, width - 2 * margin, 60});
    stepView->setFrame({0, label->frame().maxY(), width, ui::Screen::mainScreen().bounds().height() * 170.0 / 568.0});
    stepView->setNeedsLayout();
    iknow->setFrame({margin, stepView->frame().maxY() + 20, width - 2 * margin, 44});
    footer->setFrame({margin, iknow->frame().maxY() + 10, width - 2 * margin, 40});
}

void AccidentTreatmentTipsController::iknowBtnClick() { onIknow(); }

void AccidentTreatmentTipsController::backBtnClick() {
    if (auto navigation = navigationController()) navigation->popViewController(true);
}
