#pragma once
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "core/RequestClient.h"

// How one server operation ended, handed to its block together with the result:
// - answered: the server replied with the envelope rescode "200";
// - refused:  the server replied with a JSON object whose rescode (text or a number, read as
//             BackCodeModel reads it) is anything else;
// - failed:   no usable reply arrived (connection, time-out, HTTP status, a body that is not a
//             JSON object, or an object without a rescode that is text or a number: a broken
//             reply whose "resdes" is never shown); `error` says why.
struct RequestOutcome {
    enum class Kind { Answered, Refused, Failed };

    Kind kind = Kind::Failed;
    std::optional<std::string> rescode;  // the reply's rescode as text (answered, refused)
    std::optional<std::string> resdes;   // the reply's resdes (answered, refused)
    std::optional<RequestError> error;   // the transport failure (failed)

    // Classifies what the HTTP client delivered: the reply object, or the transport failure.
    static RequestOutcome of(const nlohmann::json& reply, const std::optional<RequestError>& error);
    static RequestOutcome answeredWith(std::optional<std::string> resdes = std::nullopt);
    static RequestOutcome refusedWith(std::optional<std::string> rescode, std::optional<std::string> resdes);
    static RequestOutcome failedWith(RequestError error);

    bool answered() const { return kind == Kind::Answered; }
    bool refused() const { return kind == Kind::Refused; }
    bool failed() const { return kind == Kind::Failed; }

    // One line for the log: `answered "200"`, `refused "500" (案件不存在)`,
    // `failed (connection failed: ...)`.
    std::string describe() const;
};

const char* describe(RequestOutcome::Kind kind);
