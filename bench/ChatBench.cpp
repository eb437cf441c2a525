// The case chat under load.
//
// Scrolling: a chat of 1 000 mixed messages (own and the police's; texts of 1 to 160 characters;
// voice messages of 1 to 60 s) scrolled from the top to the bottom and back, a finger's 120
// points per frame, the table laying out the rows that come into view after every step. It
// reports the rows laid out per second, and how often the text of a message was measured for
// its row's geometry: every call of the text measurement is counted (the benchmark is linked
// with the measurement wrapped), once while the chat is filled and again during the scrolls.
// The row geometry is measured once per text message when it arrives; scrolling should measure
// none again.
//
// Adding one message: a chat already holding 100, and 10 000, messages gets one more (the
// police's text and the driver's own in turn), timed until its row is laid out in sight; a
// message should cost the same whatever the chat holds. Beside it, the time to fill the chat.
//
// A 60-second voice message: the talk button held for 59.9 s of the manual clock (the level
// timer's 60th tick is the last before the recorder's own limit), then released; timed is the
// real time from the release to the "submitmsg" request arriving whole at the stand-in server
// (the raw recording streamed into MP3 on the voice queue, the chat reading it back, the Base64
// body and the post), with the moment the message showed in the chat. Beside it, the conversion
// alone on the same recording.
#include <time.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/AppConfig.h"
#include "core/CustomNavigationController.h"
#include "core/FileAccess.h"
#include "core/UserDateSingleton.h"
#include "liability/chat/ChatLog.h"
#include "liability/chat/ChatViewController.h"
#include "liability/chat/VoiceEncoder.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/graphics/Font.h"
#include "platform/media/AudioRecorder.h"
#include "platform/media/Microphone.h"
#include "platform/testing/Driver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "tools/server/StandInServer.h"

// --- Counting text measurements ---------------------------------------------------------------
// The link replaces every call of graphics::measureText from the libraries with this wrapper
// (ld --wrap, see bench/CMakeLists.txt), which counts and calls the real one.
#define MEASURE_TEXT _ZN8graphics11measureTextERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEERKNS_4FontEd
#define WRAPPED(prefix, name) WRAPPED_(prefix, name)
#define WRAPPED_(prefix, name) prefix##name

namespace {
std::atomic<long long> rowGeometryMeasures{0};  // at the chat's bubble font and wrap width
std::atomic<long long> otherMeasures{0};
}  // namespace

extern "C" graphics::Size WRAPPED(__real_, MEASURE_TEXT)(const std::string& text, const graphics::Font& font,
                                                          double maxWidth);
extern "C" graphics::Size WRAPPED(__wrap_, MEASURE_TEXT)(const std::string& text, const graphics::Font& font,
                                                          double maxWidth) {
    if (font.size == MessageFrame::kTextFontSize && maxWidth == MessageFrame::kTextWrapWidth) ++rowGeometryMeasures;
    else ++otherMeasures;
    return WRAPPED(__real_, MEASURE_TEXT)(text, font, maxWidth);
}

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMessages = 1000;
constexpr double kScrollStep = 120;
constexpr int kTakeFrames = 60 * 44100;
constexpr const char* kCase = "BJ202612070001";

// CPU seconds of the whole process so far, every thread.
double processCPU() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Speech-like stereo PCM: wandering tones, syllable-like loudness and some breath noise.
std::vector<int16_t> voicePCM(int frames) {
    std::vector<int16_t> pcm(size_t(frames) * 2);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 300);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / 44100;
        const double pitch = 140 + 40 * std::sin(t * 1.3);
        const double envelope = 0.5 + 0.5 * std::sin(t * 2 * M_PI * 4);
        const double v = 6000 * envelope *
                             (std::sin(2 * M_PI * pitch * t) + 0.5 * std::sin(2 * M_PI * 2.1 * pitch * t) +
                              0.25 * std::sin(2 * M_PI * 3.3 * pitch * t)) +
                         noise(random);
        const auto s = int16_t(std::clamp(v, -32768.0, 32767.0));
        pcm[2 * size_t(i)] = s;
        pcm[2 * size_t(i) + 1] = int16_t(s * 0.9);
    }
    return pcm;
}

