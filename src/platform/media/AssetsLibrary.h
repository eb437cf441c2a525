#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/media/MediaError.h"

namespace media {

// Kinds of album group, as bits.
enum AssetsGroupType : unsigned {
    AssetsGroupLibrary = 1u << 0,
    AssetsGroupAlbum = 1u << 1,
    AssetsGroupEvent = 1u << 2,
    AssetsGroupFaces = 1u << 3,
    AssetsGroupSavedPhotos = 1u << 4,
    AssetsGroupPhotoStream = 1u << 5,
    AssetsGroupAll = 0xFFFFFFFFu,
};

// One photograph of the album, known by its URL.
class Asset {
public:
    using Ptr = std::shared_ptr<Asset>;
    Asset(std::string url, std::filesystem::path file) : url_(std::move(url)), file_(std::move(file)) {}
    const std::string& url() const { return url_; }
    const std::filesystem::path& file() const { return file_; }
    std::optional<std::string> data() const;

private:
    std::string url_;
    std::filesystem::path file_;
};

// A group of photographs: the saved photos, or an album (a directory under Photos/).
class AssetsGroup {
public:
    using Ptr = std::shared_ptr<AssetsGroup>;
    AssetsGroup(std::string name, AssetsGroupType type, std::filesystem::path directory)
        : name_(std::move(name)), type_(type), directory_(std::move(directory)) {}
    const std::string& name() const { return name_; }
    AssetsGroupType type() const { return type_; }
    const std::filesystem::path& directory() const { return directory_; }
    bool isEditable() const { return type_ == AssetsGroupAlbum; }
    // Files a copy of the asset in an album, durably (a second name of the photograph's file
    // where the file system allows). False for the saved photos or a failed write.
    bool addAsset(const Asset::Ptr& asset);
    int numberOfAssets() const;

private:
    std::string name_;
    AssetsGroupType type_;
    std::filesystem::path directory_;
};

// Test switches of the photo album.
struct PhotoAlbumSimulation {
    bool accessDenied = false;  // every call fails with "User denied access"
    bool writeFails = false;    // writing a photograph fails
};
PhotoAlbumSimulation photoAlbumSimulation();
void setPhotoAlbumSimulation(const PhotoAlbumSimulation& simulation);

// The photo album of the sandbox (its Photos directory). Calls return at once; results and
// failures arrive on the main queue, in the order the calls were made.
class AssetsLibrary : public std::enable_shared_from_this<AssetsLibrary> {
public:
    using Ptr = std::shared_ptr<AssetsLibrary>;
    using FailureBlock = std::function<void(const Error&)>;
    // Called once per group of the asked kinds, then once with null when the enumeration ends.
    using GroupBlock = std::function<void(const AssetsGroup::Ptr& group, bool* stop)>;

    static Ptr make() { return std::make_shared<AssetsLibrary>(); }

    void enumerateGroupsWithTypes(unsigned types, GroupBlock block, FailureBlock failure);
    // The new album, or null when an album of that name exists.
    void addAssetsGroupAlbumWithName(const std::string& name, std::function<void(const AssetsGroup::Ptr&)> result,
                                     FailureBlock failure);
    // Writes JPEG bytes to the saved photos; the completion gets the new asset's URL (or an error).
    void writeImageDataToSavedPhotosAlbum(const std::string& data, const nlohmann::json& metadata,
                                          std::function<void(const std::string& assetURL, std::optional<Error>)> completion);
    // The asset of a URL, or null when there is none.
    void assetForURL(const std::string& url, std::function<void(const Asset::Ptr&)> result, FailureBlock failure);

    static std::string savedPhotosName() { return "Camera Roll"; }
};

}  // namespace media
