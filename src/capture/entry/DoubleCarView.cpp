#include "capture/entry/DoubleCarView.h"

DoubleCarView::DoubleCarView() : CardView(kImageName, {269, 76}, kButtonTitle) {
    onTap = [this] { doubleCarBtnClick(); };
}

void DoubleCarView::doubleCarBtnClick() {
    auto target = delegate.lock();
    if (target && target->respondsToDoubleCarBtnDidClick()) target->doubleCarBtnDidClick();
}
