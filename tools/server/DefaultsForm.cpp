#include "tools/server/StandInServer.h"

namespace standin {

// "accidentcarinfo": the parties of a case are taken as sent ("200"); the last list of each
// case is kept under data["cases"][number]["casecarlist"].
void registerFormDefaults(StandInServer& server) {
    server.registerDefault("accidentcarinfo", [&server](const RecordedRequest& request) {
        auto number = request.param("accidentno");
        if (number && request.body.is_object() && request.body.contains("casecarlist")) {
            auto list = request.body["casecarlist"];
            server.withState([&](SimulatedState& state) { state.data["cases"][*number]["casecarlist"] = list; });
        }
        return Reply::rescode("200", "成功");
    });
}

}  // namespace standin
