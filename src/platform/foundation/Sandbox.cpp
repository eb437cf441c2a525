#include "platform/foundation/Sandbox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/foundation/Log.h"

#ifndef VESKARD_RESOURCE_DIR
#define VESKARD_RESOURCE_DIR "resources"
#endif

namespace fs = std::filesystem;

namespace foundation {

namespace {
std::mutex& pathMutex() {
    static std::mutex m;
    return m;
}

fs::path& bundleRootStorage() {
    static fs::path* root = new fs::path(VESKARD_RESOURCE_DIR);
    return *root;
}

void createLayout(const fs::path& root) {
    for (const char* dir : {"Documents", "Library/Caches", "Library/Preferences", "tmp", "Photos"}) {
        if (!files::createDirectories(root / dir)) log("sandbox: cannot create " + (root / dir).string());
    }
    // An installation made before its directories were private becomes private.
    for (const fs::path& dir : {root, root / "Library", root / "Documents", root / "Library/Caches",
                                root / "Library/Preferences", root / "tmp", root / "Photos"}) {
        if (::chmod(dir.c_str(), files::kDirectoryMode) != 0)
            log("sandbox: cannot make " + dir.string() + " private: " + std::strerror(errno));
    }
}
}  // namespace

Sandbox& Sandbox::current() {
    static Sandbox* sandbox = [] {
        auto* s = new Sandbox();
        std::error_code ec;
        s->root_ = fs::temp_directory_path(ec) / "veskard-sandbox";
        createLayout(s->root_);  // until the program chooses its own
        return s;
    }();
    return *sandbox;
}

void Sandbox::setRoot(const fs::path& root) {
    Sandbox& s = current();
    {
        std::lock_guard<std::mutex> lock(pathMutex());
        s.root_ = root;
    }
    createLayout(root);
}

fs::path Sandbox::makeTemporary(const std::string& prefix) {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = "/tmp";
    std::string pattern = (base / (prefix + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    fs::path root;
    if (::mkdtemp(buffer.data())) {
        root = buffer.data();
    } else {
        static std::atomic<int> counter{0};
        root = base / (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    }
    setRoot(root);
    return root;
}

fs::path Sandbox::root() const {
    std::lock_guard<std::mutex> lock(pathMutex());
    return root_;
}
fs::path Sandbox::documents() const { return root() / "Documents"; }
fs::path Sandbox::caches() const { return root() / "Library" / "Caches"; }
fs::path Sandbox::preferences() const { return root() / "Library" / "Preferences"; }
fs::path Sandbox::tmp() const { return root() / "tmp"; }
fs::path Sandbox::photos() const { return root() / "Photos"; }

namespace files {

bool exists(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::exists(p, ec);
}

bool remove(const fs::path& p) {
    if (p.empty()) return false;
    std::error_code ec;
    return fs::remove_all(p, ec) > 0 && !ec;
}

bool createDirectories(const fs::path& p) {
    if (p.empty()) return false;
    std::error_code ec;
    if (fs::is_directory(p, ec)) return true;
    // The parents first, then this one, each made 0700 (whatever the process's umask).
    if (p.has_parent_path() && p.parent_path() != p && !createDirectories(p.parent_path())) return false;
    if (::mkdir(p.c_str(), kDirectoryMode) == 0) {
        ::chmod(p.c_str(), kDirectoryMode);
        return true;
    }
    return errno == EEXIST && fs::is_directory(p, ec);
}

std::FILE* openPrivately(const fs::path& p, const char* mode) {
    if (p.empty() || !mode || !*mode) return nullptr;
    int flags = O_CLOEXEC;
    const std::string m = mode;
    const bool plus = m.find('+') != std::string::npos;
    switch (m[0]) {
    case 'r': flags |= plus ? O_RDWR : O_RDONLY; break;
    case 'w': flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
    case 'a': flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: return nullptr;
    }
    int fd = ::open(p.c_str(), flags, kFileMode);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, mode);
    if (!file) ::close(fd);
    return file;
}

namespace {
// "<name>.tmp-<pid>-<n>": beside the target, told apart per process and per write.
fs::path temporaryBeside(const fs::path& p) {
    static std::atomic<unsigned> counter{0};
    fs::path temp = p;
    temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
    return temp;
}
}  // namespace

bool writeAtomically(const fs::path& p, const std::string& bytes) {
    if (p.empty() || !p.has_filename()) return false;
    if (p.has_parent_path()) createDirectories(p.parent_path());
    const fs::path temp = temporaryBeside(p);

    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        log("files: cannot write " + p.string() + ": " + std::strerror(errno));
        return false;
    }
    const char* data = bytes.data();
    size_t left = bytes.size();
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(temp.c_str(), p.c_str()) != 0) ok = false;
    if (!ok) {
        log("files: cannot write " + p.string() + ": " + std::strerror(errno));
        ::unlink(temp.c_str());
        return false;
    }
    // The rename reaches the disk only with its directory.
    syncDirectory(p.has_parent_path() ? p.parent_path() : fs::path("."));
    return true;
}

bool linkAtomically(const fs::path& from, const fs::path& to) {
    if (from.empty() || to.empty() || !to.has_filename()) return false;
    const fs::path temp = temporaryBeside(to);
    if (::link(from.c_str(), temp.c_str()) != 0) return false;
    // The file's new link count, then the name, reach the disk (its bytes are there already).
    bool ok = false;
    int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ok = ::fsync(fd) == 0;
        if (::close(fd) != 0) ok = false;
    }
    if (ok && ::rename(temp.c_str(), to.c_str()) != 0) ok = false;
    // A rename between two names of one file does nothing (the target named it already), so the
    // temporary name may still be there.
    ::unlink(temp.c_str());
    if (!ok) return false;
    syncDirectory(to.has_parent_path() ? to.parent_path() : fs::path("."));
    return true;
}

int removeStaleTemporaries(const fs::path& dir) {
    // writeAtomically names them "<name>.tmp-<pid>-<n>"; those of this process may be under way.
    const std::string own = ".tmp-" + std::to_string(::getpid()) + "-";
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        size_t at = name.rfind(".tmp-");
        if (at == std::string::npos || name.find(own) != std::string::npos) continue;
        size_t dash = name.find('-', at + 5);
        if (dash == std::string::npos || dash == at + 5) continue;
        if (name.find_first_not_of("0123456789", at + 5) != dash) continue;
        if (name.size() == dash + 1 || name.find_first_not_of("0123456789", dash + 1) != std::string::npos) continue;
        std::error_code removeError;
        if (fs::remove(it->path(), removeError)) {
            ++removed;
            log("files: removed " + it->path().string() + ", left by an interrupted write");
        }
    }
    if (removed > 0) syncDirectory(dir);
    return removed;
}

