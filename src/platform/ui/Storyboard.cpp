#include "platform/ui/Storyboard.h"

#include <map>

#include "platform/foundation/Log.h"

namespace ui {

namespace {
struct Entry {
    Storyboard::Factory initial;
    std::map<std::string, Storyboard::Factory> byIdentifier;
};
std::map<std::string, Entry>& registry() {
    static std::map<std::string, Entry> r;
    return r;
}
}  // namespace

void Storyboard::registerFactory(const std::string& storyboardName, Factory initial) {
    registry()[storyboardName].initial = std::move(initial);
}

void Storyboard::registerFactory(const std::string& storyboardName, const std::string& identifier, Factory factory) {
    registry()[storyboardName].byIdentifier[identifier] = std::move(factory);
}

bool Storyboard::isRegistered(const std::string& storyboardName) {
    return registry().count(storyboardName) > 0;
}

std::shared_ptr<Storyboard> Storyboard::storyboardWithName(const std::string& name) {
    if (!isRegistered(name)) {
        foundation::log("storyboard \"" + name + "\" is not registered");
        return nullptr;
    }
    return std::make_shared<Storyboard>(name);
}

void Storyboard::reset() {
    registry().clear();
}

std::shared_ptr<ViewController> Storyboard::instantiateInitialViewController() const {
    auto it = registry().find(name_);
    if (it == registry().end() || !it->second.initial) return nullptr;
    return it->second.initial();
}

std::shared_ptr<ViewController> Storyboard::instantiateViewControllerWithIdentifier(const std::string& identifier) const {
    auto it = registry().find(name_);
    if (it == registry().end()) return nullptr;
    auto f = it->second.byIdentifier.find(identifier);
    if (f == it->second.byIdentifier.end() || !f->second) return nullptr;
    return f->second();
}

}  // namespace ui
