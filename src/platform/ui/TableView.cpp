#include "platform/ui/TableView.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Log.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

namespace ui {

TableView::TableView(TableViewStyle style) : ScrollView(Screen::mainScreen().bounds()), style_(style) { init(); }

TableView::TableView(Rect frame, TableViewStyle style) : ScrollView(frame), style_(style) { init(); }

void TableView::init() {
    sectionHeaderHeight_ = style_ == TableViewStyle::Grouped ? 28 : 22;
    sectionFooterHeight_ = style_ == TableViewStyle::Grouped ? 28 : 22;
    setBackgroundColor(style_ == TableViewStyle::Grouped ? Color::rgbBytes(239, 239, 244) : Color::white());
    setAlwaysBounceVertical(true);
}

void TableView::setDataSource(std::weak_ptr<TableViewDataSource> ds) {
    dataSource_ = std::move(ds);
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setDelegate(std::weak_ptr<TableViewDelegate> d) {
    tableDelegate_ = d;
    ScrollView::setDelegate(std::weak_ptr<ScrollViewDelegate>(d));
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setTableHeaderView(std::shared_ptr<View> view) {
    if (tableHeaderView_) tableHeaderView_->removeFromSuperview();
    tableHeaderView_ = std::move(view);
    if (tableHeaderView_) addSubview(tableHeaderView_);
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
    if (tableFooterView_) tableFooterView_->removeFromSuperview();
    tableFooterView_ = std::move(view);
    if (tableFooterView_) addSubview(tableFooterView_);
    geometryValid_ = false;
    setNeedsLayout();
}

void TableView::setBackgroundView(std::shared_ptr<View> view) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(view);
    if (backgroundView_) insertSubview(backgroundView_, 0);
    setNeedsLayout();
}

void TableView::registerClass(CellFactory factory, const std::string& identifier) {
    if (factory) factories_[identifier] = std::move(factory);
    else factories_.erase(identifier);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier) {
    auto it = queues_.find(identifier);
    if (it == queues_.end() || it->second.empty()) return nullptr;
    auto cell = it->second.back();
    it->second.pop_back();
    ++cellsReused_;
    cell->prepareForReuse();
    return cell;
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string& identifier,
                                                                            IndexPath indexPath) {
    (void)indexPath;
    if (auto cell = dequeueReusableCellWithIdentifier(identifier)) return cell;
    auto f = factories_.find(identifier);
    if (f != factories_.end()) {
        if (auto cell = f->second(identifier)) return cell;
    }
    return std::make_shared<TableViewCell>(TableViewCellStyle::Default, identifier);
}

size_t TableView::queuedCellCount() const {
    size_t n = 0;
    for (auto& [id, q] : queues_) n += q.size();
    return n;
}

double TableView::headerHeightFor(int section, bool hasView, const std::string& title) {
    if (auto d = delegate()) {
        double h = d->heightForHeaderInSection(*this, section);
        if (h >= 0) return h;
    }
    if (hasView || !title.empty()) return sectionHeaderHeight_;
    return style_ == TableViewStyle::Grouped ? 10 : 0;
}

double TableView::footerHeightFor(int section, bool hasView, const std::string& title) {
    if (auto d = delegate()) {
        double h = d->heightForFooterInSection(*this, section);
        if (h >= 0) return h;
    }
    if (hasView || !title.empty()) return sectionFooterHeight_;
    return style_ == TableViewStyle::Grouped ? 10 : 0;
}

void TableView::computeGeometry() {
    auto keep = weak_from_this().lock();
    geometryValid_ = true;
    auto ds = dataSource();
    auto d = delegate();
    // The sections keep their storage from the last computation (every value is set anew): a
    // table that grows a row at a time does not allocate its geometry again at each reload.
    if (!ds) sections_.clear();
    double y = tableHeaderView_ ? tableHeaderView_->frame().height() : 0;
    if (ds) {
        int n = std::max(0, ds->numberOfSectionsInTableView(*this));
        sections_.resize(static_cast<size_t>(n));
        for (int s = 0; s < n; ++s) {
            Section& sec = sections_[static_cast<size_t>(s)];
            sec.rows = std::max(0, ds->numberOfRowsInSection(*this, s));
            sec.headerTitle = ds->titleForHeaderInSection(*this, s);
            sec.footerTitle = ds->titleForFooterInSection(*this, s);
            bool headerView = false, footerView = false;
            if (d && d->heightForHeaderInSection(*this, s) < 0) headerView = d->viewForHeaderInSection(*this, s) != nullptr;
            if (d && d->heightForFooterInSection(*this, s) < 0) footerView = d->viewForFooterInSection(*this, s) != nullptr;
            sec.headerHeight = headerHeightFor(s, headerView, sec.headerTitle);
            sec.footerHeight = footerHeightFor(s, footerView, sec.footerTitle);
            sec.top = y;
            y += sec.headerHeight;
            sec.rowTops.resize(static_cast<size_t>(sec.rows));
            sec.rowHeights.resize(static_cast<size_t>(sec.rows));
            for (int r = 0; r < sec.rows; ++r) {
                const double h = rowHeightAt({s, r});
                sec.rowTops[static_cast<size_t>(r)] = y;
                sec.rowHeights[static_cast<size_t>(r)] = h;
                y += h;
            }
            y += sec.footerHeight;
        }
    }
    if (tableFooterView_) {
        Rect f = tableFooterView_->frame();
        tableFooterView_->setFrame({0, y, bounds().width(), f.height()});
        y += f.height();
    }
    if (tableHeaderView_) {
        Rect f = tableHeaderView_->frame();
        tableHeaderView_->setFrame({0, 0, bounds().width(), f.height()});
    }
    contentHeight_ = y;
    setContentSize({bounds().width(), y});
}

double TableView::rowHeightAt(IndexPath indexPath) {
    auto d = delegate();
    double h = d ? d->heightForRowAtIndexPath(*this, indexPath) : TableViewAutomaticDimension;
    return h >= 0 ? h : rowHeight_;
}

// The data source has the sections of the computed geometry, each with its rows and
// `addedRows[section]` more.
bool TableView::countsMatch(const std::map<int, int>& addedRows) {
    auto ds = dataSource();
    if (!ds || std::max(0, ds->numberOfSectionsInTableView(*this)) != static_cast<int>(sections_.size())) return false;
    for (size_t s = 0; s < sections_.size(); ++s) {
        auto added = addedRows.find(static_cast<int>(s));
        const int expected = sections_[s].rows + (added == addedRows.end() ? 0 : added->second);
        if (std::max(0, ds->numberOfRowsInSection(*this, static_cast<int>(s))) != expected) return false;
    }
    return true;
}

// Puts the rows at `inserted` (their places once inserted) into the computed geometry: only
// their heights are asked; the rows below move down, and visible cells of rows that moved go
// back to the queue to be asked again at their new places. False, with nothing changed, when
// the index paths or the data source's counts do not fit such an insertion.
bool TableView::insertIntoGeometry(std::vector<IndexPath> inserted) {
    if (inserted.empty()) return countsMatch({});
    std::sort(inserted.begin(), inserted.end());
    if (std::adjacent_find(inserted.begin(), inserted.end()) != inserted.end()) return false;
    std::map<int, int> added;
    for (const auto& ip : inserted) {
        if (ip.section < 0 || ip.section >= static_cast<int>(sections_.size()) || ip.row < 0) return false;
        ++added[ip.section];
    }
    if (!countsMatch(added)) return false;
    std::vector<double> heights;
    for (const auto& ip : inserted) {
        if (ip.row >= sections_[static_cast<size_t>(ip.section)].rows + added[ip.section]) return false;
        heights.push_back(rowHeightAt(ip));
    }
    // From the top down, each row at its final place moves those at and below it by one.
    for (size_t i = 0; i < inserted.size(); ++i) {
        Section& sec = sections_[static_cast<size_t>(inserted[i].section)];
        const auto at = static_cast<std::ptrdiff_t>(inserted[i].row);
        sec.rowHeights.insert(sec.rowHeights.begin() + at, heights[i]);
        sec.rowTops.insert(sec.rowTops.begin() + at, 0.0);
        ++sec.rows;
    }
    auto moved = [&inserted](IndexPath ip) {
        for (const auto& at : inserted)
            if (at.section == ip.section && at.row <= ip.row) ++ip.row;
        return ip;
    };
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (moved(it->first) != it->first) {
            auto cell = it->second;
            it = visible_.erase(it);
            enqueue(cell);
        } else {
            ++it;
        }
    }
    for (auto& ip : selected_) ip = moved(ip);
    if (touchRow_) touchRow_ = moved(*touchRow_);
    placeFrom(inserted.front().section, inserted.front().row);
    return true;
}

// Asks the heights of the rows at `indexPaths` again and moves the rows below one whose height
// changed. False, with nothing changed, when a row is not in the table or the data source's
// counts changed.
bool TableView::refreshRowHeights(const std::vector<IndexPath>& indexPaths) {
    if (!countsMatch({})) return false;
    std::vector<double> heights;
    for (const auto& ip : indexPaths) {
        if (ip.section < 0 || ip.section >= static_cast<int>(sections_.size()) || ip.row < 0 ||
            ip.row >= sections_[static_cast<size_t>(ip.section)].rows)
            return false;
        heights.push_back(rowHeightAt(ip));
    }
    std::optional<IndexPath> first;
    for (size_t i = 0; i < indexPaths.size(); ++i) {
        const IndexPath ip = indexPaths[i];
        double& height = sections_[static_cast<size_t>(ip.section)].rowHeights[static_cast<size_t>(ip.row)];
        if (height == heights[i]) continue;
        height = heights[i];
        if (!first || ip < *first) first = ip;
    }
    if (first) placeFrom(first->section, first->row);
    return true;
}

// Positions of the rows from `section`'s row `row` on, of the sections after it and of the
// table footer, and the content size, from the heights kept (as computeGeometry places them).
void TableView::placeFrom(int section, int row) {
    auto s = static_cast<size_t>(section);
    const Section& start = sections_[s];
    double y = row > 0 ? start.rowTops[static_cast<size_t>(row) - 1] + start.rowHeights[static_cast<size_t>(row) - 1]
                       : start.top + start.headerHeight;
    for (; s < sections_.size(); ++s) {
        Section& sec = sections_[s];
        if (s != static_cast<size_t>(section)) {
            sec.top = y;
            y += sec.headerHeight;
            row = 0;
        }
        for (int r = row; r < sec.rows; ++r) {
            sec.rowTops[static_cast<size_t>(r)] = y;
            y += sec.rowHeights[static_cast<size_t>(r)];
        }
        y += sec.footerHeight;
    }
    if (tableFooterView_) {
        Rect f = tableFooterView_->frame();
        tableFooterView_->setFrame({0, y, bounds().width(), f.height()});
        y += f.height();
    }
    contentHeight_ = y;
    setContentSize({bounds().width(), y});
}

void TableView::ensureGeometry() {
    if (!geometryValid_) computeGeometry();
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell) {
    cell->removeFromSuperview();
    if (cell->isHighlighted()) cell->setHighlighted(false, false);
    if (!cell->reuseIdentifier().empty()) queues_[cell->reuseIdentifier()].push_back(cell);
}

void TableView::removeAllVisible() {
    auto visible = std::move(visible_);
    visible_.clear();
    for (auto& [ip, cell] : visible) enqueue(cell);
    for (auto& [s, v] : headers_) v->removeFromSuperview();
    for (auto& [s, v] : footers_) v->removeFromSuperview();
    headers_.clear();
    footers_.clear();
}

void TableView::reloadData() {
    auto keep = weak_from_this().lock();
    removeAllVisible();
    selected_.clear();
    touchRow_.reset();
    geometryValid_ = false;
    computeGeometry();
    // Keep the offset inside the new content.
    Point o = contentOffset(), mx = maximumContentOffset(), mn = minimumContentOffset();
    Point c{std::clamp(o.x, mn.x, mx.x), std::clamp(o.y, mn.y, mx.y)};
    if (!(c == o)) setContentOffset(c);
    setNeedsLayout();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation) {
    (void)animation;
    auto keep = weak_from_this().lock();
    if (!geometryValid_ || !refreshRowHeights(indexPaths)) {
        geometryValid_ = false;
        computeGeometry();
    }
    for (auto& ip : indexPaths) {
        auto it = visible_.find(ip);
        if (it == visible_.end()) continue;
        auto cell = it->second;
        visible_.erase(it);
        enqueue(cell);
    }
    setNeedsLayout();
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation) {
    (void)animation;
    std::vector<IndexPath> ips;
    for (auto& [ip, cell] : visible_) {
        if (std::find(sections.begin(), sections.end(), ip.section) != sections.end()) ips.push_back(ip);
    }
    for (int s : sections) {
        if (auto it = headers_.find(s); it != headers_.end()) {
            it->second->removeFromSuperview();
            headers_.erase(it);
        }
        if (auto it = footers_.find(s); it != footers_.end()) {
            it->second->removeFromSuperview();
            footers_.erase(it);
        }
    }
    reloadRowsAtIndexPaths(ips, animation);
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation) {
    (void)animation;
    auto keep = weak_from_this().lock();
    if (!geometryValid_ || !insertIntoGeometry(indexPaths)) {
        reloadData();
        return;
    }
    setNeedsLayout();
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& indexPaths, TableViewRowAnimation animation) {
    (void)indexPaths;
    (void)animation;
    reloadData();
}

int TableView::numberOfSections() {
    ensureGeometry();
    return static_cast<int>(sections_.size());
}

int TableView::numberOfRowsInSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= static_cast<int>(sections_.size())) return 0;
    return sections_[static_cast<size_t>(section)].rows;
}

