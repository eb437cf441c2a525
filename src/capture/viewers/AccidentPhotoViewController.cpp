#include "capture/viewers/AccidentPhotoViewController.h"

#include "capture/viewers/AccidentPhotoCell.h"
#include "core/Theme.h"
#include "imaging/BrowserPhoto.h"
#include "imaging/PhotoBrowser.h"
#include "platform/foundation/WeakBind.h"

AccidentPhotoViewController::AccidentPhotoViewController(Arguments arguments) {
    DataSource rows;
    for (auto& photo : arguments.photos) rows.emplace_back(std::move(photo));
    setDataSource(std::move(rows));
}

void AccidentPhotoViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<ui::ViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    table->setBackgroundColor(Theme::pageGrey());
    table->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    table->registerClass([](const std::string& identifier) { return std::make_shared<AccidentPhotoCell>(identifier); },
                         AccidentPhotoCell::kReuseIdentifier);
    initNoDataView(dataSource(), 0);
    table->reloadData();
}

double AccidentPhotoViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) {
    return AccidentPhotoCell::kHeight;
}

std::shared_ptr<ui::TableViewCell> AccidentPhotoViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                    ui::IndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<AccidentPhotoCell>(
        tableView.dequeueReusableCellWithIdentifier(AccidentPhotoCell::kReuseIdentifier, indexPath));
    if (!cell) cell = std::make_shared<AccidentPhotoCell>();
    if (const auto* photo = entry<AccidentPhoto>(static_cast<size_t>(indexPath.row))) cell->setAccidentPhoto(*photo);
    cell->onPhotoTap = foundation::weakBind(this, &AccidentPhotoViewController::showPhoto);
    return cell;
}

void AccidentPhotoViewController::showPhoto(const AccidentPhoto& photo, const std::shared_ptr<ui::ImageView>& imageView) {
    auto browserPhoto = std::make_shared<BrowserPhoto>();
    browserPhoto->url = photo.imageurl.value_or("");
    browserPhoto->srcImageView = imageView;
    browser_ = std::make_shared<PhotoBrowser>();
    browser_->currentPhotoIndex = 0;
    browser_->photos = {browserPhoto};
    browser_->show();
}
