#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/AppConfig.h"
#include "core/Base64Codec.h"
#include "core/InsuranceCompany.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "liability/form/DutyModel.h"
#include "liability/signature/PopSignUtil.h"
#include "platform/graphics/Image.h"
#include "support/AppTest.h"
#include "support/RootPage.h"
#include "tools/server/ServerConfig.h"

// The liability screens in a key window over the stand-in server, with the signed-in demo
// user in a two-vehicle case at a known position.
class NegotiationTest : public AppTest {
protected:
    static constexpr const char* kCase = "BJ202612070003";

    void SetUp() override {
        AppTest::SetUp();
        PopSignUtil::resetShared();
        signInDemoUser();
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.setPhoneNumber(std::string(standin::kDemoPhone));
        state.setAccidentno(std::string(kCase));
        state.setLongitude(std::string("116.397500"));
        state.setLatitude(std::string("39.908700"));
        ASSERT_NO_FATAL_FAILURE(startServer());
        showInWindow(std::make_shared<RootPage>());
    }
    void TearDown() override {
        settleRequests();
        PopSignUtil::resetShared();
        AppTest::TearDown();
    }

    static DutyModel duty() {
        DutyModel model;
        model.selfName = "张三";
        model.selfCarNo = "京A12345";
        model.selfInsurance = "中国人民财产保险股份有限公司";
        model.otherName = "李四";
        model.otherCarNo = "冀B6H111";
        model.otherInsurance = "中国平安财产保险股份有限公司";
        return model;
    }
    static InsuranceCompany insurer() {
        return *InsuranceCompany::objectWithKeyValues({{"inscomname", "中国人民财产保险股份有限公司"},
                                                       {"inscomcode", "PICC"},
                                                       {"insphone", "95518"},
                                                       {"insreporttel", "95518"}});
    }

    void push(const std::shared_ptr<ui::ViewController>& screen) {
        navigation->pushViewController(screen, true);
        finishTransitions();
    }

    // The error toast showing now, or "".
    static std::string toast() {
        auto hud = ProgressHUD::current();
        return hud && hud->isToast() && hud->isError() ? hud->text() : "";
    }
    // Lets an earlier toast go.
    void clearToast() { advance(ProgressHUD::kErrorDuration + ProgressHUD::kFadeDuration + 0.1); }

    // Signs on the open pad with a stroke from drawing-area point (100, 50) to (400, 50) (the
    // pad lies sideways: drawing-area point (x, y) is screen point (220 - y, 5 + x)), then
    // taps "确定" and lets the pad slide out.
    void drawAndConfirm(double y = 50) {
        advance(0.4);
        auto stroke = driver.drag({220 - y, 105}, {220 - y, 405}, 6);
        ASSERT_TRUE(stroke) << stroke.error();
        auto ok = driver.tap("确定");
        ASSERT_TRUE(ok) << ok;
        advance(0.4);
    }

    // The text percent-escaping undone.
    static std::string unescaped(const std::string& text) {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '%' && i + 2 < text.size()) {
                out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    }
    // The picture an escaped Base64 JPEG text holds (null when it does not decode).
    static graphics::Image::Ptr decodedSignature(const std::string& content) {
        auto bytes = Base64Codec::decodeString(unescaped(content));
        return bytes ? graphics::Image::fromData(*bytes) : nullptr;
    }
};
