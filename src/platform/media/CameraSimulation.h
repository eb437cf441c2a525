#pragma once
#include <filesystem>
#include <optional>
#include <string>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

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
// The preview shows the picture in front of the camera now; the next shot is that picture.
class CameraScene {
public:
    static CameraScene& shared();
    // A folder of JPEG files; an empty path goes back to the generated picture.
    void setFolder(const std::filesystem::path& folder);
    // Why a folder cannot serve as the scene ("" when it can): it must be a folder holding at
    // least one JPEG file (.jpg/.jpeg) that can be read and decoded.
    static std::string folderProblem(const std::filesystem::path& folder);
    // The next shot as JPEG bytes (empty when the folder's next file cannot be read).
    std::string nextShot();
    // The picture in front of the camera now (what the next shot will be), decoded; null when
    // it cannot be read. Kept until the scene moves on.
    graphics::Image::Ptr currentPicture();
    int shotsTaken() const;
    void reset();
};

}  // namespace media
