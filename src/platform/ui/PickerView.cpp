#include "platform/ui/PickerView.h"

#include <algorithm>

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Screen.h"

namespace ui {

PickerView::PickerView() : View(Rect(0, 0, Screen::mainScreen().bounds().width(), 216)) {}

PickerView::PickerView(Rect frame) : View(frame) {}

int PickerView::numberOfComponents() {
    auto ds = dataSource();
    return ds ? std::max(0, ds->numberOfComponentsInPickerView(*this)) : 0;
}

int PickerView::numberOfRowsInComponent(int component) {
    auto ds = dataSource();
    if (!ds || component < 0 || component >= numberOfComponents()) return 0;
    return std::max(0, ds->numberOfRowsInComponent(*this, component));
}

std::string PickerView::titleForRow(int row, int component) {
    auto d = delegate();
    return d ? d->titleForRow(*this, row, component) : "";
}

void PickerView::selectRow(int row, int component, bool animated) {
    (void)animated;
    if (component < 0) return;
    if (static_cast<size_t>(component) >= selected_.size()) selected_.resize(static_cast<size_t>(component) + 1, 0);
    int rows = numberOfRowsInComponent(component);
    selected_[static_cast<size_t>(component)] = rows > 0 ? std::clamp(row, 0, rows - 1) : 0;
    setNeedsDisplay();
}

int PickerView::selectedRowInComponent(int component) const {
    if (component < 0 || static_cast<size_t>(component) >= selected_.size()) return 0;
    return selected_[static_cast<size_t>(component)];
}

void PickerView::reloadAllComponents() {
    int n = numberOfComponents();
    selected_.resize(static_cast<size_t>(n), 0);
    for (int c = 0; c < n; ++c) selectRow(selectedRowInComponent(c), c, false);
}

void PickerView::reloadComponent(int component) {
    selectRow(selectedRowInComponent(component), component, false);
}

void PickerView::userSelectRow(int row, int component) {
    auto keep = weak_from_this().lock();
    if (component < 0 || component >= numberOfComponents()) return;
    selectRow(row, component, true);
    if (auto d = delegate()) d->didSelectRow(*this, selectedRowInComponent(component), component);
}

void PickerView::draw(GraphicsContext& context, Rect rect) {
    (void)rect;
    int n = numberOfComponents();
    if (n == 0) return;
    Rect b = bounds();
    double w = b.width() / n;
    for (int c = 0; c < n; ++c) {
        int rows = numberOfRowsInComponent(c);
        int sel = selectedRowInComponent(c);
        for (int k = -2; k <= 2; ++k) {
            int row = sel + k;
            if (row < 0 || row >= rows) continue;
            Rect r{c * w, b.midY() - 16 + k * 32, w, 32};
            context.drawText(titleForRow(row, c), r, Font::systemFont(k == 0 ? 21 : 18),
                             k == 0 ? Color::black() : Color::grey(0.6), TextAlignment::Center, 1, true);
        }
    }
    context.setFillColor(Color::grey(0.8));
    context.fillRect({0, b.midY() - 16, b.width(), 0.5});
    context.fillRect({0, b.midY() + 16, b.width(), 0.5});
}

std::string PickerView::describeContent() const {
    auto self = const_cast<PickerView*>(this);
    std::string s;
    for (int c = 0, n = self->numberOfComponents(); c < n; ++c) {
        if (!s.empty()) s += " ";
        s += self->titleForRow(selectedRowInComponent(c), c);
    }
    return s;
}

}  // namespace ui
