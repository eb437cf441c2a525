#include <thread>

#include "MediaTestSupport.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Sandbox.h"
#include "platform/graphics/Image.h"
#include "platform/media/CaptureSession.h"
#include "platform/media/CaptureVideoPreviewLayer.h"
#include "platform/ui/GraphicsContext.h"

using namespace media;

namespace {

struct Shot {
    bool delivered = false;
    bool offMain = false;
    std::string jpeg;
    std::optional<Error> error;
};

class CaptureTest : public MediaTest {
protected:
    // The chain the evidence camera builds: back camera input, JPEG still output, running session.
    void buildChain() {
        session = CaptureSession::make();
        input = CaptureDeviceInput::deviceInputWithDevice(CaptureDevice::defaultDeviceWithMediaType(MediaType::Video));
        output = CaptureStillImageOutput::make();
        output->setOutputSettings({{kVideoCodecKey, kVideoCodecJPEG}});
        if (input && session->canAddInput(input)) session->addInput(input);
        if (session->canAddOutput(output)) session->addOutput(output);
        session->startRunning();
    }

    Shot capture() {
        auto shot = std::make_shared<Shot>();
        output->captureStillImageAsynchronouslyFromConnection(
            output->connectionWithMediaType(MediaType::Video),
            [shot](std::shared_ptr<SampleBuffer> buffer, std::optional<Error> error) {
                bool offMain = !foundation::isMainThread();
                std::string jpeg = CaptureStillImageOutput::jpegStillImageNSDataRepresentation(buffer);
                foundation::dispatch::mainQueue()->async([shot, offMain, jpeg, error] {
                    *shot = Shot{true, offMain, jpeg, error};
                });
            });
        EXPECT_TRUE(runUntil([&] { return shot->delivered; }));
        return *shot;
    }

    CaptureSession::Ptr session;
    CaptureDeviceInput::Ptr input;
    CaptureStillImageOutput::Ptr output;
};

}  // namespace

TEST_F(CaptureTest, StillCaptureDeliversAJPEGOfTheSceneOffTheMainThread) {
    buildChain();
    ASSERT_TRUE(input);
    EXPECT_EQ(input->device()->position(), CaptureDevicePosition::Back);
    EXPECT_EQ(input->cleanApertureSize(), (graphics::Size{1280, 960}));
    auto connection = output->connectionWithMediaType(MediaType::Video);
    ASSERT_TRUE(connection);
    connection->setVideoScaleAndCropFactor(1.0);
    EXPECT_EQ(connection->videoScaleAndCropFactor(), 1.0);

    Shot first = capture();
    ASSERT_FALSE(first.error.has_value());
    EXPECT_TRUE(first.offMain);
    auto image = graphics::Image::fromData(first.jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), (graphics::Size{1280, 960}));

    // The counter in the picture makes every shot different.
    Shot second = capture();
    EXPECT_NE(first.jpeg, second.jpeg);
    EXPECT_EQ(CameraScene::shared().shotsTaken(), 2);
}

TEST_F(CaptureTest, SceneFromAFolderComesInTurn) {
    auto folder = sandboxRoot / "scene";
    foundation::files::createDirectories(folder);
    for (int i = 0; i < 2; ++i) {
        auto picture = graphics::Image::draw({double(320 + 80 * i), 240}, 1, true, [](cairo_t*) {});
        ASSERT_TRUE(foundation::files::writeAtomically(folder / ("shot" + std::to_string(i) + ".jpg"), picture->jpegData(0.8)));
    }
    foundation::files::writeAtomically(folder / "notes.txt", "not a picture");
    CameraScene::shared().setFolder(folder);
    buildChain();
    std::vector<double> widths;
    for (int i = 0; i < 3; ++i) widths.push_back(graphics::Image::fromData(capture().jpeg)->size().width);
    EXPECT_EQ(widths, (std::vector<double>{320, 400, 320}));

    CameraScene::shared().setFolder(sandboxRoot / "missing");
    Shot none = capture();
    EXPECT_TRUE(none.jpeg.empty());
    EXPECT_TRUE(none.error.has_value());
}

TEST(SampleBufferTest, BytesAreTakenOverOnlyFromABufferNobodyElseHolds) {
    const std::string jpeg(4096, 'j');
    auto buffer = std::make_shared<SampleBuffer>(SampleBuffer{jpeg});
    auto kept = buffer;
    EXPECT_EQ(CaptureStillImageOutput::jpegStillImageNSDataRepresentation(std::move(buffer)), jpeg);
    EXPECT_EQ(kept->jpegData, jpeg) << "another holder keeps its bytes";
    const char* bytes = kept->jpegData.data();
    EXPECT_EQ(CaptureStillImageOutput::jpegStillImageNSDataRepresentation(std::move(kept)).data(), bytes)
        << "the only holder's bytes are handed on, not copied";
}

TEST_F(CaptureTest, CaptureFailuresDeliverNoData) {
    CameraSimulation sim;
    sim.captureDeliversNoData = true;
    setCameraSimulation(sim);
    buildChain();
    Shot nothing = capture();
    EXPECT_TRUE(nothing.jpeg.empty());
    EXPECT_TRUE(nothing.error.has_value());

    resetCameraSimulation();
    session->stopRunning();
    Shot stopped = capture();
    EXPECT_TRUE(stopped.jpeg.empty());
    EXPECT_TRUE(stopped.error.has_value());
}

