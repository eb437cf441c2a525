#pragma once
#include "platform/graphics/Image.h"

namespace media {

// The picture the system picker's camera takes: the next shot of the stand-in scene, or
// null when the phone has no back camera.
graphics::Image::Ptr takePickerPicture();

// Makes the system image picker's camera source photograph the stand-in scene. The testing
// driver and the simulator call it at start (and again after ui::resetForTests()).
void installImagePickerCamera();

}  // namespace media
