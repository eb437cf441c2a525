#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/media/CaptureConnection.h"

namespace media {

class CaptureSession;

// What a still capture delivers: the encoded picture.
struct SampleBuffer {
    std::string jpegData;
};

inline const char* const kVideoCodecKey = "AVVideoCodecKey";
inline const char* const kVideoCodecJPEG = "jpeg";

// Takes still pictures from the camera of its session.
class CaptureStillImageOutput : public std::enable_shared_from_this<CaptureStillImageOutput> {
public:
    using Ptr = std::shared_ptr<CaptureStillImageOutput>;
    // Called on a capture thread (never the main one) with the picture, or with null and an error.
    using CompletionHandler = std::function<void(std::shared_ptr<SampleBuffer>, std::optional<Error>)>;

    static Ptr make() { return std::make_shared<CaptureStillImageOutput>(); }

    std::map<std::string, std::string> outputSettings() const;
    void setOutputSettings(std::map<std::string, std::string> settings);

    // One connection per input of the session the output was added to.
    std::vector<CaptureConnection::Ptr> connections() const;
    CaptureConnection::Ptr connectionWithMediaType(MediaType type) const;

    bool isCapturingStillImage() const;
    void captureStillImageAsynchronouslyFromConnection(const CaptureConnection::Ptr& connection,
                                                       CompletionHandler handler);
    // The JPEG bytes of a delivered picture (empty for none).
    static std::string jpegStillImageNSDataRepresentation(const std::shared_ptr<SampleBuffer>& buffer);
    // The same from a buffer its holder gives up: the bytes are taken out instead of copied when
    // nobody else holds the buffer (a completion handler is given the only reference).
    static std::string jpegStillImageNSDataRepresentation(std::shared_ptr<SampleBuffer>&& buffer);

    // A camera that does not answer (tests and the simulator): while held, captures keep their
    // completion until deliverHeldCaptures() lets them run in order. reset drops them unanswered.
    static void holdCaptures(bool hold);
    static void deliverHeldCaptures();
    static size_t heldCaptureCount();
    static void resetHeldCaptures();

    // Used by the session.
    void attach(const std::weak_ptr<CaptureSession>& session, std::vector<CaptureConnection::Ptr> connections);

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> settings_;
    std::vector<CaptureConnection::Ptr> connections_;
    std::weak_ptr<CaptureSession> session_;
    int capturing_ = 0;
};

}  // namespace media
