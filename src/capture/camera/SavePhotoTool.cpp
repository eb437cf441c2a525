#include "capture/camera/SavePhotoTool.h"

#include <memory>
#include <vector>

#include "platform/foundation/Dispatch.h"
#include "platform/foundation/LocalizedStrings.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AssetsLibrary.h"
#include "platform/ui/AlertView.h"

namespace {

using media::AssetsGroup;
using media::AssetsLibrary;

// Makes sure the album exists: enumerates the albums and asks for it when none has the name.
void ensureAlbum(const std::string& name, bool withFailure) {
    auto library = AssetsLibrary::make();
    auto groups = std::make_shared<std::vector<AssetsGroup::Ptr>>();
    library->enumerateGroupsWithTypes(
        media::AssetsGroupAlbum,
        [library, groups, name, withFailure](const AssetsGroup::Ptr& group, bool*) {
            if (group) {
                groups->push_back(group);
                return;
            }
            for (const auto& g : *groups) {
                if (g->name() == name) return;
            }
            library->addAssetsGroupAlbumWithName(
                name,
                [groups](const AssetsGroup::Ptr& created) {
                    if (created) groups->push_back(created);
                },
                withFailure ? AssetsLibrary::FailureBlock([](const media::Error&) {}) : nullptr);
        },
        nullptr);
}

// Files the asset in every album of that name; failures go to `failure`.
void addToExistingAlbums(const std::shared_ptr<AssetsLibrary>& library, const std::string& url, const std::string& name,
                         const SavePhotoTool::CompletionBlock& completion, const SavePhotoTool::FailureBlock& failure) {
    library->assetForURL(
        url,
        [library, name, completion, failure](const media::Asset::Ptr& asset) {
            if (!asset) return;  // gone meanwhile: nothing to file
            library->enumerateGroupsWithTypes(
                media::AssetsGroupAll,
                [asset, name, completion](const AssetsGroup::Ptr& group, bool*) {
                    if (!group || group->name() != name) return;
                    group->addAsset(asset);
                    if (completion) completion();
                },
                failure);
        },
        failure);
}

void save(const std::string& jpeg, bool albumCreationFailureHandler) {
    ensureAlbum(SavePhotoTool::kAlbumName, albumCreationFailureHandler);
    SavePhotoTool::saveToAlbumWithMetadata(nullptr, jpeg, std::string(SavePhotoTool::kAlbumName), [] {},
                                           [](const media::Error& error) {
                                               // Results arrive on the main queue already; posting keeps
                                               // the alert off any caller's stack.
                                               foundation::dispatch::mainQueue()->async(
                                                   [error] { SavePhotoTool::showAccessFailure(error); });
                                           });
}

}  // namespace

void SavePhotoTool::savePhoto(const graphics::Image::Ptr& image) {
    if (!image) {
        foundation::log("SavePhotoTool: no image to save");
        return;
    }
    save(image->jpegData(1.0), true);
}

void SavePhotoTool::saveImageData(const std::string& data) { save(data, false); }

void SavePhotoTool::saveToAlbumWithMetadata(const nlohmann::json& metadata, const std::string& imageData,
                                            const std::optional<std::string>& customAlbumName,
                                            CompletionBlock completionBlock, FailureBlock failureBlock) {
    auto library = AssetsLibrary::make();
    library->writeImageDataToSavedPhotosAlbum(
        imageData, metadata,
        [library, customAlbumName, completionBlock, failureBlock](const std::string& assetURL,
                                                                  std::optional<media::Error> error) {
            if (assetURL.empty()) {
                // Nothing was written (access refused, full album, bad data): nothing to file.
                if (failureBlock && error) failureBlock(*error);
                return;
            }
            if (!customAlbumName) {
                if (completionBlock) completionBlock();
                return;
            }
            std::string name = *customAlbumName;
            library->addAssetsGroupAlbumWithName(
                name,
                [library, assetURL, name, completionBlock, failureBlock](const AssetsGroup::Ptr& group) {
                    if (!group) {
                        addToExistingAlbums(library, assetURL, name, completionBlock, failureBlock);
                        return;
                    }
                    library->assetForURL(
                        assetURL,
                        [group, completionBlock, failureBlock](const media::Asset::Ptr& asset) {
                            if (!asset) return;
                            group->addAsset(asset);
                            if (completionBlock) completionBlock();
                        },
                        failureBlock);
                },
                [library, assetURL, name, completionBlock, failureBlock](const media::Error&) {
                    addToExistingAlbums(library, assetURL, name, completionBlock, failureBlock);
                });
        });
}

void SavePhotoTool::showAccessFailure(const media::Error& error) {
    const std::string& text = error.localizedDescription;
    if (text.find("User denied access") == std::string::npos && text.find("用户拒绝访问") == std::string::npos) return;
    auto alert = std::make_shared<ui::AlertView>(text, error.localizedFailureReason,
                                                 std::weak_ptr<ui::AlertViewDelegate>(), foundation::localizedString("ok"));
    alert->show();
}