bool syncDirectory(const fs::path& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

std::optional<std::string> read(const fs::path& p) {
    std::error_code ec;
    if (p.empty() || !fs::is_regular_file(p, ec)) return std::nullopt;
    // Into one string of the file's size, read straight from the descriptor (no stream buffers,
    // no growing copies: a camera shot is several megabytes).
    int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    std::string bytes;
    if (::fstat(fd, &info) == 0 && info.st_size > 0) bytes.resize(static_cast<size_t>(info.st_size) + 1);
    size_t have = 0;
    bool ok = true;
    for (;;) {
        if (have == bytes.size()) bytes.resize(std::max<size_t>(4096, bytes.size() * 2));  // grew meanwhile
        ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        have += static_cast<size_t>(n);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    bytes.resize(have);
    return bytes;
}

fs::path moveAside(const fs::path& p) {
    if (!files::exists(p)) return {};
    for (int n = 1; n < 1000; ++n) {
        fs::path aside = p;
        aside += ".corrupt-" + std::to_string(n);
        if (files::exists(aside)) continue;
        std::error_code ec;
        fs::rename(p, aside, ec);
        if (ec) {
            log("files: cannot move aside " + p.string() + ": " + ec.message());
            return {};
        }
        return aside;
    }
    return {};
}

long long size(const fs::path& p) {
    std::error_code ec;
    if (p.empty() || !fs::is_regular_file(p, ec)) return -1;
    auto n = fs::file_size(p, ec);
    return ec ? -1 : static_cast<long long>(n);
}

}  // namespace files

fs::path bundlePath(const std::string& name, const std::string& type) {
    if (name.empty()) return {};
    std::string file = name;
    if (!type.empty()) {
        std::string suffix = "." + type;
        if (file.size() < suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
            file += suffix;
    }
    fs::path path = bundleRoot() / file;
    std::error_code ec;
    return fs::is_regular_file(path, ec) ? path : fs::path();
}

void setBundleRoot(const fs::path& root) {
    std::lock_guard<std::mutex> lock(pathMutex());
    bundleRootStorage() = root;
}

fs::path bundleRoot() {
    std::lock_guard<std::mutex> lock(pathMutex());
    return bundleRootStorage();
}

}  // namespace foundation
