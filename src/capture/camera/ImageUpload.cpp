#include "capture/camera/ImageUpload.h"

#include "core/AppConfig.h"
#include "core/FailedImageStore.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Log.h"

namespace {

const char* const kSingleCarCodes[] = {"1", "2", "3", "6", "7"};

}  // namespace

std::string ImageUpload::singleCarImageType(std::size_t count) { return kSingleCarCodes[count < 5 ? count : 4]; }

std::string ImageUpload::multiCarImageType(std::size_t& count, std::size_t& secondcount) {
    std::string code;
    if (count < 9) {
        code = std::to_string(count + 1);
    } else {
        code = kSingleCarCodes[secondcount < 5 ? secondcount : 4];
        ++secondcount;
    }
    ++count;
    if (secondcount >= 5) secondcount = 0;
    return code;
}

std::shared_ptr<ImageRequestModel> ImageUpload::recordWithShot(const std::string& contentdata,
                                                               const std::string& imagetype) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto record = std::make_shared<ImageRequestModel>();
    record->userid = state.userid();
    record->sn = state.sn();
    record->appkey = AppConfig::appKey();
    record->accidentno = state.accidentno();
    record->imagename = StringExtension::imageNameWithCurrentDate();
    record->contentdata = contentdata;
    record->imagetype = imagetype;
    record->imagelon = state.longitude();
    record->imagelat = state.latitude();
    record->imagedate = StringExtension::stringWithCurrenDate();
    record->size = "30";
    record->flowtype = "0";
    return record;
}

bool ImageUpload::isFailedUpload(const nlohmann::json& reply, const std::optional<RequestError>& error) {
    if (error) return true;
    if (!reply.is_object()) return true;
    auto it = reply.find("rescode");
    if (it == reply.end()) return true;
    if (it->is_string()) return it->get<std::string>() != "200";
    if (it->is_number_integer()) return it->get<long long>() != 200;
    return true;
}

void ImageUpload::send(const std::shared_ptr<ImageRequestModel>& record, std::function<void(bool sent)> done) {
    if (!record) return;
    nlohmann::json params = record->keyValues();
    // The operation "image" of the API client calls nobody for an answer other than "200"; such
    // a photo would be lost, so the reply is judged here and kept for the retry like a
    // transport failure.
    RequestManager::shareRequestManager().client()->POST(
        "image", params, [params, done](const nlohmann::json& reply, const std::optional<RequestError>& error) {
            bool failed = isFailedUpload(reply, error);
            if (failed) {
                std::string why = error ? error->description
                                        : reply.is_object() && reply.contains("rescode") ? "rescode " + reply["rescode"].dump()
                                                                                          : std::string("no rescode");
                foundation::log("image upload failed (" + why + "); kept for the retry");
                FailedImageStore::addRecord(params);
            }
            if (done) done(!failed);
        });
}
