#pragma once
#include <memory>
#include <string>
#include <vector>

#include "core/AccountTool.h"
#include "core/ApplicationRoutes.h"
#include "liability/negotiation/NegotiationTestSupport.h"
#include "liability/police/PoliceDutyModel.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "support/NamedTestScreen.h"

// The police screens over the stand-in server, with the ways home and to the login page
// leading to stand-in screens.
class PoliceTest : public NegotiationTest {
protected:
    void SetUp() override {
        NegotiationTest::SetUp();
        ApplicationRoutes::install([] { return std::make_shared<NamedTestScreen>("HomeViewController"); },
                                   [] { return std::make_shared<NamedTestScreen>("LoginViewController"); });
    }
    void TearDown() override {
        ApplicationRoutes::reset();
        NegotiationTest::TearDown();
    }

    // The decision for the two parties, own first.
    static std::vector<PoliceDutyModel> decision(const std::string& ownDuty = "0", const std::string& otherDuty = "1") {
        return {*PoliceDutyModel::objectWithKeyValues({{"dutytype", ownDuty},
                                                       {"carno", "京A12345"},
                                                       {"carphone", standin::kDemoPhone},
                                                       {"carname", "张三"},
                                                       {"insurename", "中国人民财产保险股份有限公司"}}),
                *PoliceDutyModel::objectWithKeyValues({{"dutytype", otherDuty},
                                                       {"carno", "冀B6H111"},
                                                       {"carphone", "13900139000"},
                                                       {"carname", "李四"},
                                                       {"insurename", "中国平安财产保险股份有限公司"}})};
    }
    static nlohmann::json decisionJson() {
        auto list = nlohmann::json::array();
        for (auto& record : decision()) list.push_back(record.keyValues());
        return list;
    }

    // The screen at the root of the key window's navigation.
    static std::string rootName() {
        auto window = ui::Application::shared().keyWindow();
        auto navigation = window ? std::dynamic_pointer_cast<ui::NavigationController>(window->rootViewController()) : nullptr;
        if (!navigation || navigation->viewControllers().empty()) return "";
        return navigation->viewControllers().front()->className();
    }
    static const std::vector<std::string>& openedURLs() { return ui::Application::shared().openedURLs(); }
};