void putLE(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

// The speech as a 16-bit stereo WAV file for the stand-in microphone.
fs::path speechWav(const fs::path& dir) {
    const auto pcm = voicePCM(kTakeFrames + 44100);
    std::string wav = "RIFF";
    const uint32_t data = uint32_t(pcm.size() * 2);
    putLE(wav, 36 + data, 4);
    wav += "WAVEfmt ";
    putLE(wav, 16, 4);
    putLE(wav, 1, 2);
    putLE(wav, 2, 2);
    putLE(wav, 44100, 4);
    putLE(wav, 44100 * 4, 4);
    putLE(wav, 4, 2);
    putLE(wav, 16, 2);
    wav += "data";
    putLE(wav, data, 4);
    wav.append(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
    fs::path path = dir / "speech.wav";
    foundation::files::writeAtomically(path, wav);
    return path;
}

// The platform as the application has it: this thread as the main one, a manual clock, a fresh
// sandbox, the bundle, the signed-in demo driver on a case.
struct Phone {
    fs::path sandbox;
    Phone() {
        foundation::setLogEnabled(false);
        auto& loop = foundation::RunLoop::main();
        loop.reset();
        loop.adoptCurrentThread();
        loop.setClock(std::make_shared<foundation::ManualClock>());
        sandbox = foundation::Sandbox::makeTemporary("veskard-chat-bench");
        foundation::setBundleRoot(VESKARD_RESOURCE_DIR);
        auto& state = UserDateSingleton::shareUserDateInstance();
        state.reset();
        state.setUserid(std::string(standin::kDemoUserId));
        state.setSn(standin::signatureFor(standin::kDemoUserId));
        state.setAccidentno(std::string(kCase));
        ChatLog::shared().reset();
    }
    ~Phone() {
        foundation::dispatch::waitIdle(60);
        foundation::RunLoop::main().drain();
        ui::resetForTests();
        media::Microphone::shared().reset();
        ChatLog::shared().reset();
        UserDateSingleton::shareUserDateInstance().reset();
        AppConfig::reset();
        foundation::RunLoop::main().reset();
        std::error_code ec;
        fs::remove_all(sandbox, ec);
    }
};

// The chat in a key window over a navigation controller.
struct ShownChat {
    std::shared_ptr<ChatViewController> chat;
    std::shared_ptr<CustomNavigationController> navigation;
    std::shared_ptr<ui::Window> window;
    explicit ShownChat(CaseMode mode) {
        chat = std::make_shared<ChatViewController>(ChatViewController::Arguments{.simulateState = mode});
        chat->onDecision = [](std::vector<PoliceDutyModel>, InsuranceCompany) {};
        navigation = std::make_shared<CustomNavigationController>(chat);
        window = std::make_shared<ui::Window>(ui::Screen::mainScreen().bounds());
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        foundation::RunLoop::main().drain();
    }
    ~ShownChat() {
        window.reset();
        navigation.reset();
        chat.reset();
        foundation::RunLoop::main().drain();
    }
    std::shared_ptr<ui::TableView> table() const {
        for (auto& view : chat->view()->subviews())
            if (auto table = std::dynamic_pointer_cast<ui::TableView>(view)) return table;
        return nullptr;
    }
};

// A message of the police, as a "MSG" push carries it.
void receive(const nlohmann::json& content) { ChatLog::shared().receive(*OtherMessages::fromPush(content)); }

// A text of `length` characters, Chinese with some digits and Latin letters.
std::string messageText(std::mt19937& random, int length) {
    static const std::vector<std::string> pieces{"交警", "您好", "事故", "车辆", "请问", "保险", "已经", "现场",
                                                 "照片", "责任", "12", "A", "，", "。", "京A", "路口"};
    std::string text;
    int characters = 0;
    while (characters < length) {
        const std::string& piece = pieces[random() % pieces.size()];
        text += piece;
        characters += piece[0] & 0x80 ? int(piece.size() / 3) : int(piece.size());
    }
    return text;
}

// `count` messages, a quarter each own text, the police's text, own voice, the police's voice.
void fill(ChatViewController& chat, const fs::path& voice, int count = kMessages) {
    auto bar = std::make_shared<ChatToolBar>(ui::Rect(0, 0, 320, 44));
    std::mt19937 random(11);
    for (int i = 0; i < count; ++i) {
        const int length = 1 + int(random() % 160);
        const int seconds = 1 + int(random() % 60);
        switch (i % 4) {
        case 0:
            chat.chatTabBarSendMessageWithText(*bar, messageText(random, length));
            break;
        case 1: receive({{"accidentno", kCase}, {"msgtype", "0"}, {"content", messageText(random, length)}}); break;
        case 2:
            chat.chatTabBarSendMessageWithVoice(*bar, voice.string(), seconds);
            break;
        default:
            receive({{"accidentno", kCase},
                     {"msgtype", "1"},
                     {"content", "http://127.0.0.1/voice/" + std::to_string(i) + ".mp3"}});
            break;
        }
    }
    foundation::RunLoop::main().drain();
}

// A short MP3 for the own voice messages to carry (practice sends none of them).
fs::path shortVoice(const Phone& phone) {
    fs::path voice = FileAccess::directory() / "20261207100000.mp3";
    const auto pcm = voicePCM(44100);
    const fs::path raw = phone.sandbox / "short.caf";
    std::string bytes(size_t(media::AudioRecorder::kHeaderSize), '\0');
    bytes.append(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
    foundation::files::writeAtomically(raw, bytes);
    if (!VoiceEncoder::convertPCMFileToMP3(raw, voice).succeeded) return {};
    return voice;
}

// Rows laid out while scrolling 1 000 messages top to bottom and back; one iteration per pass.
void BM_ScrollChatTable(benchmark::State& state) {
    Phone phone;
    const fs::path voice = shortVoice(phone);
    if (voice.empty()) state.SkipWithError("no MP3 for the voice messages");
    ShownChat shown(CaseMode::Practice);
    auto table = shown.table();
    if (!table) {
        state.SkipWithError("the chat shows no table");
        return;
    }

    const long long textsBefore = rowGeometryMeasures.load();
    const auto fillStart = Clock::now();
    fill(*shown.chat, voice);
    table->layoutIfNeeded();
    const double fillMs = std::chrono::duration<double, std::milli>(Clock::now() - fillStart).count();
    const long long fillMeasures = rowGeometryMeasures.load() - textsBefore;
    const int rows = table->numberOfRowsInSection(0);
    if (rows != kMessages) state.SkipWithError("the chat does not hold every message");
    const double bottom = std::max(0.0, table->contentSize().height - table->bounds().height());

    const size_t cellsBefore = table->cellsRequested();
    const long long geometryBefore = rowGeometryMeasures.load(), othersBefore = otherMeasures.load();
    long long passes = 0;
    for (auto _ : state) {
        for (double y = 0; y < bottom; y += kScrollStep) {
            table->setContentOffset({0, y});
            table->layoutIfNeeded();
        }
        for (double y = bottom; y > 0; y -= kScrollStep) {
            table->setContentOffset({0, y});
            table->layoutIfNeeded();
        }
        table->setContentOffset({0, 0});
        table->layoutIfNeeded();
        ++passes;
    }
    const double laidOut = double(table->cellsRequested() - cellsBefore);
    state.counters["rows_per_s"] = benchmark::Counter(laidOut, benchmark::Counter::kIsRate);
    state.counters["rows_per_pass"] = laidOut / double(std::max(1LL, passes));
    state.counters["fill_measures_per_text"] = double(fillMeasures) / (kMessages / 2.0);
    state.counters["scroll_measures_per_msg_pass"] =
        double(rowGeometryMeasures.load() - geometryBefore) / (double(kMessages) * double(std::max(1LL, passes)));
    state.counters["other_measures_per_row"] = double(otherMeasures.load() - othersBefore) / std::max(1.0, laidOut);
    state.counters["content_height_pt"] = table->contentSize().height;
    state.counters["fill_ms"] = fillMs;
}
BENCHMARK(BM_ScrollChatTable)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime()->Repetitions(3);

// One message added to a chat that already holds `state.range(0)` messages, the driver at the
// latest one: the police's text and the driver's own in turn, each until its row is laid out in
// sight (an own one also marked sent, as practice does at once). After each, untimed, the
// message is taken out again, so that every one joins the same number.
void BM_AddOneMessage(benchmark::State& state) {
    Phone phone;
    const fs::path voice = shortVoice(phone);
    ShownChat shown(CaseMode::Practice);
    auto table = shown.table();
    if (voice.empty() || !table) {
        state.SkipWithError("no MP3 for the voice messages, or no table");
        return;
    }
    const int held = int(state.range(0));
    const auto fillStart = Clock::now();
    fill(*shown.chat, voice, held);
    table->layoutIfNeeded();
    const double fillMs = std::chrono::duration<double, std::milli>(Clock::now() - fillStart).count();
    auto& rows = ChatLog::shared().rows(kCase);
    auto bar = std::make_shared<ChatToolBar>(ui::Rect(0, 0, 320, 44));
    std::mt19937 random(13);
    long long added = 0;
    bool inSight = true;
    for (auto _ : state) {
        const std::string text = messageText(random, 1 + int(random() % 160));
        const auto start = Clock::now();
        if (added % 2 == 0) receive({{"accidentno", kCase}, {"msgtype", "0"}, {"content", text}});
        else shown.chat->chatTabBarSendMessageWithText(*bar, text);
        table->layoutIfNeeded();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        ++added;
        const auto visible = table->indexPathsForVisibleRows();
        inSight = inSight && int(rows.size()) == held + 1 && !visible.empty() && visible.back().row == held;
        rows.pop_back();
        table->reloadData();
        table->layoutIfNeeded();
    }
    if (!inSight) state.SkipWithError("a new message did not come into sight as the latest row");
    state.counters["fill_ms"] = fillMs;
}
BENCHMARK(BM_AddOneMessage)
    ->Arg(100)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Iterations(200)
    ->Repetitions(3);

// The talk button released after a 60-second take, to the "submitmsg" request at the server.
void BM_ReleaseToSubmit(benchmark::State& state) {
    Phone phone;
    media::Microphone::shared().setWavFile(speechWav(phone.sandbox));
    standin::StandInServer server;
    if (!server.start()) {
        state.SkipWithError("the stand-in server does not listen");
        return;
    }
    AppConfig::setHost("127.0.0.1");
    AppConfig::setPort(server.port());
    // The decision stays away: the chat's poll goes on quietly under the take.
    server.script("processpapertimer", standin::Reply::rescode("201", "等待"));
    ShownChat shown(CaseMode::Real);
    auto table = shown.table();
    driver::Driver driver;
    auto& loop = foundation::RunLoop::main();
    if (!table || !driver.tap(driver::ViewQuery::byImageName("keyboard.png"))) {
        state.SkipWithError("no talk button");
        return;
    }
    auto talk = driver.findByText(ChatToolBar::kTalkTitle);
    if (!talk) {
        state.SkipWithError("no talk button");
        return;
    }
    const ui::Point centre = talk.view()->convertPointToView(talk.view()->bounds().center(), nullptr);

    double shownMs = 0, totalMs = 0, cpuMs = 0;
    long long takes = 0;
    for (auto _ : state) {
        const size_t sent = server.count("submitmsg");
        const int rows = table->numberOfRowsInSection(0);
        driver.touchDown(centre);
        loop.runFor(59.9);
        driver.settleAll(30);

        const auto released = Clock::now();
        const double cpuAtRelease = processCPU();
        driver.touchUp(centre);
        Clock::time_point appeared{};
        const bool arrived = loop.runUntil(
            [&] {
                if (appeared == Clock::time_point{} && table->numberOfRowsInSection(0) > rows) appeared = Clock::now();
                return server.count("submitmsg") > sent;
            },
            60);
        const auto done = Clock::now();
        cpuMs += (processCPU() - cpuAtRelease) * 1000;
        if (!arrived) {
            state.SkipWithError("no submitmsg request within 60 s");
            break;
        }
        if (appeared == Clock::time_point{}) appeared = done;
        const double seconds = std::chrono::duration<double>(done - released).count();
        state.SetIterationTime(seconds);
        shownMs += std::chrono::duration<double, std::milli>(appeared - released).count();
        totalMs += seconds * 1000;
        ++takes;
        driver.settleAll(30);
        auto request = server.lastRequest("submitmsg");
        if (!request || request->param("duration") != "60") {
            state.SkipWithError("the request does not carry a 60-second recording");
            break;
        }
        state.counters["body_KB"] = double(request->rawBody.size()) / 1024;
    }
    if (takes > 0) state.counters["process_cpu_ms"] = cpuMs / double(takes);
    if (takes > 0) state.counters["shown_ms"] = shownMs / double(takes);
    if (takes > 0) state.counters["shown_to_request_ms"] = (totalMs - shownMs) / double(takes);
    server.stop();
}
BENCHMARK(BM_ReleaseToSubmit)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3)->Repetitions(3);

// The conversion alone, on a raw recording of the same 60 s of the stand-in microphone.
void BM_ConvertSixtySeconds(benchmark::State& state) {
    Phone phone;
    media::Microphone::shared().setWavFile(speechWav(phone.sandbox));
    std::vector<int16_t> pcm(size_t(kTakeFrames) * 2);
    for (int at = 0; at < kTakeFrames; at += 4096)
        media::Microphone::shared().render(at, std::min(4096, kTakeFrames - at), 44100, 2, pcm.data() + size_t(at) * 2);
    const fs::path caf = phone.sandbox / "take.caf";
    const fs::path mp3 = phone.sandbox / "take.mp3";
    std::string bytes(size_t(media::AudioRecorder::kHeaderSize), '\0');
    bytes.append(reinterpret_cast<const char*>(pcm.data()), pcm.size() * 2);
    foundation::files::writeAtomically(caf, bytes);
    for (auto _ : state) {
        MP3Conversion outcome = VoiceEncoder::convertPCMFileToMP3(caf, mp3);
        if (!outcome.succeeded) state.SkipWithError(outcome.failure.c_str());
        benchmark::DoNotOptimize(outcome.mp3Bytes);
    }
    state.counters["mp3_KB"] = double(fs::file_size(mp3)) / 1024;
}
BENCHMARK(BM_ConvertSixtySeconds)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3);

void printSummary(const benchsupport::KeepingReporter& results) {
    std::printf("\nThe case chat, fastest of 3 runs (real time; CPU time where the machine is busy):\n");
    if (auto scroll = results.find("BM_ScrollChatTable/")) {
        const double perText = scroll->counter("fill_measures_per_text");
        const double perScroll = scroll->counter("scroll_measures_per_msg_pass");
        const double rows = scroll->counter("rows_per_pass");
        std::printf("1 000 messages (%.0f points of content) scrolled top to bottom and back, %.0f points a frame:\n",
                    scroll->counter("content_height_pt"), kScrollStep);
        std::printf("  %.0f rows laid out a pass in %.1f ms (CPU %.1f ms): %.0f rows per second (%.0f by CPU time)\n",
                    rows, scroll->time, scroll->cpu, rows / scroll->time * 1000, rows / scroll->cpu * 1000);
        std::printf("  filling the chat with the 1 000 messages: %.0f ms\n", scroll->counter("fill_ms"));
        std::printf("  row geometry: %.2f text measurements per text message while filling, %.4f per message per\n"
                    "  scroll pass; other text measurements per row laid out: %.2f\n",
                    perText, perScroll, scroll->counter("other_measures_per_row"));
        std::printf("Target, the row geometry measured once per message, never while scrolling:  %s\n",
                    benchsupport::verdict(perText <= 1.0 && perScroll == 0));
    }
    auto few = results.find("BM_AddOneMessage/100"), many = results.find("BM_AddOneMessage/10000");
    if (few && many) {
        std::printf("One message added to a chat holding 100 and 10 000 (the police's and own in turn):\n");
        std::printf("     100 held: %8.1f us a message; filling the chat with them: %8.1f ms\n", few->time,
                    few->counter("fill_ms"));
        std::printf("  10 000 held: %8.1f us a message; filling the chat with them: %8.1f ms\n", many->time,
                    many->counter("fill_ms"));
        std::printf("Target, adding a message costs the same at 10 000 as at 100 (within 1.5x):  %s\n",
                    benchsupport::verdict(many->time <= 1.5 * few->time));
    }
    auto submit = results.find("BM_ReleaseToSubmit/");
    auto convert = results.find("BM_ConvertSixtySeconds/");
    if (submit && convert) {
        const double submitCPU = submit->counter("process_cpu_ms");
        std::printf("A 60-second voice message (%.0f KB of request body; CPU time of every thread of the process):\n",
                    submit->counter("body_KB"));
        std::printf("  release of the talk button to the submitmsg request: %7.1f ms  (CPU %7.1f ms)\n", submit->time,
                    submitCPU);
        std::printf("    of which release to the message shown in the chat: %7.1f ms\n", submit->counter("shown_ms"));
        std::printf("    and shown to the request at the server:            %7.1f ms\n",
                    submit->counter("shown_to_request_ms"));
        std::printf("  the conversion alone on the same recording:          %7.1f ms  (CPU %7.1f ms)\n", convert->time,
                    convert->cpu);
        std::printf("  release to request over the conversion alone:        %7.2fx real, %.2fx CPU (%+.1f ms CPU)\n",
                    submit->time / convert->time, submitCPU / convert->cpu, submitCPU - convert->cpu);
    }
}

}  // namespace

int main(int argc, char** argv) { return benchsupport::runWithSummary(argc, argv, printSummary); }
