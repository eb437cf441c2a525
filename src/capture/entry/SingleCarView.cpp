#include "capture/entry/SingleCarView.h"

SingleCarView::SingleCarView() : CardView(kImageName, {186.5, 101.5}, kButtonTitle) {
    onTap = [this] { singleCarBtnClick(); };
}

void SingleCarView::singleCarBtnClick() {
    auto target = delegate.lock();
    if (target && target->respondsToSingleCarBtnDidClick()) target->singleCarBtnDidClick();
}
