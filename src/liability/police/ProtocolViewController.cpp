#include "liability/police/ProtocolViewController.h"

#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/TextValues.h"
#include "core/Theme.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/parties/PartyRows.h"
#include "liability/police/PoliceValues.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/WeakBind.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"

using TextValues::sentValue;

namespace {

// A row of the agreement: a caption and its value, or (the signature row) the two signatures
// side by side. Selecting or highlighting it shows nothing.
class ProtocolCell : public ui::TableViewCell {
public:
    ProtocolCell(double height, bool signatures) : ui::TableViewCell(ui::TableViewCellStyle::Default) {
        double width = ui::Screen::mainScreen().bounds().width();
        setFrame({0, 0, width, height});
        setSelectionStyle(ui::TableViewCellSelectionStyle::None);
        auto name = std::make_shared<ui::Label>(ui::Rect(12.5, 0, 70, height));
        name->setFont(ui::Font::systemFont(15));
        auto detail = std::make_shared<ui::Label>(ui::Rect(90, 0, width - 102.5, height));
        detail->setFont(ui::Font::systemFont(15));
        double imageWidth = (width - 37.5) / 2;
        auto own = std::make_shared<ui::ImageView>(ui::Rect(12.5, 4, imageWidth, height - 8));
        auto other = std::make_shared<ui::ImageView>(ui::Rect(25 + imageWidth, 4, imageWidth, height - 8));
        for (auto& image : {own, other}) image->setContentMode(ui::ContentMode::ScaleAspectFit);
        name->setHidden(signatures);
        detail->setHidden(signatures);
        own->setHidden(!signatures);
        other->setHidden(!signatures);
        for (const std::shared_ptr<ui::View>& v : std::vector<std::shared_ptr<ui::View>>{name, detail, own, other})
            contentView()->addSubview(v);
        this->name = name;
        detailName = detail;
        selfImage = own;
        otherImage = other;
    }
    std::string className() const override { return "ProtocolCell"; }

    std::weak_ptr<ui::Label> name, detailName;
    std::weak_ptr<ui::ImageView> selfImage, otherImage;
};

PoliceDutyModel practiceRecord(const char* name, const char* duty) {
    return *PoliceDutyModel::objectWithKeyValues({{"carname", name}, {"carno", "京A***12"}, {"dutytype", duty}});
}

}  // namespace

ProtocolViewController::ProtocolViewController(Arguments arguments)
    : simulateState(arguments.simulateState), dutyModel(std::move(arguments.dutyModel)),
      insurance(std::move(arguments.insurance)), selfSignImage(std::move(arguments.selfSignImage)),
      otherSignImage(std::move(arguments.otherSignImage)), otherVerfication(std::move(arguments.otherVerfication)) {}

void ProtocolViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    Theme::applyPageBackground(*this);
    Theme::styleNavigationBar(*this, kTitle);
    Theme::addBackItem(sharedAs<ProtocolViewController>());

    if (simulateState == CaseMode::Practice) {
        selfDuty = practiceRecord("张三", "0");
        otherDuty = practiceRecord("李四", "1");
    } else if (dutyModel.size() >= 2) {
        selfDuty = dutyModel[0];
        otherDuty = dutyModel[1];
    } else {
        foundation::log("ProtocolViewController: the decision holds " + std::to_string(dutyModel.size()) +
                        " records instead of two");
    }

    table_ = std::make_shared<ui::TableView>(ui::Rect{}, ui::TableViewStyle::Grouped);
    Theme::styleContentTable(*table_);
    table_->setShowsVerticalScrollIndicator(false);
    table_->setShowsHorizontalScrollIndicator(false);
    table_->setDataSource(sharedAs<ProtocolViewController>());
    table_->setDelegate(sharedAs<ProtocolViewController>());
    view()->addSubview(table_);
}

void ProtocolViewController::viewWillAppear(bool animated) {
    ui::ViewController::viewWillAppear(animated);
    Theme::styleNavigationBar(*this);
    table_->reloadData();
}

// --- Table ----------------------------------------------------------------------------------------

int ProtocolViewController::numberOfSectionsInTableView(ui::TableView&) { return 2; }

int ProtocolViewController::numberOfRowsInSection(ui::TableView&, int section) { return section == 0 ? 3 : 4; }

