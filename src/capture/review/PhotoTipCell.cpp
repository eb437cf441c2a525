#include "capture/review/PhotoTipCell.h"

#include "core/Theme.h"

PhotoTipCell::PhotoTipCell(std::string reuseIdentifier)
    : CustomTableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {
    auto tips = std::make_shared<ui::Label>();
    tips->setTextColor(ui::Color::red());
    tips->setFont(ui::Font::systemFont(17));
    tips->setNumberOfLines(0);
    contentView()->addSubview(tips);
    tips_ = tips;
    auto button = Theme::blueButton(kTakeTitle);
    button->setTitle(kTakenTitle, ui::ControlStates::Disabled);
    button->addTarget([this] { takePhotoClicked(); }, ui::ControlEvent::TouchUpInside, this);
    contentView()->addSubview(button);
    takePhoto_ = button;
}

std::shared_ptr<PhotoTipCell> PhotoTipCell::cellWithTableview(ui::TableView& tableView) {
    auto cell = std::dynamic_pointer_cast<PhotoTipCell>(tableView.dequeueReusableCellWithIdentifier(kReuseIdentifier));
    return cell ? cell : std::make_shared<PhotoTipCell>();
}

void PhotoTipCell::setResult(const DisqualificationResult& result, std::size_t row, bool taken) {
    result_ = result;
    row_ = row;
    // A row reading only "。" would not tell the driver anything.
    std::string reason = result.des.value_or("");
    if (reason.find_first_not_of(" \t\r\n") == std::string::npos) reason = kNoReasonText;
    if (auto tips = tips_.lock()) tips->setText(reason + "。");
    if (auto button = takePhoto_.lock()) {
        button->setEnabled(!taken);
        button->setTitle(taken ? kTakenTitle : kTakeTitle);
        button->setTitle(taken ? kTakenTitle : kTakeTitle, ui::ControlStates::Highlighted);
    }
}

void PhotoTipCell::takePhotoClicked() {
    auto receiver = delegate.lock();
    auto button = takePhoto_.lock();
    if (receiver && button) receiver->takePhotoBtnDidClickWithPhotoType(result_.phototype.value_or(""), button, row_);
}

void PhotoTipCell::layoutSubviews() {
    CustomTableViewCell::layoutSubviews();
    double width = bounds().width();
    double height = bounds().height();
    if (auto tips = tips_.lock()) tips->setFrame({10, 0, width - 110, height});
    if (auto button = takePhoto_.lock()) button->setFrame({width - 100, 10, 90, height - 20});
}
