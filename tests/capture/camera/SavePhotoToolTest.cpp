#include <cairo.h>
#include <gtest/gtest.h>

#include "CameraTestSupport.h"
#include "capture/camera/SavePhotoTool.h"
#include "platform/ui/AlertView.h"

namespace {

class SavePhotoToolTest : public CameraTest {
protected:
    media::AssetsGroup album(const std::string& name) const {
        return media::AssetsGroup(name, media::AssetsGroupAlbum, foundation::Sandbox::current().photos() / name);
    }
    static graphics::Image::Ptr picture(double red) {
        return graphics::Image::draw({64, 48}, 1, true, [red](cairo_t* cr) {
            cairo_set_source_rgb(cr, red, 0.2, 0.4);
            cairo_paint(cr);
        });
    }
};

TEST_F(SavePhotoToolTest, AlbumIsCreatedOnceAndHoldsEveryShot) {
    EXPECT_FALSE(foundation::files::exists(foundation::Sandbox::current().photos() / "Brenvik"));
    SavePhotoTool::savePhoto(picture(0.1));
    SavePhotoTool::savePhoto(picture(0.9));
    ASSERT_TRUE(runUntil([&] { return album("Brenvik").numberOfAssets() == 2; }));
    SavePhotoTool::savePhoto(picture(0.5));
    ASSERT_TRUE(runUntil([&] { return album("Brenvik").numberOfAssets() == 3; }));
    drain();
    // One album, each shot also in the saved photos, stored as JPEG at full quality.
    int albums = 0;
    for (const auto& entry : std::filesystem::directory_iterator(foundation::Sandbox::current().photos()))
        albums += entry.is_directory();
    EXPECT_EQ(albums, 1);
    media::AssetsGroup saved(media::AssetsLibrary::savedPhotosName(), media::AssetsGroupSavedPhotos,
                             foundation::Sandbox::current().photos());
    EXPECT_EQ(saved.numberOfAssets(), 3);
    auto first = foundation::files::read(foundation::Sandbox::current().photos() / "IMG_0001.JPG");
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, picture(0.1)->jpegData(1.0));
    EXPECT_TRUE(ui::AlertView::visibleAlerts().empty());
}

TEST_F(SavePhotoToolTest, CustomAlbumCompletionAndNoAlbum) {
    int completions = 0;
    std::string jpeg = picture(0.3)->jpegData(0.8);
    SavePhotoTool::saveToAlbumWithMetadata(nullptr, jpeg, std::string("事故"), [&] { ++completions; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return completions == 1; }));
    EXPECT_EQ(album("事故").numberOfAssets(), 1);
    // The album exists now: the search files the second photo in it.
    SavePhotoTool::saveToAlbumWithMetadata(nullptr, jpeg, std::string("事故"), [&] { ++completions; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return completions == 2; }));
    EXPECT_EQ(album("事故").numberOfAssets(), 2);
    // Without an album name only the saved photos get it.
    SavePhotoTool::saveToAlbumWithMetadata(nullptr, jpeg, std::nullopt, [&] { ++completions; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return completions == 3; }));
    EXPECT_EQ(album("事故").numberOfAssets(), 2);
}

TEST_F(SavePhotoToolTest, AccessDeniedShowsTheAlertForEachShotAndTheFlowGoesOn) {
    media::setPhotoAlbumSimulation({.accessDenied = true});
    SavePhotoTool::savePhoto(picture(0.1));
    ASSERT_TRUE(runUntil([] { return ui::AlertView::visibleAlerts().size() == 1; }));
    auto alert = ui::AlertView::visibleAlerts()[0];
    EXPECT_EQ(alert->title(), "User denied access");
    EXPECT_EQ(alert->message(), "This application does not have access to your photos or videos.");
    EXPECT_EQ(alert->buttonTitles(), std::vector<std::string>{"确定"});
    ui::AlertView::resetAll();

    // Through the camera: every shot tells, every shot is still handed back, the end comes.
    open(2, 0);
    for (int shot = 1; shot <= 2; ++shot) {
        shoot();
        ASSERT_EQ(ui::AlertView::visibleAlerts().size(), 1u) << "shot " << shot;
        EXPECT_EQ(ui::AlertView::visibleAlerts()[0]->title(), "User denied access");
        auto ok = ui::AlertView::visibleAlerts()[0];
        ok->clickButtonAtIndex(ok->indexOfButtonWithTitle("确定"));
    }
    EXPECT_EQ(handBacks->count(), 2u);
    EXPECT_EQ(endActions, 1);

    // Other failures stay silent.
    ui::AlertView::resetAll();
    media::setPhotoAlbumSimulation({.writeFails = true});
    int failures = 0;
    SavePhotoTool::saveToAlbumWithMetadata(nullptr, "x", std::string("Brenvik"), nullptr,
                                           [&](const media::Error&) { ++failures; });
    SavePhotoTool::savePhoto(picture(0.2));
    ASSERT_TRUE(runUntil([&] { return failures == 1; }));
    settle();
    EXPECT_TRUE(ui::AlertView::visibleAlerts().empty());
}

}  // namespace
