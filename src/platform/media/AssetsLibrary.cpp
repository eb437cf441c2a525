#include "platform/media/AssetsLibrary.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"

namespace media {

namespace fs = std::filesystem;

namespace {

std::mutex g_mutex;
PhotoAlbumSimulation g_simulation;

const char* kURLPrefix = "assets-library://asset/asset.JPG?id=";

Error deniedError() {
    return Error{"ALAssetsLibraryErrorDomain", -3311, "User denied access",
                 "This application does not have access to your photos or videos."};
}

Error writeError() {
    return Error{"ALAssetsLibraryErrorDomain", -3304, "Failed to encode or write the photo",
                 "The photo could not be written to the album."};
}

bool denied() { return photoAlbumSimulation().accessDenied; }

fs::path photosRoot() {
    fs::path root = foundation::Sandbox::current().photos();
    foundation::files::createDirectories(root);
    return root;
}

bool isJPEGFile(const fs::path& p) { return p.extension() == ".JPG"; }

// A name that stays inside the Photos directory.
bool validAlbumName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::vector<fs::path> albumDirectories() {
    std::vector<fs::path> dirs;
    std::error_code ec;
    for (fs::directory_iterator it(photosRoot(), ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_directory(ec)) dirs.push_back(it->path());
    }
    std::sort(dirs.begin(), dirs.end());
    return dirs;
}

// "IMG_0007" from the asset URL, or empty.
std::string assetId(const std::string& url) {
    if (url.rfind(kURLPrefix, 0) != 0) return {};
    std::string rest = url.substr(std::string(kURLPrefix).size());
    std::string id = rest.substr(0, rest.find('&'));
    if (id.size() != 8 || id.rfind("IMG_", 0) != 0) return {};
    for (size_t i = 4; i < id.size(); ++i) {
        if (id[i] < '0' || id[i] > '9') return {};
    }
    return id;
}


}  // namespace

PhotoAlbumSimulation photoAlbumSimulation() {
    std::lock_guard lock(g_mutex);
    return g_simulation;
}

void setPhotoAlbumSimulation(const PhotoAlbumSimulation& simulation) {
    std::lock_guard lock(g_mutex);
    g_simulation = simulation;
}

std::optional<std::string> Asset::data() const { return foundation::files::read(file_); }

bool AssetsGroup::addAsset(const Asset::Ptr& asset) {
    if (!asset || !isEditable()) return false;
    const fs::path copy = directory_ / asset->file().filename();
    // Photographs are never changed in place (a write replaces the file), so a second name of
    // the saved photo is the album's copy: its bytes are on the disk already and only the name
    // is made durable. Where the file system cannot link, the bytes are written again.
    if (foundation::files::linkAtomically(asset->file(), copy)) return true;
    auto bytes = asset->data();
    if (!bytes) return false;
    return foundation::files::writeAtomically(copy, *bytes);
}

int AssetsGroup::numberOfAssets() const {
    int n = 0;
    std::error_code ec;
    for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec) && isJPEGFile(it->path())) ++n;
    }
    return n;
}

void AssetsLibrary::enumerateGroupsWithTypes(unsigned types, GroupBlock block, FailureBlock failure) {
    foundation::dispatch::mainQueue()->async([types, block = std::move(block), failure = std::move(failure)] {
        if (denied()) {
            if (failure) failure(deniedError());
            return;
        }
        if (!block) return;
        std::vector<AssetsGroup::Ptr> groups;
        if (types & AssetsGroupSavedPhotos) {
            groups.push_back(std::make_shared<AssetsGroup>(savedPhotosName(), AssetsGroupSavedPhotos, photosRoot()));
        }
        if (types & AssetsGroupAlbum) {
            for (const auto& dir : albumDirectories()) {
                groups.push_back(std::make_shared<AssetsGroup>(dir.filename().string(), AssetsGroupAlbum, dir));
            }
        }
        bool stop = false;
        for (const auto& g : groups) {
            block(g, &stop);
            if (stop) break;
        }
        block(nullptr, &stop);
    });
}

void AssetsLibrary::addAssetsGroupAlbumWithName(const std::string& name,
                                                std::function<void(const AssetsGroup::Ptr&)> result,
                                                FailureBlock failure) {
    foundation::dispatch::mainQueue()->async([name, result = std::move(result), failure = std::move(failure)] {
        if (denied()) {
            if (failure) failure(deniedError());
            return;
        }
        if (!validAlbumName(name)) {
            if (failure) failure(Error{"ALAssetsLibraryErrorDomain", -1, "Invalid album name", "\"" + name + "\""});
            return;
        }
        fs::path dir = photosRoot() / name;
        std::error_code ec;
        if (fs::exists(dir, ec)) {
            if (result) result(nullptr);
            return;
        }
        if (!foundation::files::createDirectories(dir)) {
            if (failure) failure(writeError());
            return;
        }
        if (result) result(std::make_shared<AssetsGroup>(name, AssetsGroupAlbum, dir));
    });
}

void AssetsLibrary::writeImageDataToSavedPhotosAlbum(
    const std::string& data, const nlohmann::json&,
    std::function<void(const std::string& assetURL, std::optional<Error>)> completion) {
    foundation::dispatch::mainQueue()->async([data, completion = std::move(completion)] {
        auto finish = [&](const std::string& url, std::optional<Error> error) {
            if (completion) completion(url, std::move(error));
        };
        if (denied()) return finish({}, deniedError());
        if (photoAlbumSimulation().writeFails || data.empty()) return finish({}, writeError());
        fs::path root = photosRoot();
        int highest = 0;
        std::error_code ec;
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
            std::string id = assetId(std::string(kURLPrefix) + it->path().stem().string());
            if (!id.empty()) highest = std::max(highest, std::stoi(id.substr(4)));
        }
        if (highest >= 9999) return finish({}, writeError());
        char id[16];
        std::snprintf(id, sizeof id, "IMG_%04d", highest + 1);
        if (!foundation::files::writeAtomically(root / (std::string(id) + ".JPG"), data)) {
            return finish({}, writeError());
        }
        finish(std::string(kURLPrefix) + id + "&ext=JPG", std::nullopt);
    });
}

void AssetsLibrary::assetForURL(const std::string& url, std::function<void(const Asset::Ptr&)> result,
                                FailureBlock failure) {
    foundation::dispatch::mainQueue()->async([url, result = std::move(result), failure = std::move(failure)] {
        if (denied()) {
            if (failure) failure(deniedError());
            return;
        }
        std::string id = assetId(url);
        fs::path file = photosRoot() / (id + ".JPG");
        if (id.empty() || !foundation::files::exists(file)) {
            if (result) result(nullptr);
            return;
        }
        if (result) result(std::make_shared<Asset>(url, file));
    });
}

}  // namespace media
