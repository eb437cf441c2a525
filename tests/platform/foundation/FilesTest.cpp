#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/foundation/Sandbox.h"
#include "support/PlatformTest.h"

using namespace foundation;
namespace fs = std::filesystem;

namespace {
class FilesTest : public PlatformTest {};

// Limits the size of files this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
    }

private:
    rlimit saved_{};
    sighandler_t previous_;
};

size_t entriesIn(const fs::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}
}  // namespace

TEST_F(FilesTest, SandboxHasTheDirectoriesOfAnInstallation) {
    auto& box = Sandbox::current();
    EXPECT_EQ(box.root(), sandboxRoot);
    for (const auto& dir : {box.documents(), box.caches(), box.preferences(), box.tmp(), box.photos()}) {
        EXPECT_TRUE(fs::is_directory(dir)) << dir;
        EXPECT_EQ(dir.string().rfind(sandboxRoot.string(), 0), 0u);
    }
    EXPECT_EQ(box.caches(), sandboxRoot / "Library" / "Caches");
}

TEST_F(FilesTest, WritesWholeFilesReadsThemBackAndReportsMissingOnes) {
    fs::path file = Sandbox::current().documents() / "cases" / "case.bin";
    std::string bytes("a\0b\xff 案件", 10);
    ASSERT_TRUE(files::writeAtomically(file, bytes));
    EXPECT_EQ(files::read(file), bytes);
    EXPECT_EQ(files::size(file), 10);
    ASSERT_TRUE(files::writeAtomically(file, "shorter"));
    EXPECT_EQ(files::read(file), "shorter");
    EXPECT_EQ(entriesIn(file.parent_path()), 1u);  // nothing left beside it

    EXPECT_FALSE(files::read(file.parent_path() / "missing").has_value());
    EXPECT_EQ(files::size(file.parent_path() / "missing"), -1);
    EXPECT_FALSE(files::read(file.parent_path()).has_value());  // a directory is no file
    EXPECT_TRUE(files::remove(file));
    EXPECT_FALSE(files::exists(file));
    EXPECT_FALSE(files::remove(file));
}

TEST_F(FilesTest, AnInterruptedWriteLeavesTheOldFileWhole) {
    fs::path file = Sandbox::current().documents() / "state.plist";
    ASSERT_TRUE(files::writeAtomically(file, "old contents"));

    // A crash mid-write leaves only a partial file beside the target.
    std::ofstream(file.string() + ".tmp-1-1") << "new con";
    EXPECT_EQ(files::read(file), "old contents");

    // A write that fails (the disk is full) leaves the old file and no partial file.
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(files::writeAtomically(file, std::string(64 * 1024, 'x')));
    }
    EXPECT_EQ(files::read(file), "old contents");
    EXPECT_EQ(entriesIn(file.parent_path()), 2u);  // the file and the crash's leftover only

    // A target that cannot be replaced (a directory is in the way) fails cleanly too.
    fs::path blocked = Sandbox::current().documents() / "blocked";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(files::writeAtomically(blocked, "data"));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
}

TEST_F(FilesTest, MovesACorruptFileAsideUnderAFreeName) {
    fs::path file = Sandbox::current().caches() / "list.plist";
    ASSERT_TRUE(files::writeAtomically(file, "first"));
    fs::path aside = files::moveAside(file);
    EXPECT_EQ(aside.filename(), "list.plist.corrupt-1");
    ASSERT_TRUE(files::writeAtomically(file, "second"));
    EXPECT_EQ(files::moveAside(file).filename(), "list.plist.corrupt-2");
    EXPECT_EQ(files::read(aside), "first");
    EXPECT_FALSE(files::exists(file));
    EXPECT_TRUE(files::moveAside(file).empty());
}

TEST_F(FilesTest, BundlePathsResolveInTheBundleRoot) {
    fs::path bundle = sandboxRoot / "bundle";
    ASSERT_TRUE(files::writeAtomically(bundle / "rule.html", "<html></html>"));
    setBundleRoot(bundle);
    EXPECT_EQ(bundleRoot(), bundle);
    EXPECT_EQ(bundlePath("rule", "html"), bundle / "rule.html");
    EXPECT_EQ(bundlePath("rule.html"), bundle / "rule.html");
    EXPECT_EQ(bundlePath("rule.html", "html"), bundle / "rule.html");
    EXPECT_TRUE(bundlePath("rule", "plist").empty());
    EXPECT_TRUE(bundlePath("").empty());
}