Rect TableView::rectForRowAtIndexPath(IndexPath ip) {
    ensureGeometry();
    if (ip.section < 0 || ip.section >= static_cast<int>(sections_.size())) return {};
    auto& sec = sections_[static_cast<size_t>(ip.section)];
    if (ip.row < 0 || ip.row >= sec.rows) return {};
    return {0, sec.rowTops[static_cast<size_t>(ip.row)], bounds().width(), sec.rowHeights[static_cast<size_t>(ip.row)]};
}

Rect TableView::rectForHeaderInSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= static_cast<int>(sections_.size())) return {};
    auto& sec = sections_[static_cast<size_t>(section)];
    return {0, sec.top, bounds().width(), sec.headerHeight};
}

Rect TableView::rectForFooterInSection(int section) {
    ensureGeometry();
    if (section < 0 || section >= static_cast<int>(sections_.size())) return {};
    auto& sec = sections_[static_cast<size_t>(section)];
    double rowsEnd = sec.top + sec.headerHeight;
    if (sec.rows > 0) rowsEnd = sec.rowTops.back() + sec.rowHeights.back();
    return {0, rowsEnd, bounds().width(), sec.footerHeight};
}

Rect TableView::rectForSection(int section) {
    Rect h = rectForHeaderInSection(section), f = rectForFooterInSection(section);
    return {0, h.y(), bounds().width(), f.maxY() - h.y()};
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(Point p) {
    ensureGeometry();
    for (size_t s = 0; s < sections_.size(); ++s) {
        auto& sec = sections_[s];
        if (sec.rows == 0) continue;
        double start = sec.rowTops.front(), end = sec.rowTops.back() + sec.rowHeights.back();
        if (p.y < start || p.y >= end) continue;
        auto it = std::upper_bound(sec.rowTops.begin(), sec.rowTops.end(), p.y);
        int row = static_cast<int>(it - sec.rowTops.begin()) - 1;
        if (row >= 0 && p.y < sec.rowTops[static_cast<size_t>(row)] + sec.rowHeights[static_cast<size_t>(row)]) {
            return IndexPath{static_cast<int>(s), row};
        }
    }
    return std::nullopt;
}

std::vector<IndexPath> TableView::indexPathsForRowsInRect(Rect rect) {
    ensureGeometry();
    std::vector<IndexPath> out;
    for (size_t s = 0; s < sections_.size(); ++s) {
        auto& sec = sections_[s];
        if (sec.rows == 0) continue;
        double end = sec.rowTops.back() + sec.rowHeights.back();
        if (end <= rect.minY() || sec.rowTops.front() >= rect.maxY()) continue;
        auto it = std::upper_bound(sec.rowTops.begin(), sec.rowTops.end(), rect.minY());
        int row = std::max(0, static_cast<int>(it - sec.rowTops.begin()) - 1);
        for (; row < sec.rows; ++row) {
            double top = sec.rowTops[static_cast<size_t>(row)];
            double h = sec.rowHeights[static_cast<size_t>(row)];
            if (top >= rect.maxY()) break;
            if (top + h <= rect.minY() || h <= 0) continue;
            out.push_back({static_cast<int>(s), row});
        }
    }
    return out;
}

void TableView::scrollToRowAtIndexPath(IndexPath ip, TableViewScrollPosition position, bool animated) {
    if (ip.section < 0 || ip.row < 0 || ip.row >= numberOfRowsInSection(ip.section)) return;
    Rect r = rectForRowAtIndexPath(ip);
    Rect b = bounds();
    Point off = b.origin;
    switch (position) {
    case TableViewScrollPosition::Top: off.y = r.y(); break;
    case TableViewScrollPosition::Middle: off.y = r.midY() - b.height() / 2; break;
    case TableViewScrollPosition::Bottom: off.y = r.maxY() - b.height(); break;
    case TableViewScrollPosition::None:
        if (r.y() < b.y()) off.y = r.y();
        else if (r.maxY() > b.maxY()) off.y = r.maxY() - b.height();
        break;
    }
    Point mn = minimumContentOffset(), mx = maximumContentOffset();
    off.y = std::clamp(off.y, mn.y, mx.y);
    setContentOffset(off, animated);
}

std::shared_ptr<View> TableView::makeSectionView(int section, bool header) {
    auto d = delegate();
    std::shared_ptr<View> v;
    if (d) v = header ? d->viewForHeaderInSection(*this, section) : d->viewForFooterInSection(*this, section);
    if (v) return v;
    auto& sec = sections_[static_cast<size_t>(section)];
    const std::string& title = header ? sec.headerTitle : sec.footerTitle;
    if (title.empty()) return nullptr;
    auto box = std::make_shared<View>();
    if (style_ == TableViewStyle::Plain) box->setBackgroundColor(Color::rgbBytes(247, 247, 247));
    auto label = std::make_shared<Label>();
    label->setText(title);
    label->setFont(style_ == TableViewStyle::Plain ? Font::boldSystemFont(14) : Font::systemFont(13));
    label->setTextColor(style_ == TableViewStyle::Plain ? Color::black() : Color::grey(0.43));
    label->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    box->addSubview(label);
    box->setTag(0);
    return box;
}

void TableView::tile() {
    if (tiling_) return;
    tiling_ = true;
    auto keep = weak_from_this().lock();
    ensureGeometry();
    auto ds = dataSource();
    Rect visibleRect = bounds();
    double width = visibleRect.width();
    std::vector<IndexPath> wanted = ds ? indexPathsForRowsInRect(visibleRect) : std::vector<IndexPath>{};
    // Cells that left the visible rectangle go to the reuse queue first, so that the data
    // source can take them for the rows that came in.
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (!std::binary_search(wanted.begin(), wanted.end(), it->first)) {
            auto cell = it->second;
            it = visible_.erase(it);
            enqueue(cell);
        } else {
            ++it;
        }
    }
    auto d = delegate();
    for (auto& ip : wanted) {
        Rect r = rectForRowAtIndexPath(ip);
        auto it = visible_.find(ip);
        if (it != visible_.end()) {
            it->second->setFrame({0, r.y(), width, r.height()});
            it->second->setSeparator(separatorStyle_ == TableViewCellSeparatorStyle::None ? Color::clear() : separatorColor_,
                                     separatorInset_);
            continue;
        }
        std::shared_ptr<TableViewCell> cell = ds->cellForRowAtIndexPath(*this, ip);
        ++cellsRequested_;
        if (!cell) {
            foundation::log("table view: the data source gave no cell for " + ip.description());
            cell = std::make_shared<TableViewCell>();
        }
        cell->setFrame({0, r.y(), width, r.height()});
        cell->setSeparator(separatorStyle_ == TableViewCellSeparatorStyle::None ? Color::clear() : separatorColor_,
                           separatorInset_);
        bool selected = std::find(selected_.begin(), selected_.end(), ip) != selected_.end();
        if (selected || cell->isSelected()) cell->setSelected(selected, false);
        insertSubview(cell, backgroundView_ ? 1 : 0);
        visible_[ip] = cell;
        if (d) d->willDisplayCell(*this, *cell, ip);
        cell->layoutIfNeeded();
    }
    // Section headers and footers of the visible sections.
    std::map<int, std::shared_ptr<View>> headers, footers;
    for (size_t s = 0; s < sections_.size(); ++s) {
        int section = static_cast<int>(s);
        for (bool header : {true, false}) {
            Rect r = header ? rectForHeaderInSection(section) : rectForFooterInSection(section);
            if (r.height() <= 0 || !r.intersects(visibleRect)) continue;
            auto& current = header ? headers_ : footers_;
            std::shared_ptr<View> v;
            if (auto it = current.find(section); it != current.end()) v = it->second;
            else v = makeSectionView(section, header);
            if (!v) continue;
            v->setFrame(r);
            if (v->superviewPointer() != this) addSubview(v);
            else bringSubviewToFront(v);
            (header ? headers : footers)[section] = v;
        }
    }
    for (auto& [s, v] : headers_) {
        if (!headers.count(s) || headers[s] != v) v->removeFromSuperview();
    }
    for (auto& [s, v] : footers_) {
        if (!footers.count(s) || footers[s] != v) v->removeFromSuperview();
    }
    headers_ = std::move(headers);
    footers_ = std::move(footers);
    if (backgroundView_) backgroundView_->setFrame(visibleRect);
    tiling_ = false;
}

