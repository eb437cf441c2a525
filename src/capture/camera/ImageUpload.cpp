#include "capture/camera/ImageUpload.h"

#include "core/AppConfig.h"
#include "core/CaseInProgress.h"
#include "core/FailedImageRetry.h"
#include "core/FailedImageStore.h"
#include "core/RequestManager.h"
#include "core/StringExtension.h"
#include "core/UserDateSingleton.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

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
                                                               const std::optional<std::string>& imagetype) {
    auto& state = UserDateSingleton::shareUserDateInstance();
    auto record = std::make_shared<ImageRequestModel>();
    record->userid = state.userid();
    record->sn = state.sn();
    record->appkey = AppConfig::appKey();
    record->accidentno = CaseInProgress::number();
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
    // Stored before the upload starts: whatever happens to the upload or the process, the photo
    // waits in the store until the server answered "200".
    auto stored = store(record);
    if (!stored) {
        if (done) foundation::dispatch::mainQueue()->async([done] { done(false); });
        return;
    }
    sendStored(*stored, std::move(done));
}

std::optional<ImageUpload::Stored> ImageUpload::store(const std::shared_ptr<ImageRequestModel>& record) {
    if (!record) return std::nullopt;
    nlohmann::json params = record->keyValues();
    auto id = FailedImageStore::add(params);
    if (!id) {
        foundation::log("image upload: the record is not an upload record; not sent");
        return std::nullopt;
    }
    return Stored{*id, std::move(params)};
}

void ImageUpload::sendStored(const Stored& stored, std::function<void(bool sent)> done) {
    FailedImageRetry::shared().sendStored(stored.id, stored.params, [done](FailedImageRetry::Answer answer) {
        if (done) done(answer == FailedImageRetry::Answer::Accepted);
    });
}
