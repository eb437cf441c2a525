#pragma once
#include "support/PlatformTest.h"

#include "platform/media/AssetsLibrary.h"
#include "platform/media/AudioSession.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/DeviceOrientation.h"
#include "platform/media/Microphone.h"

// Every media test starts and ends with the stand-in hardware in its default state.
class MediaTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        resetAll();
    }
    void TearDown() override {
        PlatformTest::TearDown();
        resetAll();
    }
    static void resetAll() {
        media::resetCameraSimulation();
        media::CameraScene::shared().reset();
        media::setPhotoAlbumSimulation({});
        media::AudioSession::sharedInstance().reset();
        media::Microphone::shared().reset();
        media::Device::current().setOrientation(media::DeviceOrientation::Portrait);
    }
};
