#include "platform/media/CaptureSession.h"

#include <algorithm>

namespace media {

bool CaptureSession::canAddInput(const CaptureDeviceInput::Ptr& input) const {
    if (!input || !input->device()) return false;
    std::lock_guard lock(mutex_);
    return std::none_of(inputs_.begin(), inputs_.end(),
                        [&](const auto& i) { return i == input || i->device() == input->device(); });
}

void CaptureSession::addInput(const CaptureDeviceInput::Ptr& input) {
    if (!canAddInput(input)) return;
    std::lock_guard lock(mutex_);
    inputs_.push_back(input);
    connectLocked();
}

bool CaptureSession::canAddOutput(const CaptureStillImageOutput::Ptr& output) const {
    if (!output) return false;
    std::lock_guard lock(mutex_);
    return outputs_.empty();
}

void CaptureSession::addOutput(const CaptureStillImageOutput::Ptr& output) {
    if (!canAddOutput(output)) return;
    std::lock_guard lock(mutex_);
    outputs_.push_back(output);
    connectLocked();
}

void CaptureSession::connectLocked() {
    for (const auto& output : outputs_) {
        auto existing = output->connections();
        std::vector<CaptureConnection::Ptr> connections;
        for (size_t i = 0; i < inputs_.size(); ++i) {
            connections.push_back(i < existing.size() ? existing[i]
                                                      : std::make_shared<CaptureConnection>(inputs_[i]->ports()));
        }
        output->attach(weak_from_this(), std::move(connections));
    }
}

std::vector<CaptureDeviceInput::Ptr> CaptureSession::inputs() const {
    std::lock_guard lock(mutex_);
    return inputs_;
}

std::vector<CaptureStillImageOutput::Ptr> CaptureSession::outputs() const {
    std::lock_guard lock(mutex_);
    return outputs_;
}

void CaptureSession::startRunning() {
    std::lock_guard lock(mutex_);
    running_ = true;
}

void CaptureSession::stopRunning() {
    std::lock_guard lock(mutex_);
    running_ = false;
}

bool CaptureSession::isRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

}  // namespace media
