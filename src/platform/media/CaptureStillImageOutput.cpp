#include "platform/media/CaptureStillImageOutput.h"

#include <algorithm>

#include "platform/foundation/Dispatch.h"
#include "platform/media/CameraSimulation.h"
#include "platform/media/CaptureSession.h"

namespace media {

namespace {

std::shared_ptr<foundation::dispatch::Queue> captureQueue() {
    static auto queue = foundation::dispatch::serialQueue("still image capture");
    return queue;
}

Error captureError(const std::string& reason) {
    return Error{"AVFoundationErrorDomain", -11800, "The operation could not be completed", reason};
}

struct HeldCaptures {
    std::mutex mutex;
    bool holding = false;
    std::vector<std::function<void()>> captures;
};

HeldCaptures& held() {
    static HeldCaptures h;
    return h;
}

}  // namespace

std::map<std::string, std::string> CaptureStillImageOutput::outputSettings() const {
    std::lock_guard lock(mutex_);
    return settings_;
}

void CaptureStillImageOutput::setOutputSettings(std::map<std::string, std::string> settings) {
    std::lock_guard lock(mutex_);
    settings_ = std::move(settings);
}

std::vector<CaptureConnection::Ptr> CaptureStillImageOutput::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

CaptureConnection::Ptr CaptureStillImageOutput::connectionWithMediaType(MediaType type) const {
    std::lock_guard lock(mutex_);
    for (const auto& c : connections_) {
        if (c->hasPort(type)) return c;
    }
    return nullptr;
}

void CaptureStillImageOutput::attach(const std::weak_ptr<CaptureSession>& session,
                                     std::vector<CaptureConnection::Ptr> connections) {
    std::lock_guard lock(mutex_);
    session_ = session;
    connections_ = std::move(connections);
}

bool CaptureStillImageOutput::isCapturingStillImage() const {
    std::lock_guard lock(mutex_);
    return capturing_ > 0;
}

void CaptureStillImageOutput::captureStillImageAsynchronouslyFromConnection(const CaptureConnection::Ptr& connection,
                                                                            CompletionHandler handler) {
    std::optional<Error> problem;
    // The session is asked whether it runs without this output's lock: the session takes its own
    // lock first and then this one when it connects inputs and outputs.
    auto session = [&] {
        std::lock_guard lock(mutex_);
        return session_.lock();
    }();
    const bool running = session && session->isRunning();
    {
        std::lock_guard lock(mutex_);
        bool ours = connection && std::find(connections_.begin(), connections_.end(), connection) != connections_.end();
        if (!ours) {
            problem = captureError("The connection does not belong to this output.");
        } else if (!running) {
            problem = captureError("The capture session is not running.");
        } else if (!connection->hasPort(MediaType::Video)) {
            problem = captureError("The connection has no video port.");
        }
        ++capturing_;
    }
    bool jpeg = outputSettings()[kVideoCodecKey] == kVideoCodecJPEG || outputSettings().empty();
    auto self = shared_from_this();
    std::function<void()> capture = [self, handler = std::move(handler), problem, jpeg]() mutable {
        std::shared_ptr<SampleBuffer> buffer;
        std::optional<Error> error = problem;
        if (!error && cameraSimulation().captureDeliversNoData) error = captureError("The camera delivered no picture.");
        if (!error && !jpeg) error = captureError("Only JPEG still images are supported.");
        if (!error) {
            std::string bytes = CameraScene::shared().nextShot();
            if (bytes.empty()) {
                error = captureError("The scene has no picture to take.");
            } else {
                buffer = std::make_shared<SampleBuffer>(SampleBuffer{std::move(bytes)});
            }
        }
        {
            std::lock_guard lock(self->mutex_);
            --self->capturing_;
        }
        if (buffer) error.reset();
        if (handler) handler(std::move(buffer), std::move(error));
    };
    {
        auto& h = held();
        std::lock_guard lock(h.mutex);
        if (h.holding) {
            h.captures.push_back(std::move(capture));
            return;
        }
    }
    captureQueue()->async(std::move(capture));
}

void CaptureStillImageOutput::holdCaptures(bool hold) {
    auto& h = held();
    std::lock_guard lock(h.mutex);
    h.holding = hold;
}

void CaptureStillImageOutput::deliverHeldCaptures() {
    std::vector<std::function<void()>> captures;
    {
        auto& h = held();
        std::lock_guard lock(h.mutex);
        captures.swap(h.captures);
    }
    for (auto& capture : captures) captureQueue()->async(std::move(capture));
}

size_t CaptureStillImageOutput::heldCaptureCount() {
    auto& h = held();
    std::lock_guard lock(h.mutex);
    return h.captures.size();
}

void CaptureStillImageOutput::resetHeldCaptures() {
    std::vector<std::function<void()>> dropped;
    auto& h = held();
    std::lock_guard lock(h.mutex);
    h.holding = false;
    dropped.swap(h.captures);
}

std::string CaptureStillImageOutput::jpegStillImageNSDataRepresentation(const std::shared_ptr<SampleBuffer>& buffer) {
    return buffer ? buffer->jpegData : std::string();
}

std::string CaptureStillImageOutput::jpegStillImageNSDataRepresentation(std::shared_ptr<SampleBuffer>&& buffer) {
    std::shared_ptr<SampleBuffer> given = std::move(buffer);
    if (!given) return {};
    if (given.use_count() == 1) return std::move(given->jpegData);
    return given->jpegData;
}

}  // namespace media