void TableView::layoutSubviews() {
    ScrollView::layoutSubviews();
    tile();
}

void TableView::boundsSizeChanged(Size oldSize) {
    ScrollView::boundsSizeChanged(oldSize);
    if (oldSize.width != bounds().width()) {
        if (tableHeaderView_) {
            Rect f = tableHeaderView_->frame();
            tableHeaderView_->setFrame({0, f.y(), bounds().width(), f.height()});
        }
        if (tableFooterView_) {
            Rect f = tableFooterView_->frame();
            tableFooterView_->setFrame({0, f.y(), bounds().width(), f.height()});
        }
        if (geometryValid_) setContentSize({bounds().width(), contentHeight_});
    }
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(IndexPath ip) {
    layoutIfNeeded();
    auto it = visible_.find(ip);
    return it == visible_.end() ? nullptr : it->second;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell& cell) {
    for (auto& [ip, c] : visible_) {
        if (c.get() == &cell) return ip;
    }
    return std::nullopt;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() {
    layoutIfNeeded();
    std::vector<std::shared_ptr<TableViewCell>> out;
    for (auto& [ip, c] : visible_) out.push_back(c);
    return out;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() {
    layoutIfNeeded();
    std::vector<IndexPath> out;
    for (auto& [ip, c] : visible_) out.push_back(ip);
    return out;
}

std::shared_ptr<View> TableView::headerViewForSection(int section) {
    layoutIfNeeded();
    auto it = headers_.find(section);
    return it == headers_.end() ? nullptr : it->second;
}

std::shared_ptr<View> TableView::footerViewForSection(int section) {
    layoutIfNeeded();
    auto it = footers_.find(section);
    return it == footers_.end() ? nullptr : it->second;
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> ip, bool animated, TableViewScrollPosition position) {
    if (!ip) {
        auto sel = selected_;
        for (auto& s : sel) deselectRowAtIndexPath(s, animated);
        return;
    }
    if (ip->section < 0 || ip->row < 0 || ip->row >= numberOfRowsInSection(ip->section)) return;
    if (!allowsMultipleSelection_) {
        auto sel = selected_;
        for (auto& s : sel) {
            if (s != *ip) deselectRowAtIndexPath(s, animated);
        }
    }
    if (std::find(selected_.begin(), selected_.end(), *ip) == selected_.end()) selected_.push_back(*ip);
    if (auto it = visible_.find(*ip); it != visible_.end()) it->second->setSelected(true, animated);
    if (position != TableViewScrollPosition::None) scrollToRowAtIndexPath(*ip, position, animated);
}

void TableView::deselectRowAtIndexPath(IndexPath ip, bool animated) {
    auto it = std::find(selected_.begin(), selected_.end(), ip);
    if (it != selected_.end()) selected_.erase(it);
    if (auto v = visible_.find(ip); v != visible_.end()) v->second->setSelected(false, animated);
}

std::optional<IndexPath> TableView::indexPathForSelectedRow() const {
    if (selected_.empty()) return std::nullopt;
    return *std::min_element(selected_.begin(), selected_.end());
}

std::vector<IndexPath> TableView::indexPathsForSelectedRows() const {
    auto out = selected_;
    std::sort(out.begin(), out.end());
    return out;
}

void TableView::userSelect(IndexPath ip) {
    auto keep = weak_from_this().lock();
    if (!allowsSelection_) return;
    auto d = delegate();
    std::optional<IndexPath> target = d ? d->willSelectRowAtIndexPath(*this, ip) : std::optional<IndexPath>(ip);
    if (!target) return;
    bool already = std::find(selected_.begin(), selected_.end(), *target) != selected_.end();
    if (allowsMultipleSelection_ && already) {
        deselectRowAtIndexPath(*target, false);
        if ((d = delegate())) d->didDeselectRowAtIndexPath(*this, *target);
        return;
    }
    if (!allowsMultipleSelection_) {
        auto sel = selected_;
        for (auto& s : sel) {
            if (s == *target) continue;
            deselectRowAtIndexPath(s, false);
            if ((d = delegate())) d->didDeselectRowAtIndexPath(*this, s);
        }
    }
    selectRowAtIndexPath(*target, false, TableViewScrollPosition::None);
    if ((d = delegate())) d->didSelectRowAtIndexPath(*this, *target);
}

bool TableView::tapRowAtIndexPath(IndexPath ip) {
    auto keep = weak_from_this().lock();
    if (ip.section < 0 || ip.row < 0 || ip.section >= numberOfSections() || ip.row >= numberOfRowsInSection(ip.section)) {
        return false;
    }
    if (!allowsSelection_) return false;
    scrollToRowAtIndexPath(ip, TableViewScrollPosition::None, false);
    layoutIfNeeded();
    if (auto cell = cellForRowAtIndexPath(ip)) {
        cell->setHighlighted(true, false);
        cell->setHighlighted(false, false);
    }
    userSelect(ip);
    return true;
}

void TableView::touchesBegan(const Touches& touches) {
    ScrollView::touchesBegan(touches);
    touchRow_.reset();
    touchMoved_ = false;
    if (touches.empty()) return;
    touchStart_ = touches.front()->windowPoint_;
    touchRow_ = indexPathForRowAtPoint(touches.front()->locationInView(this));
    if (touchRow_ && allowsSelection_) {
        if (auto it = visible_.find(*touchRow_); it != visible_.end() &&
                                                 it->second->selectionStyle() != TableViewCellSelectionStyle::None) {
            it->second->setHighlighted(true, false);
        }
    }
}

void TableView::touchesMoved(const Touches& touches) {
    if (!touches.empty()) {
        Point p = touches.front()->windowPoint_;
        if (std::hypot(p.x - touchStart_.x, p.y - touchStart_.y) > 10 && !touchMoved_) {
            touchMoved_ = true;
            if (touchRow_) {
                if (auto it = visible_.find(*touchRow_); it != visible_.end()) it->second->setHighlighted(false, false);
            }
        }
    }
    ScrollView::touchesMoved(touches);
}

void TableView::touchesEnded(const Touches& touches) {
    auto keep = weak_from_this().lock();
    ScrollView::touchesEnded(touches);
    auto row = touchRow_;
    touchRow_.reset();
    if (!row) return;
    if (auto it = visible_.find(*row); it != visible_.end()) it->second->setHighlighted(false, false);
    if (touchMoved_ || touches.empty()) return;
    auto now = indexPathForRowAtPoint(touches.front()->locationInView(this));
    if (now && *now == *row) userSelect(*row);
}

void TableView::touchesCancelled(const Touches& touches) {
    ScrollView::touchesCancelled(touches);
    if (touchRow_) {
        if (auto it = visible_.find(*touchRow_); it != visible_.end()) it->second->setHighlighted(false, false);
    }
    touchRow_.reset();
}

void TableView::draw(GraphicsContext& context, Rect rect) {
    // Separators are drawn by the cells (see tile).
    (void)context;
    (void)rect;
}

}  // namespace ui
