#pragma once
#include <filesystem>
#include <optional>
#include <string>

// The case material directory "CaseMaterial" in the documents directory (voice files of the
// case chat). File names are used unchanged, but a name that would leave the directory (one
// containing "/" or "\0", empty, "." or "..") is refused: names arrive from push messages and
// download replies.
class FileAccess {
public:
    FileAccess() = default;

    static constexpr const char* kDirectoryName = "CaseMaterial";
    // The directory, created when missing.
    static std::filesystem::path directory();
    // Whether the name stays inside the directory.
    static bool isAcceptableName(const std::string& name);

    // The full path of the name inside the directory (created when missing); nullopt for a
    // refused name.
    std::optional<std::string> getFileByFileName(const std::string& name) const;
    // Whether a file of that name exists there (false for a refused name).
    bool isFileExists(const std::string& name) const;
    // Removes the file of that name there; false when it did not exist, could not be removed,
    // or the name is refused.
    bool deleteFile(const std::string& name) const;
};