TEST_F(FilesTest, ReadsLargeEmptyAndUnsizedFilesWhole) {
    fs::path dir = Sandbox::current().documents();
    std::string large(5 * 1024 * 1024 + 7, '\0');
    for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 % 251);
    ASSERT_TRUE(files::writeAtomically(dir / "shot.jpg", large));
    EXPECT_EQ(files::read(dir / "shot.jpg"), large);
    ASSERT_TRUE(files::writeAtomically(dir / "empty", ""));
    EXPECT_EQ(files::read(dir / "empty"), std::string());
    // A file whose size the system does not know beforehand is read to its end.
    auto status = files::read("/proc/self/status");
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(status->find("Pid:"), std::string::npos);
    EXPECT_GT(status->size(), 100u);
}

TEST_F(FilesTest, ALinkedSecondNameKeepsTheBytesItWasGiven) {
    fs::path photos = Sandbox::current().photos();
    fs::path album = photos / "album";
    fs::create_directories(album);
    ASSERT_TRUE(files::writeAtomically(photos / "IMG_0001.JPG", "first photo"));
    ASSERT_TRUE(files::writeAtomically(album / "IMG_0001.JPG", "an older copy"));
    ASSERT_TRUE(files::linkAtomically(photos / "IMG_0001.JPG", album / "IMG_0001.JPG"));
    EXPECT_EQ(files::read(album / "IMG_0001.JPG"), "first photo") << "the older copy is replaced";
    EXPECT_EQ(entriesIn(album), 1u) << "nothing left beside it";
    ASSERT_TRUE(files::linkAtomically(photos / "IMG_0001.JPG", album / "IMG_0001.JPG")) << "linked again";
    EXPECT_EQ(entriesIn(album), 1u) << "nothing left beside a name the file had already";
    // Writes replace files, so replacing the first name leaves the second as it was.
    ASSERT_TRUE(files::writeAtomically(photos / "IMG_0001.JPG", "changed"));
    EXPECT_EQ(files::read(album / "IMG_0001.JPG"), "first photo");

    // Nothing to link, or nowhere to put it: false, and nothing made.
    EXPECT_FALSE(files::linkAtomically(photos / "IMG_0099.JPG", album / "IMG_0099.JPG"));
    EXPECT_FALSE(files::linkAtomically(photos / "IMG_0001.JPG", photos / "missing" / "IMG_0001.JPG"));
    EXPECT_FALSE(files::exists(album / "IMG_0099.JPG"));
    EXPECT_EQ(entriesIn(album), 1u);
    EXPECT_FALSE(files::exists(photos / "missing"));
}

namespace {

// Each entry under `root` whose mode is not the private one (0600 files, 0700 directories).
std::vector<std::string> notPrivate(const fs::path& root) {
    std::vector<std::string> found;
    auto check = [&](const fs::path& p) {
        struct stat info {};
        if (::lstat(p.c_str(), &info) != 0) return;
        const unsigned expected = S_ISDIR(info.st_mode) ? files::kDirectoryMode : files::kFileMode;
        if ((info.st_mode & 0777) != expected) found.push_back(p.string());
    };
    check(root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) check(entry.path());
    return found;
}

// Whatever the umask, what the installation creates is its user's alone, and an installation
// made before that becomes so when it is chosen.
TEST_F(FilesTest, FilesAreCreatedForTheirOwnerAloneAndTheInstallationMadePrivate) {
    const mode_t saved = ::umask(0);
    const fs::path old = sandboxRoot / "old";
    for (const char* dir : {"", "Documents", "Library", "Library/Caches", "Library/Preferences", "tmp", "Photos"}) {
        fs::create_directories(old / dir);
        fs::permissions(old / dir, fs::perms(0777));
    }
    Sandbox::setRoot(old);
    EXPECT_TRUE(files::writeAtomically(Sandbox::current().documents() / "account.data", "account"));
    EXPECT_TRUE(files::createDirectories(Sandbox::current().documents() / "CaseMaterial" / "deeper"));
    std::FILE* voice = files::openPrivately(Sandbox::current().documents() / "CaseMaterial" / "voice.mp3", "wb");
    ASSERT_TRUE(voice);
    std::fclose(voice);
    ::umask(saved);
    EXPECT_EQ(notPrivate(old), std::vector<std::string>{});
}

}  // namespace