TEST_F(CaptureTest, MissingHardware) {
    CameraSimulation sim;
    sim.deviceClassPresent = false;
    setCameraSimulation(sim);
    EXPECT_FALSE(CaptureDevice::classAvailable());
    EXPECT_TRUE(CaptureDevice::devicesWithMediaType(MediaType::Video).empty());

    sim = {};
    sim.backCamera = false;
    setCameraSimulation(sim);
    auto devices = CaptureDevice::devicesWithMediaType(MediaType::Video);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0]->position(), CaptureDevicePosition::Front);

    // Without an input the output has no video connection and the preview shows nothing.
    Error error;
    EXPECT_FALSE(CaptureDeviceInput::deviceInputWithDevice(nullptr, &error));
    EXPECT_FALSE(error.localizedDescription.empty());
    auto session = CaptureSession::make();
    auto output = CaptureStillImageOutput::make();
    session->addOutput(output);
    session->startRunning();
    EXPECT_FALSE(output->connectionWithMediaType(MediaType::Video));
    auto layer = CaptureVideoPreviewLayer::layerWithSession(session);
    layer->setVideoGravity(VideoGravity::ResizeAspectFill);
    layer->setFrame({0, 0, 503, 320});
    layer->connection()->setVideoOrientation(VideoOrientation::LandscapeRight);
    EXPECT_EQ(layer->bounds(), (graphics::Rect{0, 0, 503, 320}));
    EXPECT_FALSE(layer->isShowingPicture());
}

TEST_F(CaptureTest, ConfigurationNeedsTheLock) {
    auto camera = CaptureDevice::defaultDeviceWithMediaType(MediaType::Video);
    ASSERT_TRUE(camera);
    ASSERT_TRUE(camera->hasFlash());
    camera->setFlashMode(FlashMode::Auto);
    EXPECT_EQ(camera->flashMode(), FlashMode::Off) << "changed without the lock";

    ASSERT_TRUE(camera->lockForConfiguration());
    camera->setFlashMode(FlashMode::Auto);
    ASSERT_TRUE(camera->isFocusModeSupported(FocusMode::AutoFocus));
    camera->setFocusMode(FocusMode::AutoFocus);
    camera->setFocusPointOfInterest({0.25, 0.75});
    camera->setExposureMode(ExposureMode::ContinuousAutoExposure);
    camera->setSubjectAreaChangeMonitoringEnabled(true);
    camera->unlockForConfiguration();
    EXPECT_EQ(camera->flashMode(), FlashMode::Auto);
    EXPECT_EQ(camera->focusMode(), FocusMode::AutoFocus);
    EXPECT_EQ(camera->focusPointOfInterest(), (graphics::Point{0.25, 0.75}));
    EXPECT_TRUE(camera->isSubjectAreaChangeMonitoringEnabled());

    CameraSimulation sim;
    sim.flash = false;
    sim.lockFails = true;
    setCameraSimulation(sim);
    auto plain = CaptureDevice::defaultDeviceWithMediaType(MediaType::Video);
    EXPECT_FALSE(plain->hasFlash());
    EXPECT_FALSE(plain->isFlashModeSupported(FlashMode::On));
    Error error;
    EXPECT_FALSE(plain->lockForConfiguration(&error));
    EXPECT_FALSE(error.localizedDescription.empty());
    EXPECT_EQ(plain->focusMode(), FocusMode::ContinuousAutoFocus);
}

TEST_F(CaptureTest, DeviceOrientationIsSetAndAnnounced) {
    int announced = 0;
    foundation::NotificationCenter::defaultCenter().addObserver(
        kDeviceOrientationDidChangeNotification, [&](const foundation::Notification&) { ++announced; });
    Device::current().setOrientation(DeviceOrientation::LandscapeLeft);
    Device::current().setOrientation(DeviceOrientation::LandscapeLeft);
    EXPECT_EQ(Device::current().orientation(), DeviceOrientation::LandscapeLeft);
    Device::current().setOrientation(DeviceOrientation::FaceUp);
    EXPECT_EQ(int(Device::current().orientation()), 5);
    EXPECT_EQ(announced, 2);
}

TEST_F(CaptureTest, ThePreviewShowsThePictureTheNextShotTakes) {
    buildChain();
    auto layer = CaptureVideoPreviewLayer::layerWithSession(session);
    layer->setVideoGravity(VideoGravity::ResizeAspectFill);
    layer->setFrame({0, 0, 160, 120});
    auto host = std::make_shared<ui::View>(graphics::Rect{0, 0, 200, 150});
    auto preview = layer->insertIntoView(host);
    ASSERT_EQ(host->subviews().front(), preview) << "the picture lies behind the host's other views";
    EXPECT_EQ(preview->frame(), (graphics::Rect{0, 0, 160, 120}));
    EXPECT_FALSE(preview->isUserInteractionEnabled()) << "touches pass through to the views behind";

    for (int i = 0; i < 2; ++i) {
        auto shown = CameraScene::shared().currentPicture();
        ASSERT_TRUE(shown);
        auto taken = graphics::Image::fromData(capture().jpeg);
        ASSERT_TRUE(taken);
        EXPECT_EQ(shown->pngData(), taken->pngData()) << "shot " << i << " is the picture the preview showed";
        EXPECT_NE(CameraScene::shared().currentPicture()->pngData(), taken->pngData()) << "the scene moved on";
    }
    // Drawn in the view tree: the scene's sky, not black, fills the preview's top.
    auto drawn = ui::render(host, 1);
    ASSERT_TRUE(drawn);
    auto sky = drawn->pixel(5, 5);
    EXPECT_GT(sky.b, 0.6);
    EXPECT_EQ(drawn->pixel(180, 140).a, 0) << "outside the preview's frame nothing is drawn";

    // Stopped, the preview is black.
    session->stopRunning();
    auto stopped = ui::render(host, 1);
    EXPECT_LT(stopped->pixel(5, 5).b, 0.05);
}
