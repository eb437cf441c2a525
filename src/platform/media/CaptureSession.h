#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/CaptureDeviceInput.h"
#include "platform/media/CaptureStillImageOutput.h"

namespace media {

// Ties camera inputs to outputs. One input per device and one still output at most.
class CaptureSession : public std::enable_shared_from_this<CaptureSession> {
public:
    using Ptr = std::shared_ptr<CaptureSession>;
    static Ptr make() { return std::make_shared<CaptureSession>(); }

    bool canAddInput(const CaptureDeviceInput::Ptr& input) const;
    void addInput(const CaptureDeviceInput::Ptr& input);
    bool canAddOutput(const CaptureStillImageOutput::Ptr& output) const;
    void addOutput(const CaptureStillImageOutput::Ptr& output);
    std::vector<CaptureDeviceInput::Ptr> inputs() const;
    std::vector<CaptureStillImageOutput::Ptr> outputs() const;

    void startRunning();
    void stopRunning();
    bool isRunning() const;

private:
    void connectLocked();

    mutable std::mutex mutex_;
    std::vector<CaptureDeviceInput::Ptr> inputs_;
    std::vector<CaptureStillImageOutput::Ptr> outputs_;
    bool running_ = false;
};

}  // namespace media
