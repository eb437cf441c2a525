#pragma once
#include <map>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "core/BaseViewController.h"

// The one stand-in for a screen that a test does not look into: it answers to the class name
// it was made under and keeps what its opener handed it, the values as JSON and the objects
// a test compares by identity (a record handed on) by name.
class NamedTestScreen : public BaseViewController {
public:
    explicit NamedTestScreen(std::string name, nlohmann::json handed = nullptr)
        : arguments(std::move(handed)), name_(std::move(name)) {}
    std::string className() const override { return name_; }

    // A handed true/false value (false when absent or of another kind).
    bool flag(const std::string& key) const {
        return arguments.is_object() && arguments.contains(key) && arguments[key].is_boolean() && arguments[key].get<bool>();
    }
    // A handed object, or null.
    template <class T>
    std::shared_ptr<T> object(const std::string& key) const {
        auto it = objects.find(key);
        return it == objects.end() ? nullptr : std::static_pointer_cast<T>(it->second);
    }
    bool handed(const std::string& key) const { return objects.count(key) > 0; }

    nlohmann::json arguments;
    std::map<std::string, std::shared_ptr<void>> objects;

private:
    std::string name_;
};
