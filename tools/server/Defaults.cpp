#include "tools/server/StandInServer.h"

namespace standin {

// Each area of the application adds a file Defaults<Area>.cpp with its
// register<Area>Defaults(StandInServer&) and one call here.

void registerDefaults(StandInServer& server) {
    (void)server;
}

}  // namespace standin
