#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "capture/camera/PhotoCapViewController.h"
#include "core/BaseViewController.h"
#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "core/UserDateSingleton.h"
#include "hud/ProgressHUD.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "support/AppTest.h"
#include "support/PhotoCapTestAPI.h"
#include "support/NamedTestScreen.h"

// The shots a camera handed back, collected from the hand-back thread.
struct HandBacks {
    void add(const std::string& shot) {
        std::lock_guard lock(mutex);
        shots.push_back(shot);
    }
    size_t count() {
        std::lock_guard lock(mutex);
        return shots.size();
    }
    std::vector<std::string> all() {
        std::lock_guard lock(mutex);
        return shots;
    }
    std::mutex mutex;
    std::vector<std::string> shots;
};

// A fresh phone for each camera test: camera, album, orientation, windows and HUDs reset.
class CameraTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        resetPhone();
    }
    void TearDown() override {
        foundation::dispatch::waitIdle();
        drain();
        camera.reset();
        closeWindow();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().reset();
        resetPhone();
        AppTest::TearDown();
    }

    static nlohmann::json steps(int n) {
        nlohmann::json list = nlohmann::json::array();
        for (int i = 1; i <= n; ++i) {
            list.push_back({{"title", "第" + std::to_string(i) + "步"}, {"image", i % 2 ? "行驶证" : "驾驶证"},
                            {"detail", "请您在保证安全下拍摄"}});
        }
        return list;
    }

    // Home -> accident kind (when asked) -> camera, in a key window.
    void open(int stepCount, int carType, bool withAccidentKind = true, bool withReceiver = true) {
        home = std::make_shared<NamedTestScreen>("HomeViewController");
        showInWindow(home, false);
        if (withAccidentKind) {
            accidentKind = std::make_shared<NamedTestScreen>("SingleDoubleAccidentViewController");
            navigation->pushViewController(accidentKind, false);
        }
        camera = std::make_shared<PhotoCapViewController>(steps(stepCount), true);
        camera->setCarType(carType);
        std::weak_ptr<ui::ViewController> kind = accidentKind;
        camera->accidentKindScreen = [kind] { return kind.lock(); };
        camera->setViewControllerBlock([this] { ++endActions; });
        if (withReceiver) {
            auto shots = handBacks;
            camera->setSavePhotoBlock([shots](const std::string& shot) { shots->add(shot); });
        }
        navigation->pushViewController(camera, true);
        navigation->finishTransition();
        drain();
    }

    // A finger on a view, through the driver: the touch goes wherever hit testing sends it
    // (a disabled or covered control fails the outcome, and takes nothing).
    driver::Outcome tapView(const std::shared_ptr<ui::View>& view) { return driver.tap(view); }
    // A finger at a point of the camera's own (landscape) space.
    // A finger at a point of the camera's root view, through the driver.
    std::shared_ptr<ui::View> tapCamera(graphics::Point point) {
        return driver.tapAt(camera->view()->convertPointToView(point, nullptr)).view();
    }
    std::shared_ptr<ui::Button> buttonTitled(const std::string& title) {
        for (const auto& v : PhotoCapTestAPI(camera).bottomContainerView()->subviews()) {
            auto b = std::dynamic_pointer_cast<ui::Button>(v);
            if (b && b->currentTitle() == title) return b;
        }
        return nullptr;
    }
    // One press of the shutter, the shot processed, then the second after it.
    void shoot() {
        tapView(PhotoCapTestAPI(camera).shutterButton());
        settle();
        advance(1.0);
        settle();
    }
    bool shutterOn() const { return PhotoCapTestAPI(camera).shutterButton()->isUserInteractionEnabled(); }

    int albumPhotos() const {
        return media::AssetsGroup(PhotoCapViewController::kAlbumName, media::AssetsGroupAlbum,
                                  foundation::Sandbox::current().photos() / PhotoCapViewController::kAlbumName)
            .numberOfAssets();
    }

    std::shared_ptr<NamedTestScreen> accidentKind;
    std::shared_ptr<PhotoCapViewController> camera;
    std::shared_ptr<HandBacks> handBacks = std::make_shared<HandBacks>();
    int endActions = 0;
};
