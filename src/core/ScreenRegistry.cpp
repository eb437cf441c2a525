#include "core/ScreenRegistry.h"

#include <limits>
#include <map>
#include <mutex>

#include "platform/foundation/Log.h"

namespace {
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, ScreenRegistry::Factory>& factories() {
    static std::map<std::string, ScreenRegistry::Factory> f;
    return f;
}
}  // namespace

// ---- ScreenArguments -------------------------------------------------------------------------

ScreenArguments::ScreenArguments(std::string screen, const nlohmann::json& arguments)
    : screen_(std::move(screen)), arguments_(arguments) {
    if (!arguments_.is_null() && !arguments_.is_object()) fail("the arguments are not a dictionary");
}

void ScreenArguments::fail(const std::string& what) const { throw ScreenArgumentError(screen_ + ": " + what); }

ScreenArguments ScreenArguments::listing(std::string screen) {
    ScreenArguments arguments(std::move(screen), nullptr);
    arguments.listing_ = true;
    return arguments;
}

void ScreenArguments::describe(const std::string& key, const char* kind, bool required, std::string fallback) const {
    for (const auto& d : described_) {
        if (d.key == key) return;
    }
    described_.push_back({key, kind, required, std::move(fallback)});
}

const nlohmann::json* ScreenArguments::find(const std::string& key) const {
    read_.insert(key);
    if (!arguments_.is_object()) return nullptr;
    auto it = arguments_.find(key);
    return it == arguments_.end() ? nullptr : &*it;
}

std::string ScreenArguments::text(const std::string& key) const {
    if (listing_) {
        describe(key, "text", true);
        return "";
    }
    const auto* value = find(key);
    if (!value) fail("the argument \"" + key + "\" is missing");
    if (!value->is_string()) fail("the argument \"" + key + "\" is not a text: " + value->dump());
    return value->get<std::string>();
}

std::optional<std::string> ScreenArguments::optionalText(const std::string& key) const {
    if (listing_) {
        describe(key, "text", false, "none");
        return std::nullopt;
    }
    const auto* value = find(key);
    if (!value || value->is_null()) return std::nullopt;
    if (!value->is_string()) fail("the argument \"" + key + "\" is not a text: " + value->dump());
    return value->get<std::string>();
}

bool ScreenArguments::flag(const std::string& key, std::optional<bool> fallback) const {
    if (listing_) {
        describe(key, "flag", !fallback, fallback ? (*fallback ? "true" : "false") : "");
        return fallback.value_or(false);
    }
    const auto* value = find(key);
    if (!value) {
        if (fallback) return *fallback;
        fail("the argument \"" + key + "\" is missing");
    }
    if (!value->is_boolean()) fail("the argument \"" + key + "\" is not true or false: " + value->dump());
    return value->get<bool>();
}

CaseMode ScreenArguments::caseMode(const std::string& key, std::optional<CaseMode> fallback) const {
    if (listing_) {
        describe(key, "practice flag", !fallback, fallback ? std::to_string(practiceFlag(*fallback)) : "");
        return fallback.value_or(CaseMode::Practice);
    }
    const auto* value = find(key);
    if (!value) {
        if (fallback) return *fallback;
        fail("the practice flag \"" + key + "\" is missing");
    }
    if (value->is_number_integer() && !value->is_number_float()) {
        auto number = value->get<long long>();
        if (number == 1) return CaseMode::Real;
        if (number == 0) return CaseMode::Practice;
    }
    fail("the practice flag \"" + key + "\" is neither 1 nor 0: " + value->dump());
}

nlohmann::json ScreenArguments::dictionary(const std::string& key, bool required) const {
    if (listing_) {
        describe(key, "dictionary", required, required ? "" : "none");
        return required ? nlohmann::json::object() : nlohmann::json();
    }
    const auto* value = find(key);
    if (!value || value->is_null()) {
        if (required) fail("the argument \"" + key + "\" is missing");
        return nullptr;
    }
    if (!value->is_object()) fail("the argument \"" + key + "\" is not a dictionary: " + value->dump());
    return *value;
}

nlohmann::json ScreenArguments::any(const std::string& key) const {
    if (listing_) {
        describe(key, "any", false, "none");
        return nullptr;
    }
    const auto* value = find(key);
    return value ? *value : nlohmann::json();
}

nlohmann::json ScreenArguments::all() const {
    if (arguments_.is_object()) {
        for (const auto& [key, value] : arguments_.items()) read_.insert(key);
    }
    return arguments_;
}

void ScreenArguments::finish() const {
    if (!arguments_.is_object()) return;
    for (const auto& [key, value] : arguments_.items()) {
        if (!read_.count(key)) fail("unknown argument \"" + key + "\"");
    }
}

// ---- ScreenRegistry --------------------------------------------------------------------------

void ScreenRegistry::registerFactory(const std::string& className, Factory factory) {
    std::lock_guard lock(registryMutex());
    if (factory)
        factories()[className] = std::move(factory);
    else
        factories().erase(className);
}

void ScreenRegistry::unregisterFactory(const std::string& className) {
    std::lock_guard lock(registryMutex());
    factories().erase(className);
}

bool ScreenRegistry::isRegistered(const std::string& className) {
    std::lock_guard lock(registryMutex());
    return factories().count(className) > 0;
}

std::shared_ptr<ui::ViewController> ScreenRegistry::make(const std::string& className, const nlohmann::json& arguments) {
    Factory factory;
    {
        std::lock_guard lock(registryMutex());
        auto it = factories().find(className);
        if (it != factories().end()) factory = it->second;
    }
    if (!factory) {
        foundation::logError("no screen is registered as " + className);
        return nullptr;
    }
    std::shared_ptr<ui::ViewController> screen;
    try {
        ScreenArguments reader(className, arguments);
        screen = factory(reader);
        if (screen) reader.finish();
    } catch (const std::exception& e) {
        foundation::logError(std::string("cannot open ") + className + ": " + e.what());
        return nullptr;
    }
    if (!screen) foundation::logError("the factory of " + className + " made no screen");
    return screen;
}

std::vector<std::string> ScreenRegistry::registeredNames() {
    std::lock_guard lock(registryMutex());
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories()) names.push_back(name);
    return names;
}

std::vector<ScreenArguments::Described> ScreenRegistry::argumentsOf(const std::string& className) {
    Factory factory;
    {
        std::lock_guard lock(registryMutex());
        auto it = factories().find(className);
        if (it != factories().end()) factory = it->second;
    }
    if (!factory) return {};
    auto reader = ScreenArguments::listing(className);
    try {
        factory(reader);  // the screen it makes is dropped
    } catch (const std::exception&) {
        // A factory that checks a value further stops there: what it read so far is listed.
    }
    return reader.described();
}

void ScreenRegistry::reset() {
    std::lock_guard lock(registryMutex());
    factories().clear();
}
