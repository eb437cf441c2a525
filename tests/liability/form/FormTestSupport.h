#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/CaseRoad.h"
#include "capture/vehicle/CarListModel.h"
#include "capture/vehicle/ChooseInsuranceViewController.h"
#include "core/AppConfig.h"
#include "core/BaseViewController.h"
#include "core/RequestManager.h"
#include "core/ScreenRegistry.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/form/ClientViewController.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Sandbox.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Storyboard.h"
#include "support/AppTest.h"
#include "support/ClientTestAPI.h"
#include "support/NamedTestScreen.h"
#include "support/RootPage.h"
#include "tools/server/ServerConfig.h"

// The parties' form in a key window over the stand-in server, with the signed-in demo user in
// a case. The report and the negotiation are test screens that keep their arguments.
class FormTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setPhoneNumber(std::string(standin::kDemoPhone));
        state.setAccidentno(std::string("BJ202612070001"));
        ASSERT_NO_FATAL_FAILURE(startServer());
        root = std::make_shared<RootPage>();
        showInWindow(root);
    }
    void TearDown() override {
        settleRequests();
        closeWindow();
        root.reset();
        form.reset();
        AppTest::TearDown();
    }

    // The form as an opener makes it: from its storyboard, with the three values set.
    std::shared_ptr<ClientViewController> openForm(int flag, bool carCount, std::shared_ptr<CarListModel> carlist = nullptr) {
        const CaseMode mode = flag == 1 ? CaseMode::Real : CaseMode::Practice;
        form = std::dynamic_pointer_cast<ClientViewController>(
            std::make_shared<CaseRoad>(mode)->makeClientForm(carCount, std::move(carlist)));
        // What the form opens: the road's insurer chooser, and stand-ins for the report and the
        // negotiation that keep what they were handed.
        std::weak_ptr<ui::NavigationController> nav = navigation;
        form->onReport = [nav, mode](std::shared_ptr<InsuranceCompany> company) {
            nlohmann::json arguments = {{"compary", company ? company->keyValues() : nlohmann::json()},
                                        {"simualateState", practiceFlag(mode)},
                                        {"isBackBtn", false}};
            if (auto n = nav.lock()) n->pushViewController(std::make_shared<NamedTestScreen>("ReportViewController", arguments), true);
        };
        form->onNegotiation = [nav, mode](std::shared_ptr<DutyModel> duty, std::shared_ptr<InsuranceCompany> company) {
            nlohmann::json arguments = {{"simulateState", practiceFlag(mode)},
                                        {"duty", duty ? duty->keyValues() : nlohmann::json()},
                                        {"insurance", company ? company->keyValues() : nlohmann::json()}};
            if (auto n = nav.lock())
                n->pushViewController(std::make_shared<NamedTestScreen>("NegotiationDutyViewController", arguments), true);
        };
        navigation->pushViewController(form, true);
        finishTransitions();
        return form;
    }

    // Taps "下一步" and lets a request it sends finish; the error toast it showed, or "".
    std::string next() {
        advance(ProgressHUD::kErrorDuration + ProgressHUD::kFadeDuration + 0.1);  // earlier toasts are gone
        auto outcome = driver.tap(ClientFooterView::kConfirmTitle);
        EXPECT_TRUE(outcome) << outcome;
        settleRequests();
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() && hud->isError() ? hud->text() : "";
    }

    // Types into a field as a keyboard does (the field's current text replaced).
    void enter(const std::weak_ptr<ui::TextField>& weak, const std::string& text) {
        auto field = weak.lock();
        ASSERT_TRUE(field);
        // With the keyboard up the form scrolls to the field being typed into; a field out of
        // sight is scrolled to first, as a finger would, from the top and then from the end.
        for (double offset : {0.0, 1e6}) {
            if (driver.isVisible(field)) break;
            if (auto table = driver.visibleTable().view()) {
                ASSERT_TRUE(driver.scroll(table, {0, offset}));
            }
        }
        if (!field->text().empty()) {
            int characters = 0;
            for (unsigned char c : field->text()) characters += (c & 0xC0) != 0x80;
            auto outcome = driver.deleteBackward(field, characters);
            ASSERT_TRUE(outcome) << outcome;
        }
        auto outcome = driver.type(field, text);
        ASSERT_TRUE(outcome) << outcome;
    }

    // Picks "abbreviation + letter" in the prefix picker of the button.
    void pickPrefix(const std::weak_ptr<ui::Button>& button, int province, int letter);
    // Picks the insurer of a section's row in the chooser.
    void pickInsurer(int section, int row);

    static std::filesystem::path documentsFile(const char* name) {
        return foundation::Sandbox::current().documents() / name;
    }
    std::shared_ptr<NamedTestScreen> nextScreen() const { return std::dynamic_pointer_cast<NamedTestScreen>(navigation->topViewController()); }

    std::shared_ptr<RootPage> root;
    std::shared_ptr<ClientViewController> form;
};
