#pragma once
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace foundation {

// The directories of one installation. The program (or a test) chooses the root at start.
class Sandbox {
public:
    static Sandbox& current();
    // Makes `root` the installation and creates its directories; the root and its standard
    // directories are made (or set back to) 0700.
    static void setRoot(const std::filesystem::path& root);
    // Makes a fresh temporary installation (tests) and returns its root.
    static std::filesystem::path makeTemporary(const std::string& prefix = "veskard");

    std::filesystem::path root() const;
    std::filesystem::path documents() const;      // Documents
    std::filesystem::path caches() const;         // Library/Caches
    std::filesystem::path preferences() const;    // Library/Preferences
    std::filesystem::path tmp() const;            // tmp
    std::filesystem::path photos() const;         // Photos (the photo album)

private:
    std::filesystem::path root_;
};

// File helpers. None of them throws. What the installation stores (the account, the vehicle
// list, voice messages, photos) is for its user alone: the files they create are readable and
// writable by the owner only (0600), the directories open to the owner only (0700).
namespace files {
constexpr unsigned kFileMode = 0600;
constexpr unsigned kDirectoryMode = 0700;

bool exists(const std::filesystem::path& p);
bool remove(const std::filesystem::path& p);
// Creates the missing directories of the path (0700); those that exist keep their mode.
bool createDirectories(const std::filesystem::path& p);
// Opens the file with the stdio mode ("wb", "ab"...), creating it 0600 when missing; null on
// failure.
std::FILE* openPrivately(const std::filesystem::path& p, const char* mode);
// Writes the whole file (0600) beside the target, flushes it to the disk, renames it over the
// target and flushes the directory.
bool writeAtomically(const std::filesystem::path& p, const std::string& bytes);
// Gives the file `from` (already on the disk) the second name `to` in the same file system, in
// place of what `to` named: a hard link made beside the target and renamed over it, then the
// file and the new name's directory flushed to the disk. False, with nothing changed, when the
// file system cannot link them (the caller then writes a copy).
bool linkAtomically(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes the temporary files that writes of other (ended) processes left in `dir` when they
// were killed between writing and renaming. Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& dir);
// Flushes a directory's entries (a rename or unlink inside it) to the disk.
bool syncDirectory(const std::filesystem::path& dir);
std::optional<std::string> read(const std::filesystem::path& p);
// Moves a file aside (name plus ".corrupt-<n>"); returns the new path, or empty on failure.
std::filesystem::path moveAside(const std::filesystem::path& p);
long long size(const std::filesystem::path& p);  // -1 when missing
}  // namespace files

// The application bundle (resources/): the path of a resource, or empty when missing.
std::filesystem::path bundlePath(const std::string& name, const std::string& type = "");
void setBundleRoot(const std::filesystem::path& root);
std::filesystem::path bundleRoot();

}  // namespace foundation
