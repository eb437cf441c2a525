#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include <nlohmann/json.hpp>

// What the accident-kind screen and the situation choice hand over for the guided camera: its
// steps, the vehicle kind, what each shot goes to and what its end opens.
struct CaptureRequest {
    nlohmann::json steps;
    // 0: one vehicle; otherwise two or more.
    std::int64_t carType = 0;
    std::function<void(const std::string& shot)> savePhotoBlock;
    std::function<void()> viewControllerBlock;
    // The title under which a finished camera offers `viewControllerBlock` again (none: it
    // always moves on).
    std::string endAgainTitle;
};
