#include "core/FileAccess.h"

#include <system_error>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

std::filesystem::path FileAccess::directory() {
    auto dir = foundation::Sandbox::current().documents() / kDirectoryName;
    foundation::files::createDirectories(dir);
    return dir;
}

bool FileAccess::isAcceptableName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

std::optional<std::string> FileAccess::getFileByFileName(const std::string& name) const {
    if (!isAcceptableName(name)) {
        foundation::log("FileAccess: refused file name \"" + name + "\"");
        return std::nullopt;
    }
    return (directory() / name).string();
}

bool FileAccess::isFileExists(const std::string& name) const {
    auto path = getFileByFileName(name);
    return path && foundation::files::exists(*path);
}

bool FileAccess::deleteFile(const std::string& name) const {
    auto path = getFileByFileName(name);
    if (!path) return false;
    std::error_code ec;
    bool removed = std::filesystem::remove(*path, ec);
    if (ec) foundation::log("FileAccess: cannot remove " + *path + ": " + ec.message());
    return removed && !ec;
}
