#pragma once
#include <lame/lame.h>

#include <httplib.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/FileAccess.h"
#include "core/ShowTheWindow.h"
#include "liability/chat/SoundRecording.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/AudioPlayer.h"
#include "platform/media/MediaTestSupport.h"
#include "platform/media/Microphone.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

// What a voice recorder told its delegate.
struct VoiceEvents : SoundRecordingDelegate {
    struct Ended {
        std::string path;
        double time = 0;
        bool onMainThread = false;
    };
    std::vector<Ended> ended;
    std::vector<std::string> failures;
    std::vector<bool> played;
    void soundrecording(SoundRecording&, const std::string& path, double time) override {
        ended.push_back({path, time, foundation::isMainThread()});
    }
    void soundrecordingFailed(SoundRecording&, const std::string&, double, const std::string& reason) override {
        failures.push_back(reason);
    }
    void playedFinishedOrError(bool finished) override { played.push_back(finished); }
};

// Interleaved 16-bit stereo PCM of the stand-in microphone, frames [0, frames).
inline std::vector<short> microphonePCM(int64_t frames) {
    std::vector<short> pcm(size_t(frames) * 2);
    for (int64_t at = 0; at < frames; at += 4096) {
        int n = int(std::min<int64_t>(4096, frames - at));
        media::Microphone::shared().render(at, n, 44100, 2, pcm.data() + at * 2);
    }
    return pcm;
}

// The encoder called directly on all the samples at once, with the recorder's settings.
struct DirectEncoding {
    std::string mp3;
    int delay = 0;
    int padding = 0;
};
inline DirectEncoding encodeDirectly(std::vector<short> pcm) {
    DirectEncoding out;
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, 44100);
    lame_set_VBR(lame, vbr_default);
    lame_init_params(lame);
    const int frames = int(pcm.size() / 2);
    std::vector<unsigned char> buffer(size_t(frames) + size_t(frames) / 4 + 7200 + 8192);
    int n = lame_encode_buffer_interleaved(lame, pcm.data(), frames, buffer.data(), int(buffer.size()));
    out.mp3.append(reinterpret_cast<char*>(buffer.data()), size_t(std::max(0, n)));
    n = lame_encode_flush(lame, buffer.data(), int(buffer.size()));
    out.mp3.append(reinterpret_cast<char*>(buffer.data()), size_t(std::max(0, n)));
    out.delay = lame_get_encoder_delay(lame);
    out.padding = lame_get_encoder_padding(lame);
    lame_close(lame);
    return out;
}

// A raw recording as the recorder writes it: a 4096-byte header, then the PCM.
inline void writeRawRecording(const std::filesystem::path& path, const std::vector<short>& pcm) {
    std::string bytes = "caff";
    bytes.resize(4096, '\0');
    bytes.append(reinterpret_cast<const char*>(pcm.data()), pcm.size() * sizeof(short));
    foundation::files::writeAtomically(path, bytes);
}

// `seconds` of the microphone's tone as real MP3 bytes.
inline std::string voiceMP3(double seconds) { return encodeDirectly(microphonePCM(int64_t(seconds * 44100))).mp3; }

// Voice messages served on 127.0.0.1: /voice/<name> from `files`, /named with a
// Content-Disposition name, /garbage (not audio), /empty, anything else 404.
class VoiceServer {
public:
    VoiceServer() {
        server_.Get(R"(/voice/(.*))", [this](const httplib::Request& req, httplib::Response& res) {
            count(req.path);
            std::lock_guard<std::mutex> lock(mutex_);
            auto file = files.find(req.matches[1].str());
            if (file == files.end()) {
                res.status = 404;
                return;
            }
            res.set_content(file->second, "audio/mpeg");
        });
        server_.Get("/named", [this](const httplib::Request& req, httplib::Response& res) {
            count(req.path);
            std::lock_guard<std::mutex> lock(mutex_);
            res.set_header("Content-Disposition", disposition);
            res.set_content(namedBody, "audio/mpeg");
        });
        server_.Get("/garbage", [this](const httplib::Request& req, httplib::Response& res) {
            count(req.path);
            res.set_content(std::string(5000, 'z'), "audio/mpeg");
        });
        server_.Get("/empty", [this](const httplib::Request& req, httplib::Response& res) {
            count(req.path);
            res.set_content("", "audio/mpeg");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~VoiceServer() {
        server_.stop();
        thread_.join();
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int hits() const { return hits_.load(); }
    void serve(const std::string& name, const std::string& bytes) {
        std::lock_guard<std::mutex> lock(mutex_);
        files[name] = bytes;
    }
    void name(const std::string& header, const std::string& body) {
        std::lock_guard<std::mutex> lock(mutex_);
        disposition = header;
        namedBody = body;
    }

private:
    void count(const std::string&) { ++hits_; }

    std::mutex mutex_;
    std::map<std::string, std::string> files;
    std::string disposition;
    std::string namedBody;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::atomic<int> hits_{0};
};

// A key window for the level overlay, a voice recorder with its delegate, the stand-in
// microphone and audio session in their default state.
class VoiceTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        ui::resetForTests();
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(std::make_shared<ui::ViewController>());
        window->makeKeyAndVisible();
        sound = std::make_shared<SoundRecording>();
        sound->setDelegate(events);
    }
    void TearDown() override {
        EXPECT_TRUE(runUntil([] { return SoundRecording::runningConversions() == 0; }, 60));
        sound.reset();
        ui::resetForTests();
        MediaTest::TearDown();
    }

    std::filesystem::path material(const std::string& name) const { return FileAccess::directory() / name; }
    // The overlay's picture name, or empty when no overlay is shown.
    std::string overlay() const {
        auto view = std::dynamic_pointer_cast<ui::ImageView>(window->viewWithTag(ShowTheWindow::kTag));
        if (!view) return "";
        return view->image() ? view->image()->name() : "(no image)";
    }
    bool waitForReports(size_t count, double limit = 60) {
        return runUntil([&] { return events->ended.size() + events->failures.size() >= count; }, limit);
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<VoiceEvents> events = std::make_shared<VoiceEvents>();
    std::shared_ptr<SoundRecording> sound;
};
