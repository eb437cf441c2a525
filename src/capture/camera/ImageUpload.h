#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/ImageRequestModel.h"
#include "core/RequestClient.h"

// The upload of one evidence shot: the record sent with "image", the step code of each shot,
// the failure test and the keeping of every upload in the FailedImageStore until it is answered.
//
// A capture flow counts the shots the camera hands back (counters reset whenever its screen is
// about to appear) and, for each shot:
//   auto record = ImageUpload::recordWithShot(shot, ImageUpload::singleCarImageType(count++));
//   ImageUpload::send(record);
class ImageUpload {
public:
    // Single car: shot number 0..4 gives "1", "2", "3", "6", "7" (later shots repeat "7").
    static std::string singleCarImageType(std::size_t count);
    // Two or more cars: the first nine shots "1" to "9", then "1", "2", "3", "6", "7" for each
    // further car. Reads and advances both counters.
    static std::string multiCarImageType(std::size_t& count, std::size_t& secondcount);

    // A complete record: the user state's userid, sn, accidentno, longitude and latitude, the
    // application key, the image name and date of now, "size" "30", "flowtype" "0", the shot
    // as contentdata and the step code (an unknown code is left out, as every unset field).
    // Callable from any thread.
    static std::shared_ptr<ImageRequestModel> recordWithShot(const std::string& contentdata,
                                                             const std::optional<std::string>& imagetype);

    // An upload failed when it failed in transport or the server answered anything but "200".
    static bool isFailedUpload(const nlohmann::json& reply, const std::optional<RequestError>& error);

    // Stores the record's key-value dictionary in the FailedImageStore, durably, then posts it
    // to "image"; the record leaves the store when the server answered "200" (`done(true)`).
    // Otherwise (`done(false)`) it stays for the retry, a refused one with its wait. `done`
    // runs on the main thread. Callable from any thread.
    static void send(const std::shared_ptr<ImageRequestModel>& record, std::function<void(bool sent)> done = nullptr);

    // send() in two halves, for a shot that must be kept before it is shown as taken: store()
    // keeps the record durably in the FailedImageStore (nullopt when it is no upload record),
    // sendStored() posts what store() kept, as send() does. A record stored and never sent
    // waits for the retry.
    struct Stored {
        std::uint64_t id = 0;
        nlohmann::json params;
    };
    static std::optional<Stored> store(const std::shared_ptr<ImageRequestModel>& record);
    static void sendStored(const Stored& stored, std::function<void(bool sent)> done = nullptr);
};
