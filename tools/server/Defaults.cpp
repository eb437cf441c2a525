#include "tools/server/StandInServer.h"

namespace standin {

// Each area of the application adds a file Defaults<Area>.cpp with its
// register<Area>Defaults(StandInServer&) and one call here.

void registerHomeDefaults(StandInServer& server);
void registerCaptureDefaults(StandInServer& server);
void registerFollowupDefaults(StandInServer& server);
void registerReviewDefaults(StandInServer& server);
void registerFormDefaults(StandInServer& server);
void registerLiabilityDefaults(StandInServer& server);
void registerHistoryDefaults(StandInServer& server);

void registerDefaults(StandInServer& server) {
    registerHomeDefaults(server);
    registerCaptureDefaults(server);
    registerFollowupDefaults(server);
    registerReviewDefaults(server);
    registerFormDefaults(server);
    registerLiabilityDefaults(server);
    registerHistoryDefaults(server);
}

}  // namespace standin
