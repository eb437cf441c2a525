#include "capture/areas/AreaImageViewController.h"

#include "capture/areas/AreaImageCell.h"
#include "core/Theme.h"
#include "imaging/PhotoBrowser.h"
#include "platform/foundation/WeakBind.h"

const nlohmann::json& AreaImageViewController::areas() {
    // The pictures are the bundle's drawn PNG maps, named without an extension.
    static const nlohmann::json list = nlohmann::json::array({
        {{"title", "中关村大队区域"}, {"image", "中关村大队区域"}},
        {{"title", "沙河大队区域"}, {"image", "沙河大队区域"}},
    });
    return list;
}

void AreaImageViewController::viewDidLoad() {
    BaseTableViewController::viewDidLoad();
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<AreaImageViewController>());
    view()->setBackgroundColor(Theme::pageGrey());
    auto table = tableView();
    Theme::styleContentTable(*table);
    table->registerClass([](const std::string& identifier) { return std::make_shared<AreaImageCell>(identifier); },
                         "AreaImageCell");
    loadDataSource();
    table->reloadData();
}

void AreaImageViewController::loadDataSource() {
    DataSource entries;
    for (const auto& area : areas()) entries.emplace_back(area);
    setDataSource(std::move(entries));
}

double AreaImageViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath) {
    return AreaImageCell::kRowHeight;
}

std::shared_ptr<ui::TableViewCell> AreaImageViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                ui::IndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<AreaImageCell>(tableView.dequeueReusableCellWithIdentifier("AreaImageCell", indexPath));
    if (!cell) cell = std::make_shared<AreaImageCell>();
    const auto* area = entry<nlohmann::json>(static_cast<size_t>(indexPath.row));
    cell->setArea(area ? *area : nlohmann::json());
    cell->onMapTap = foundation::weakBind(this, &AreaImageViewController::enlarge);
    return cell;
}

void AreaImageViewController::enlarge(const std::shared_ptr<ui::ImageView>& map) {
    if (!map || !map->image()) return;
    auto photo = std::make_shared<BrowserPhoto>();
    photo->srcImageView = map;
    photo->image = map->image();
    auto browser = std::make_shared<PhotoBrowser>();
    browser->photos = {photo};
    browser->currentPhotoIndex = 0;
    browser->showSaveBtn = false;
    browser->show();
    browser_ = browser;
}
