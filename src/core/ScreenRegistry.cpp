#include "core/ScreenRegistry.h"

#include <map>
#include <mutex>
#include <stdexcept>

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
        foundation::log("ScreenRegistry: no screen registered as " + className);
        return nullptr;
    }
    std::shared_ptr<ui::ViewController> screen;
    try {
        screen = factory(arguments);
    } catch (const std::exception& e) {
        foundation::log("ScreenRegistry: the factory of " + className + " failed: " + e.what());
        return nullptr;
    }
    if (!screen) foundation::log("ScreenRegistry: the factory of " + className + " made no screen");
    return screen;
}

std::vector<std::string> ScreenRegistry::registeredNames() {
    std::lock_guard lock(registryMutex());
    std::vector<std::string> names;
    for (const auto& [name, factory] : factories()) names.push_back(name);
    return names;
}

void ScreenRegistry::reset() {
    std::lock_guard lock(registryMutex());
    factories().clear();
}
