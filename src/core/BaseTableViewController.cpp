#include "core/BaseTableViewController.h"

#include <nlohmann/json.hpp>

#include "platform/foundation/Log.h"
#include "platform/ui/TableViewCell.h"

std::shared_ptr<ui::TableView> BaseTableViewController::tableView() {
    if (tableView_) return tableView_;
    ui::Rect frame = isViewLoaded() ? viewIfLoaded()->bounds() : ui::Rect();
    tableView_ = std::make_shared<ui::TableView>(frame, tableViewStyle_);
    tableView_->setAutoresizingMask(ui::AutoresizingFlexibleWidth | ui::AutoresizingFlexibleHeight);
    if (auto self = sharedAs<BaseTableViewController>()) {
        tableView_->setDataSource(std::static_pointer_cast<ui::TableViewDataSource>(self));
        tableView_->setDelegate(std::static_pointer_cast<ui::TableViewDelegate>(self));
    } else {
        foundation::log(className() + ": the table was made before the screen had an owner");
    }
    tableView_->setTableFooterView(std::make_shared<ui::View>());
    return tableView_;
}

void BaseTableViewController::viewDidLoad() {
    BaseViewController::viewDidLoad();
    auto table = tableView();
    table->setFrame(view()->bounds());
    view()->addSubview(table);
}

int BaseTableViewController::numberOfRowsInSection(ui::TableView&, int) {
    return static_cast<int>(dataSource_.size());
}

std::shared_ptr<ui::TableViewCell> BaseTableViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                ui::IndexPath indexPath) {
    auto cell = tableView.dequeueReusableCellWithIdentifier("BaseCell", indexPath);
    if (auto text = entry<std::string>(static_cast<size_t>(indexPath.row))) cell->textLabel()->setText(*text);
    return cell;
}

void BaseTableViewController::initNoDataView(size_t entries, int style) {
    if (noDataView_) {
        noDataView_->removeFromSuperview();
        noDataView_.reset();
    }
    if (entries > 0) {
        tableView()->setHidden(false);
        return;
    }
    tableView()->setHidden(true);
    auto host = view();
    ui::Rect area = host->bounds();
    noDataView_ = std::make_shared<ui::View>(area);
    noDataView_->setTag(kNoDataViewTag);
    noDataView_->setAutoresizingMask(ui::AutoresizingFlexibleWidth | ui::AutoresizingFlexibleHeight);

    auto image = ui::Image::named("Docnodata.png");
    if (!image) foundation::log("the image Docnodata.png is missing");
    auto imageView = std::make_shared<ui::ImageView>(image);
    ui::Size size = image ? image->size() : ui::Size{100, 100};
    double top = area.height() / 2 - size.height;
    imageView->setFrame({(area.width() - size.width) / 2, top, size.width, size.height});
    noDataView_->addSubview(imageView);

    auto label = std::make_shared<ui::Label>(ui::Rect(0, top + size.height + 15, area.width(), 30));
    label->setText(style == 0 ? "您还没有任何记录!" : "还没有评论哦! ^_^");
    label->setTextAlignment(ui::TextAlignment::Center);
    label->setFont(ui::Font::systemFont(15));
    label->setTextColor(ui::Color::gray());
    noDataView_->addSubview(label);
    host->addSubview(noDataView_);
}

void MultipleSectionTableViewController::viewWillAppear(bool animated) {
    BaseTableViewController::viewWillAppear(animated);
    if (dataSource().empty()) loadDataSource();
}

int MultipleSectionTableViewController::numberOfSectionsInTableView(ui::TableView&) {
    return static_cast<int>(dataSource().size());
}

int MultipleSectionTableViewController::numberOfRowsInSection(ui::TableView&, int section) {
    if (section < 0 || static_cast<size_t>(section) >= dataSource().size()) return 0;
    return rowsInEntry(dataSource()[static_cast<size_t>(section)]);
}

int MultipleSectionTableViewController::rowsInEntry(const std::any& entry) const {
    if (auto rows = std::any_cast<DataSource>(&entry)) return static_cast<int>(rows->size());
    if (auto rows = std::any_cast<nlohmann::json>(&entry)) return rows->is_array() ? static_cast<int>(rows->size()) : 0;
    if (auto rows = std::any_cast<std::vector<std::string>>(&entry)) return static_cast<int>(rows->size());
    return 0;
}
