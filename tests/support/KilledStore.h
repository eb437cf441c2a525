#pragma once
#include <filesystem>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "platform/foundation/Sandbox.h"
#include "tools/server/StandInServer.h"

// A kill of the application at this moment, as its photos see it: the failed-upload store on
// the disk is copied now (on the main thread, where nothing else moves meanwhile). The test then
// lets the first life end however it will, and restart() puts the disk back as the kill left it
// and starts the store and its retry again on the same sandbox.
class KilledStore {
public:
    KilledStore() {
        std::error_code ec;
        std::filesystem::create_directories(copy_, ec);
        if (std::filesystem::exists(FailedImageStore::directory(), ec))
            std::filesystem::copy(FailedImageStore::directory(), copy_, std::filesystem::copy_options::recursive, ec);
    }
    ~KilledStore() {
        std::error_code ec;
        std::filesystem::remove_all(copy_, ec);
    }
    KilledStore(const KilledStore&) = delete;
    KilledStore& operator=(const KilledStore&) = delete;

    // The next start: the store as the kill left it, opened afresh, and one retry round.
    void restart() {
        std::error_code ec;
        std::filesystem::remove_all(FailedImageStore::directory(), ec);
        std::filesystem::copy(copy_, FailedImageStore::directory(), std::filesystem::copy_options::recursive, ec);
        FailedImageRetry::shared().reset();
        FailedImageStore::resetForTesting();
        FailedImageRetry::shared().round();
    }

    // How often each "imagetype" reached the server among `uploads`.
    static std::map<std::string, int> typesSent(const std::vector<standin::RecordedRequest>& uploads) {
        std::map<std::string, int> types;
        for (const auto& upload : uploads) ++types[upload.param("imagetype").value_or("")];
        return types;
    }

private:
    std::filesystem::path copy_ = foundation::Sandbox::current().root() / ".." /
                                  (foundation::Sandbox::current().root().filename().string() + "-killed");
};