std::shared_ptr<ui::TableViewCell> ProtocolViewController::cellForRowAtIndexPath(ui::TableView&,
                                                                                  ui::IndexPath indexPath) {
    bool signatures = indexPath.section == 1 && indexPath.row == 3;
    auto cell = std::make_shared<ProtocolCell>(signatures ? kSignatureRowHeight : kRowHeight, signatures);
    if (signatures) {
        cell->selfImage.lock()->setImage(selfSignImage);
        cell->otherImage.lock()->setImage(otherSignImage);
        return cell;
    }
    static const char* captions[3] = {"姓名:", "车牌号:", "责任:"};
    cell->name.lock()->setText(captions[std::clamp(indexPath.row, 0, 2)]);
    const auto& record = indexPath.section == 0 ? selfDuty : otherDuty;
    if (!record) return cell;
    auto detail = cell->detailName.lock();
    switch (indexPath.row) {
        case 0: detail->setText(record->carname.value_or("")); break;
        case 1: detail->setText(record->carno.value_or("")); break;
        default:
            if (auto text = PoliceValues::dutyText(record->dutytype)) detail->setText(*text);
            break;
    }
    return cell;
}

double ProtocolViewController::heightForRowAtIndexPath(ui::TableView&, ui::IndexPath indexPath) {
    return indexPath.section == 1 && indexPath.row == 3 ? kSignatureRowHeight : kRowHeight;
}

double ProtocolViewController::heightForHeaderInSection(ui::TableView&, int) { return kHeaderHeight; }

double ProtocolViewController::heightForFooterInSection(ui::TableView&, int section) {
    return section == 1 ? kFooterHeight : 0;
}

std::shared_ptr<ui::View> ProtocolViewController::viewForHeaderInSection(ui::TableView&, int section) {
    auto header = std::make_shared<PartyHeaderView>(kHeaderHeight, 10, 10);
    if (section == 0) header->setText(kOwnHeader, Theme::ownParty());
    else header->setText(kOtherHeader, Theme::otherParty());
    return header;
}

std::shared_ptr<ui::View> ProtocolViewController::viewForFooterInSection(ui::TableView&, int section) {
    if (section != 1) return nullptr;
    if (!footer_) {
        double width = ui::Screen::mainScreen().bounds().width();
        footer_ = std::make_shared<ui::View>(ui::Rect(0, 0, width, kFooterHeight));
        footer_->setBackgroundColor(Theme::pageGrey());
        auto confirm = Theme::blueButton(kConfirmTitle);
        confirm->setFrame({12.5, 12.5, width - 25, 39});
        confirm->addTarget(foundation::weakBind(this, &ProtocolViewController::confirmBtnDidClick),
                           ui::ControlEvent::TouchUpInside, this);
        footer_->addSubview(confirm);
    }
    return footer_;
}

// --- Confirmation ---------------------------------------------------------------------------------

std::optional<PoliceSignRequestModel> ProtocolViewController::signRequest() const {
    if (!selfDuty || !otherDuty) return std::nullopt;
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto entry = [&](const graphics::Image::Ptr& image, const PoliceDutyModel& record, bool own) {
        PoliceSignRequestModel model;
        model.content = StringExtension::imageWithBase64(image);
        model.licenseno = StringExtension::UTF8StringWithString(record.carno.value_or(""));
        model.latx = sentValue(state.latitude());
        model.lngy = sentValue(state.longitude());
        model.signtime = StringExtension::stringWithCurrenDate();
        model.phoneno = record.carphone;
        if (!own) model.valicode = otherVerfication;
        model.localflag = own ? "1" : "0";
        return model.keyValues();
    };
    PoliceSignRequestModel request;
    request.userid = sentValue(state.userid());
    request.sn = sentValue(state.sn());
    request.appkey = AppConfig::appKey();
    request.accidentno = sentValue(CaseInProgress::number());
    request.signlist = nlohmann::json::array({entry(selfSignImage, *selfDuty, true), entry(otherSignImage, *otherDuty, false)});
    return request;
}

void ProtocolViewController::confirmBtnDidClick() {
    auto handOver = [](const std::weak_ptr<ProtocolViewController>& weak, const InsuranceCompany& compary) {
        auto self = weak.lock();
        if (!self) return;
        self->onReport(compary);
    };
    std::weak_ptr<ProtocolViewController> weak = sharedAs<ProtocolViewController>();
    if (simulateState == CaseMode::Practice) {
        auto placeholder = InsuranceCompany::objectWithKeyValues(
            {{"inscomcode", "0"}, {"inscomname", "XXXXX保险公司"}, {"insphone", "400-***-****"}});
        handOver(weak, *placeholder);
        return;
    }
    auto request = signRequest();
    if (!request) {
        ProgressHUD::showError(kIncompleteText);
        return;
    }
    if (signing_) return;
    signing_ = true;
    ProgressHUD::showMessage(kLoadingText);
    RequestManager::shareRequestManager().request_signprocesspaper_WithParams(
        request->keyValues(), [weak, handOver](const nlohmann::json&, const RequestOutcome& outcome) {
            if (auto self = weak.lock()) self->signing_ = false;
            if (!outcome.answered()) return;  // the API client hid the spinner and said why
            ProgressHUD::hideHUD();
            if (auto self = weak.lock()) handOver(weak, self->insurance);
        });
}
