#include "MediaTestSupport.h"
#include "platform/media/ImagePickerCamera.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImagePickerController.h"

using namespace media;

namespace {

struct PickerEvents : ui::ImagePickerControllerDelegate {
    int picked = 0;
    int cancelled = 0;
    ui::ImagePtr original;
    void didFinishPickingMediaWithInfo(ui::ImagePickerController&, const ui::ImagePickerInfo& info) override {
        ++picked;
        original = info.originalImage;
    }
    void imagePickerControllerDidCancel(ui::ImagePickerController&) override { ++cancelled; }
};

class ImagePickerCameraTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        ui::resetForTests();
        installImagePickerCamera();
    }
    void TearDown() override {
        ui::ImagePickerController::setCameraProvider(nullptr);
        ui::resetForTests();
        MediaTest::TearDown();
    }
    std::shared_ptr<PickerEvents> events = std::make_shared<PickerEvents>();
};

}  // namespace

TEST_F(ImagePickerCameraTest, TheCameraSourcePhotographsTheScene) {
    ASSERT_TRUE(ui::ImagePickerController::isSourceTypeAvailable(ui::ImagePickerSourceType::Camera));
    auto picker = std::make_shared<ui::ImagePickerController>();
    picker->setSourceType(ui::ImagePickerSourceType::Camera);
    picker->setAllowsEditing(true);
    picker->setDelegate(events);
    ASSERT_TRUE(picker->takePicture());
    ASSERT_TRUE(runUntil([&] { return events->picked == 1; }));
    ASSERT_TRUE(events->original);
    EXPECT_EQ(events->original->size(), (graphics::Size{1280, 960}));
    EXPECT_EQ(CameraScene::shared().shotsTaken(), 1);

    picker->cancel();
    ASSERT_TRUE(runUntil([&] { return events->cancelled == 1; }));
    EXPECT_EQ(events->picked, 1);
}

TEST_F(ImagePickerCameraTest, NoBackCameraTakesNoPicture) {
    CameraSimulation sim;
    sim.backCamera = false;
    setCameraSimulation(sim);
    EXPECT_FALSE(takePickerPicture());
    auto picker = std::make_shared<ui::ImagePickerController>();
    picker->setSourceType(ui::ImagePickerSourceType::Camera);
    picker->setDelegate(events);
    EXPECT_FALSE(picker->takePicture());
    drain();
    EXPECT_EQ(events->picked, 0);
}
