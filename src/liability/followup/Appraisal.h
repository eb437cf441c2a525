#pragma once
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// The rating being built on the rating screen.
class Appraisal {
public:
    std::optional<std::string> userid;
    std::optional<std::string> accidentno;
    std::optional<std::string> carno;
    // The suggestion text.
    std::optional<std::string> personevaluate;
    // The grade code "0" to "3".
    std::optional<std::string> personescord;
    // The chosen reason's code, unset when none.
    std::optional<std::string> reasoncode;

    // The "evaluationInfo" request: every set property under its own name, the suggestion
    // percent-escaped as UTF-8, plus "appkey" and "sn" (the signature of `userid`). Unset
    // values leave their keys out.
    nlohmann::json toparams() const;
};
