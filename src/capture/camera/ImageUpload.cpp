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
    return !RequestOutcome::of(reply, error).answered();
}

void ImageUpload::send(const std::shared_ptr<ImageRequestModel>& record, std::function<void(bool sent)> done) {
    if (!record) return;
    nlohmann::json params = record->keyValues();
    // Any outcome but "200" keeps the photo for the retry.
    RequestManager::shareRequestManager().request_image_WithParams(
        params, [params, done](const std::shared_ptr<BackCodeModel>&, const RequestOutcome& outcome) {
            bool failed = !outcome.answered();
            if (failed) {
                foundation::log("image upload " + outcome.describe() + "; kept for the retry");
                FailedImageStore::addRecord(params);
            }
            if (done) done(!failed);
        });
}
