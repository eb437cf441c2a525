#pragma once
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/InsuranceCompany.h"

// The insurer lists the case screens pick from: "insurance.plist", a property-list array of
// insurer dictionaries. The Documents file is the real list (the home page refreshes it from
// the server); the bundle's file of the same name is the practice list.
namespace InsurerList {

inline constexpr const char* kFileName = "insurance.plist";

// One record per dictionary of the array, in order; other entries are skipped and anything but
// an array gives none.
std::vector<std::shared_ptr<InsuranceCompany>> companiesFromList(const nlohmann::json& list);

// Documents/insurance.plist. Empty when the file is missing, unreadable, empty or not a list
// (the last two are logged under `reader`).
std::vector<std::shared_ptr<InsuranceCompany>> stored(const std::string& reader);

// The bundle's insurance.plist; empty (and logged under `reader`) when it cannot be read.
std::vector<std::shared_ptr<InsuranceCompany>> bundled(const std::string& reader);

}  // namespace InsurerList
