#include "MediaTestSupport.h"
#include "platform/foundation/Sandbox.h"
#include "platform/graphics/Image.h"

using namespace media;

namespace {

class AssetsLibraryTest : public MediaTest {
protected:
    std::string jpeg() {
        return graphics::Image::draw({64, 48}, 1, true, [](cairo_t*) {})->jpegData(1.0);
    }
    std::string write(const std::string& data, std::optional<Error>* error = nullptr) {
        std::optional<std::string> url;
        library->writeImageDataToSavedPhotosAlbum(data, nullptr, [&](const std::string& u, std::optional<Error> e) {
            EXPECT_TRUE(foundation::isMainThread());
            url = u;
            if (error) *error = e;
        });
        EXPECT_TRUE(runUntil([&] { return url.has_value(); }));
        return url.value_or("");
    }
    // {done, group or null, error}
    std::tuple<bool, AssetsGroup::Ptr, std::optional<Error>> addAlbum(const std::string& name) {
        bool done = false;
        AssetsGroup::Ptr group;
        std::optional<Error> error;
        library->addAssetsGroupAlbumWithName(
            name, [&](const AssetsGroup::Ptr& g) { done = true, group = g; },
            [&](const Error& e) { done = true, error = e; });
        EXPECT_TRUE(runUntil([&] { return done; }));
        return {done, group, error};
    }
    std::vector<std::string> groupNames(unsigned types) {
        std::vector<std::string> names;
        bool ended = false;
        library->enumerateGroupsWithTypes(
            types, [&](const AssetsGroup::Ptr& g, bool*) { g ? names.push_back(g->name()) : void(ended = true); },
            nullptr);
        EXPECT_TRUE(runUntil([&] { return ended; }));
        return names;
    }

    AssetsLibrary::Ptr library = AssetsLibrary::make();
};

}  // namespace

TEST_F(AssetsLibraryTest, WritesLandAsFilesAndAlbumsHoldCopies) {
    const std::string data = jpeg();
    std::string url = write(data);
    ASSERT_FALSE(url.empty());
    auto photos = foundation::Sandbox::current().photos();
    EXPECT_EQ(foundation::files::read(photos / "IMG_0001.JPG"), data);
    EXPECT_NE(write(data), url);
    EXPECT_TRUE(foundation::files::exists(photos / "IMG_0002.JPG"));

    auto [done, album, error] = addAlbum("Brenvik");
    ASSERT_TRUE(album);
    EXPECT_EQ(album->name(), "Brenvik");
    EXPECT_TRUE(std::get<1>(addAlbum("Brenvik")) == nullptr) << "the second add of one name gives no group";
    EXPECT_FALSE(std::get<2>(addAlbum("Brenvik")).has_value());

    Asset::Ptr asset;
    bool looked = false;
    library->assetForURL(url, [&](const Asset::Ptr& a) { looked = true, asset = a; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return looked; }));
    ASSERT_TRUE(asset);
    EXPECT_TRUE(album->addAsset(asset));
    EXPECT_EQ(foundation::files::read(photos / "Brenvik" / "IMG_0001.JPG"), data);
    EXPECT_EQ(album->numberOfAssets(), 1);
    EXPECT_TRUE(album->addAsset(asset)) << "filing it again replaces the copy";
    EXPECT_EQ(album->numberOfAssets(), 1);
    // The album's copy stays what it was when the saved photo is replaced.
    ASSERT_TRUE(foundation::files::writeAtomically(photos / "IMG_0001.JPG", "replaced"));
    EXPECT_EQ(foundation::files::read(photos / "Brenvik" / "IMG_0001.JPG"), data);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(photos / "Brenvik"), {}), 1) << "no leftovers";

    EXPECT_EQ(groupNames(AssetsGroupAlbum), (std::vector<std::string>{"Brenvik"}));
    EXPECT_EQ(groupNames(AssetsGroupAll), (std::vector<std::string>{AssetsLibrary::savedPhotosName(), "Brenvik"}));

    // A URL of no asset gives none; the saved photos take no copies.
    looked = false;
    asset = nullptr;
    library->assetForURL("assets-library://asset/asset.JPG?id=IMG_0099&ext=JPG",
                         [&](const Asset::Ptr& a) { looked = true, asset = a; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return looked; }));
    EXPECT_FALSE(asset);
}

TEST_F(AssetsLibraryTest, DenialAndWriteFailuresAreReported) {
    setPhotoAlbumSimulation({.accessDenied = true});
    std::optional<Error> writeError;
    EXPECT_TRUE(write(jpeg(), &writeError).empty());
    ASSERT_TRUE(writeError.has_value());
    EXPECT_NE(writeError->localizedDescription.find("User denied access"), std::string::npos);

    std::optional<Error> enumerateError;
    library->enumerateGroupsWithTypes(AssetsGroupAlbum, [](const AssetsGroup::Ptr&, bool*) {},
                                      [&](const Error& e) { enumerateError = e; });
    ASSERT_TRUE(runUntil([&] { return enumerateError.has_value(); }));
    EXPECT_NE(enumerateError->localizedDescription.find("User denied access"), std::string::npos);
    EXPECT_TRUE(std::get<2>(addAlbum("Brenvik")).has_value());

    setPhotoAlbumSimulation({.writeFails = true});
    writeError.reset();
    EXPECT_TRUE(write(jpeg(), &writeError).empty());
    ASSERT_TRUE(writeError.has_value());
    EXPECT_EQ(writeError->localizedDescription.find("User denied access"), std::string::npos);
    EXPECT_FALSE(foundation::files::exists(foundation::Sandbox::current().photos() / "IMG_0001.JPG"));
}

TEST_F(AssetsLibraryTest, AlbumNamesStayInsideThePhotosDirectory) {
    for (const std::string name : {"", ".", "..", "../Documents", "a/b"}) {
        auto [done, group, error] = addAlbum(name);
        EXPECT_FALSE(group) << name;
        EXPECT_TRUE(error.has_value()) << name;
    }
    EXPECT_FALSE(foundation::files::exists(foundation::Sandbox::current().root() / "Documents" / "b"));
    EXPECT_TRUE(groupNames(AssetsGroupAlbum).empty());
}
