#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Key-value mapping between JSON dictionaries and models.
//
// A model derives from KeyValueObject<Model> and declares its properties once:
//
//     const std::vector<keyvalue::Property<InsuranceCompany>>& InsuranceCompany::keyValueProperties() {
//         static const std::vector<keyvalue::Property<InsuranceCompany>> p = {
//             keyvalue::string("inscomname", &InsuranceCompany::inscomname), ...};
//         return p;
//     }
//
// JSON keys equal property names. Reading a dictionary: keys without a property are ignored,
// missing keys leave the property nil, a number for a string property becomes its decimal text
// (true/false become "1"/"0"), and a value of any other kind (an object or array where a string
// is expected, null) leaves the property nil. Writing: nil properties are left out.
namespace keyvalue {

// The text of a JSON value for a string property, or nullopt when it is not a string or number.
std::optional<std::string> stringFromJson(const nlohmann::json& value);

template <class T>
struct Property {
    std::string name;
    // Sets the property from a value present in the dictionary (wrong kinds leave it nil).
    std::function<void(T&, const nlohmann::json&)> assign;
    // The property as JSON; null when nil (then the key is left out).
    std::function<nlohmann::json(const T&)> value;
};

// A string property.
template <class T>
Property<T> string(const std::string& name, std::optional<std::string> T::*member) {
    return {name,
            [member](T& object, const nlohmann::json& v) { object.*member = stringFromJson(v); },
            [member](const T& object) -> nlohmann::json {
                const auto& s = object.*member;
                return s ? nlohmann::json(*s) : nlohmann::json();
            }};
}

// A JSON array kept as it came (arrays of dictionaries pass through unchanged).
template <class T>
Property<T> array(const std::string& name, std::optional<nlohmann::json> T::*member) {
    return {name,
            [member](T& object, const nlohmann::json& v) {
                object.*member = v.is_array() ? std::optional<nlohmann::json>(v) : std::nullopt;
            },
            [member](const T& object) -> nlohmann::json {
                const auto& a = object.*member;
                return a ? *a : nlohmann::json();
            }};
}

// An array of models: each dictionary element becomes one model (other elements are skipped);
// written back as the array of the models' dictionaries.
template <class T, class M>
Property<T> models(const std::string& name, std::optional<std::vector<std::shared_ptr<M>>> T::*member) {
    return {name,
            [member](T& object, const nlohmann::json& v) { object.*member = M::objectArrayWithKeyValuesArray(v); },
            [member](const T& object) -> nlohmann::json {
                const auto& list = object.*member;
                if (!list) return nullptr;
                nlohmann::json out = nlohmann::json::array();
                for (const auto& m : *list) out.push_back(m ? m->keyValues() : nlohmann::json::object());
                return out;
            }};
}

}  // namespace keyvalue

// The mapping operations every model offers. `T` provides
// `static const std::vector<keyvalue::Property<T>>& keyValueProperties();`
template <class T>
class KeyValueObject {
public:
    // The model as a dictionary keyed by its property names; nil properties are left out.
    nlohmann::json keyValues() const {
        nlohmann::json out = nlohmann::json::object();
        for (const auto& p : T::keyValueProperties()) {
            nlohmann::json v = p.value(static_cast<const T&>(*this));
            if (!v.is_null()) out[p.name] = std::move(v);
        }
        return out;
    }

    // Sets every property whose key the dictionary holds; others keep their value.
    // Anything but a JSON object changes nothing.
    void setKeyValues(const nlohmann::json& dict) {
        if (!dict.is_object()) return;
        for (const auto& p : T::keyValueProperties()) {
            auto it = dict.find(p.name);
            if (it != dict.end()) p.assign(static_cast<T&>(*this), *it);
        }
    }

    // A new model from a dictionary (a model with every property nil for anything but an object).
    static std::shared_ptr<T> objectWithKeyValues(const nlohmann::json& dict) {
        auto object = std::make_shared<T>();
        object->setKeyValues(dict);
        return object;
    }

    // One model per dictionary element of the array, in order (other elements are skipped);
    // nullopt when the argument is not an array.
    static std::optional<std::vector<std::shared_ptr<T>>> objectArrayWithKeyValuesArray(const nlohmann::json& array) {
        if (!array.is_array()) return std::nullopt;
        std::vector<std::shared_ptr<T>> out;
        out.reserve(array.size());
        for (const auto& element : array)
            if (element.is_object()) out.push_back(objectWithKeyValues(element));
        return out;
    }

    // The declared property names, in declaration order.
    static std::vector<std::string> propertyNames() {
        std::vector<std::string> names;
        for (const auto& p : T::keyValueProperties()) names.push_back(p.name);
        return names;
    }
};
