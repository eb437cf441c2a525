#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "platform/graphics/Geometry.h"

namespace media {

// What the stand-in camera hardware looks like. Tests and the simulator change it; the
// capture objects read it. Changing it rebuilds the devices (their modes start afresh).
struct CameraSimulation {
    bool deviceClassPresent = true;     // false: the platform has no capture device class
    bool backCamera = true;
    bool frontCamera = true;
    bool flash = true;                  // the back camera has a flash
    bool lockFails = false;             // lockForConfiguration answers an error
    bool captureDeliversNoData = false; // still captures deliver no image data
    graphics::Size sceneSize{1280, 960};
};

CameraSimulation cameraSimulation();
void setCameraSimulation(const CameraSimulation& simulation);
// Also drops still captures held unanswered (CaptureStillImageOutput::holdCaptures).
void resetCameraSimulation();

// What the camera photographs: the JPEG files of a folder in turn (sorted by name, starting
// over after the last), or by default a generated picture of the scene size showing a counter.
class CameraScene {
public:
    static CameraScene& shared();
    // A folder of JPEG files; an empty path goes back to the generated picture.
    void setFolder(const std::filesystem::path& folder);
    // The next shot as JPEG bytes (empty when the folder's next file cannot be read).
    std::string nextShot();
    int shotsTaken() const;
    void reset();
};

}  // namespace media
