#include "platform/media/CameraSimulation.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"
#include "platform/media/CaptureStillImageOutput.h"
#include "platform/graphics/Image.h"

namespace media {

namespace detail {
void resetCameraDevices();
}

namespace {

std::mutex g_mutex;
CameraSimulation g_simulation;
std::filesystem::path g_folder;
int g_shots = 0;
// The picture in front of the camera, for shot number g_cachedNumber of g_cachedFolder.
struct Cached {
    std::filesystem::path folder;
    int number = 0;
    graphics::Size size;
    std::string bytes;
    graphics::Image::Ptr picture;
    bool decoded = false;
} g_cached;

std::string generatedShot(graphics::Size size, int number) {
    auto image = graphics::Image::draw(size, 1, true, [&](cairo_t* cr) {
        // A sky, a road and a box that moves with the counter, so that shots differ.
        cairo_set_source_rgb(cr, 0.55, 0.70, 0.85);
        cairo_rectangle(cr, 0, 0, size.width, size.height / 2);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.30, 0.30, 0.32);
        cairo_rectangle(cr, 0, size.height / 2, size.width, size.height / 2);
        cairo_fill(cr);
        double x = std::fmod(number * 97.0, std::max(1.0, size.width - 200));
        cairo_set_source_rgb(cr, 0.80, 0.15, 0.10);
        cairo_rectangle(cr, x, size.height * 0.45, 200, 110);
        cairo_fill(cr);
        char text[32];
        std::snprintf(text, sizeof text, "%d", number);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, size.height / 6);
        cairo_move_to(cr, size.width * 0.05, size.height * 0.25);
        cairo_show_text(cr, text);
    });
    return image ? image->jpegData(0.9) : std::string();
}

std::vector<std::filesystem::path> jpegFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if ((ext == ".jpg" || ext == ".jpeg") && it->is_regular_file(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

CameraSimulation cameraSimulation() {
    std::lock_guard lock(g_mutex);
    return g_simulation;
}

void setCameraSimulation(const CameraSimulation& simulation) {
    {
        std::lock_guard lock(g_mutex);
        g_simulation = simulation;
    }
    detail::resetCameraDevices();
}

void resetCameraSimulation() {
    CaptureStillImageOutput::resetHeldCaptures();
    setCameraSimulation(CameraSimulation{});
}

CameraScene& CameraScene::shared() {
    static CameraScene scene;
    return scene;
}

void CameraScene::setFolder(const std::filesystem::path& folder) {
    std::lock_guard lock(g_mutex);
    g_folder = folder;
}

namespace {
// The JPEG bytes of shot `number` (from 1) of the scene.
std::string shotBytes(const std::filesystem::path& folder, graphics::Size size, int number) {
    if (folder.empty()) return generatedShot(size, number);
    auto files = jpegFiles(folder);
    if (files.empty()) {
        foundation::log("camera scene: no JPEG files in " + folder.string());
        return {};
    }
    auto bytes = foundation::files::read(files[static_cast<size_t>(number - 1) % files.size()]);
    return bytes ? std::move(*bytes) : std::string();
}

// The bytes of shot `number`, from the cache when the preview already made them.
std::string cachedShot(const std::filesystem::path& folder, graphics::Size size, int number) {
    {
        std::lock_guard lock(g_mutex);
        if (g_cached.number == number && g_cached.folder == folder && g_cached.size == size) return g_cached.bytes;
    }
    std::string bytes = shotBytes(folder, size, number);
    std::lock_guard lock(g_mutex);
    g_cached = Cached{folder, number, size, bytes, nullptr, false};
    return bytes;
}
}  // namespace

std::string CameraScene::folderProblem(const std::filesystem::path& folder) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return folder.string() + " is not a folder";
    auto files = jpegFiles(folder);
    if (files.empty()) return folder.string() + " holds no JPEG file (.jpg or .jpeg)";
    for (auto& file : files) {
        auto bytes = foundation::files::read(file);
        if (bytes && graphics::Image::fromData(*bytes)) return "";
    }
    return "none of the JPEG files in " + folder.string() + " can be read as a JPEG picture";
}

std::string CameraScene::nextShot() {
    std::filesystem::path folder;
    graphics::Size size;
    int number;
    {
        std::lock_guard lock(g_mutex);
        folder = g_folder;
        size = g_simulation.sceneSize;
        number = ++g_shots;
    }
    // The shot leaves the scene: the preview's copy of its bytes is handed over, not copied
    // (the preview asks for the next picture from now on), and a shot the preview never showed
    // is not kept.
    {
        std::lock_guard lock(g_mutex);
        if (g_cached.number == number && g_cached.folder == folder && g_cached.size == size)
            return std::move(g_cached.bytes);
    }
    return shotBytes(folder, size, number);
}

graphics::Image::Ptr CameraScene::currentPicture() {
    std::filesystem::path folder;
    graphics::Size size;
    int number;
    {
        std::lock_guard lock(g_mutex);
        folder = g_folder;
        size = g_simulation.sceneSize;
        number = g_shots + 1;
        if (g_cached.number == number && g_cached.folder == folder && g_cached.size == size && g_cached.decoded)
            return g_cached.picture;
    }
    std::string bytes = cachedShot(folder, size, number);
    auto picture = bytes.empty() ? nullptr : graphics::Image::fromData(std::move(bytes));
    std::lock_guard lock(g_mutex);
    if (g_cached.number == number && g_cached.folder == folder && g_cached.size == size) {
        g_cached.picture = picture;
        g_cached.decoded = true;
    }
    return picture;
}

int CameraScene::shotsTaken() const {
    std::lock_guard lock(g_mutex);
    return g_shots;
}

void CameraScene::reset() {
    std::lock_guard lock(g_mutex);
    g_folder.clear();
    g_shots = 0;
    g_cached = Cached{};
}

}  // namespace media
