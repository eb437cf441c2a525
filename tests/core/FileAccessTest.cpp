#include <gtest/gtest.h>

#include "core/FileAccess.h"
#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

class FileAccessTest : public PlatformTest {};

TEST_F(FileAccessTest, NamesInsideTheCaseMaterialDirectory) {
    FileAccess access;
    auto path = access.getFileByFileName("语音 1.mp3");
    ASSERT_TRUE(path);
    auto dir = foundation::Sandbox::current().documents() / "CaseMaterial";
    EXPECT_EQ(std::filesystem::path(*path), dir / "语音 1.mp3");
    EXPECT_TRUE(std::filesystem::is_directory(dir));

    EXPECT_FALSE(access.isFileExists("语音 1.mp3"));
    ASSERT_TRUE(foundation::files::writeAtomically(*path, "ID3"));
    EXPECT_TRUE(access.isFileExists("语音 1.mp3"));
    EXPECT_TRUE(access.deleteFile("语音 1.mp3"));
    EXPECT_FALSE(access.isFileExists("语音 1.mp3"));
    EXPECT_FALSE(access.deleteFile("语音 1.mp3"));
}

TEST_F(FileAccessTest, NamesThatWouldLeaveTheDirectoryAreRefused) {
    FileAccess access;
    auto outside = foundation::Sandbox::current().documents() / "account.data";
    ASSERT_TRUE(foundation::files::writeAtomically(outside, "keep"));
    const std::vector<std::string> refused = {"../account.data", "a/b.mp3", "/etc/passwd", ".", "..", "",
                                              std::string("x\0y", 3)};
    for (const auto& name : refused) {
        EXPECT_FALSE(access.getFileByFileName(name)) << name;
        EXPECT_FALSE(access.isFileExists(name)) << name;
        EXPECT_FALSE(access.deleteFile(name)) << name;
    }
    EXPECT_TRUE(foundation::files::exists(outside));
    EXPECT_TRUE(access.getFileByFileName("..mp3")) << "dots inside a name are fine";
}
