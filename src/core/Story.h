#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/AccidentPhoto.h"
#include "core/CaseCar.h"
#include "core/KeyValue.h"
#include "core/KeyedArchiver.h"

// One past or running accident case as the server reports it ("historycase" list entries,
// "historycasedetail" reply). JSON keys are the property names.
class Story : public KeyValueObject<Story> {
public:
    std::optional<std::string> casetype;     // "0" single car, "1" two cars, "2" several cars
    std::optional<std::string> state;        // processing state code, read as an integer
    std::optional<std::string> casecarno;
    std::optional<std::string> accidentno;
    std::optional<std::string> casenumber;   // key of the detail look-up
    // The case's vehicles. Entries of a list reply are mapped by their keys too, so a record
    // from either reply reads the same way.
    std::optional<std::vector<std::shared_ptr<CaseCar>>> casecarlist;
    // The evidence photos; the detail reply fills them from its "accidentimagelist".
    std::optional<std::vector<std::shared_ptr<AccidentPhoto>>> accidentimageList;
    std::optional<std::string> caseaddress;
    std::optional<std::string> inscompany;
    std::optional<std::string> cpsmoney;
    std::optional<std::string> resbookimgurl;
    std::optional<nlohmann::json> insuranceimagelist;  // array, kept as it came
    std::optional<std::string> acctype;
    std::optional<std::string> reportime;
    std::optional<std::string> inscomname;
    std::optional<std::string> inscomcode;
    std::optional<std::string> instel;
    std::optional<std::string> insreporttel;

    Story() = default;
    // Reads the 16 archived fields; `instel` and `insreporttel` are not archived.
    explicit Story(const Coder& coder);
    void encodeWithCoder(Coder& coder) const;
    static constexpr const char* kClassName = "Story";

    // The record of a "historycasedetail" reply: the whole reply mapped by name, then
    // `accidentimageList` from "accidentimagelist" and `casecarlist` from "casecarlist" (each an
    // empty list when the reply has no such array).
    static std::shared_ptr<Story> storyWithDetailReply(const nlohmann::json& reply);

    static const std::vector<keyvalue::Property<Story>>& keyValueProperties();
};
