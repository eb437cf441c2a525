#include "core/RequestOutcome.h"

#include "core/BackCodeModel.h"

RequestOutcome RequestOutcome::of(const nlohmann::json& reply, const std::optional<RequestError>& error) {
    if (error) return failedWith(*error);
    // A reply without an envelope (no object, or no rescode that is text or a number) is broken
    // like a body that is no JSON: its "resdes" is nothing to show the driver.
    auto rescode = reply.is_object() ? reply.find("rescode") : reply.end();
    if (rescode == reply.end() || !(rescode->is_string() || rescode->is_number()))
        return failedWith({RequestError::Kind::NotJSON, 0, "no rescode that is text or a number"});
    auto envelope = BackCodeModel::objectWithKeyValues(reply);
    if (envelope->isSuccess()) return answeredWith(envelope->resdes);
    return refusedWith(envelope->rescode, envelope->resdes);
}

RequestOutcome RequestOutcome::answeredWith(std::optional<std::string> resdes) {
    return {Kind::Answered, std::string("200"), std::move(resdes), std::nullopt};
}

RequestOutcome RequestOutcome::refusedWith(std::optional<std::string> rescode, std::optional<std::string> resdes) {
    return {Kind::Refused, std::move(rescode), std::move(resdes), std::nullopt};
}

RequestOutcome RequestOutcome::failedWith(RequestError error) {
    return {Kind::Failed, std::nullopt, std::nullopt, std::move(error)};
}

std::string RequestOutcome::describe() const {
    switch (kind) {
    case Kind::Answered:
        return "answered \"200\"";
    case Kind::Refused: {
        std::string text = rescode ? "refused \"" + *rescode + "\"" : std::string("refused (no rescode)");
        if (resdes && !resdes->empty()) text += " (" + *resdes + ")";
        return text;
    }
    case Kind::Failed: {
        std::string text = "failed (";
        text += error ? ::describe(error->kind) : "no reply";
        if (error && !error->description.empty()) text += ": " + error->description;
        return text + ")";
    }
    }
    return "unknown outcome";
}

const char* describe(RequestOutcome::Kind kind) {
    switch (kind) {
    case RequestOutcome::Kind::Answered: return "answered";
    case RequestOutcome::Kind::Refused: return "refused";
    case RequestOutcome::Kind::Failed: return "failed";
    }
    return "unknown";
}
