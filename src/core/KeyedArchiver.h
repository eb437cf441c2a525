#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The values of one archived object, keyed by name. A model that archives has
// `void encodeWithCoder(Coder&) const` and a constructor `explicit Model(const Coder&)`.
class Coder {
public:
    Coder() = default;
    explicit Coder(nlohmann::json values) : values_(values.is_object() ? std::move(values) : nlohmann::json::object()) {}

    // A nil string is left out, so it decodes as nil.
    void encodeObject(const std::string& key, const std::optional<std::string>& value) {
        if (value) values_[key] = *value;
    }
    void encodeObject(const std::string& key, const std::optional<nlohmann::json>& value) {
        if (value && !value->is_null()) values_[key] = *value;
    }
    template <class M>
    void encodeObject(const std::string& key, const std::optional<std::vector<std::shared_ptr<M>>>& list) {
        if (!list) return;
        nlohmann::json out = nlohmann::json::array();
        for (const auto& m : *list) {
            Coder c;
            if (m) m->encodeWithCoder(c);
            out.push_back(c.values());
        }
        values_[key] = std::move(out);
    }

    // A string stored under the key; nil when absent or of another kind.
    std::optional<std::string> decodeStringForKey(const std::string& key) const {
        auto it = values_.find(key);
        if (it == values_.end() || !it->is_string()) return std::nullopt;
        return it->get<std::string>();
    }
    std::optional<nlohmann::json> decodeObjectForKey(const std::string& key) const {
        auto it = values_.find(key);
        if (it == values_.end()) return std::nullopt;
        return *it;
    }
    template <class M>
    std::optional<std::vector<std::shared_ptr<M>>> decodeObjectsForKey(const std::string& key) const {
        auto it = values_.find(key);
        if (it == values_.end() || !it->is_array()) return std::nullopt;
        std::vector<std::shared_ptr<M>> out;
        for (const auto& element : *it) out.push_back(std::make_shared<M>(Coder(element)));
        return out;
    }

    bool containsValueForKey(const std::string& key) const { return values_.contains(key); }
    const nlohmann::json& values() const { return values_; }

private:
    nlohmann::json values_ = nlohmann::json::object();
};

// Archives of one root object as XML property lists: {"$class": name, "$root": values}.
class KeyedArchiver {
public:
    template <class T>
    static std::string archivedDataWithRootObject(const T& object, const std::string& className) {
        Coder c;
        object.encodeWithCoder(c);
        return archiveText(className, c.values());
    }
    // Written whole and atomically.
    template <class T>
    static bool archiveRootObject(const T& object, const std::string& className, const std::filesystem::path& path) {
        Coder c;
        object.encodeWithCoder(c);
        return writeArchive(path, className, c.values());
    }
    // nullptr when the data is not an archive of that class (missing, corrupt, other class).
    template <class T>
    static std::shared_ptr<T> unarchiveObjectWithData(const std::string& data, const std::string& className) {
        auto values = rootValues(parseArchive(data), className);
        return values ? std::make_shared<T>(Coder(*values)) : nullptr;
    }
    template <class T>
    static std::shared_ptr<T> unarchiveObjectWithFile(const std::filesystem::path& path, const std::string& className) {
        auto values = rootValues(readArchive(path), className);
        return values ? std::make_shared<T>(Coder(*values)) : nullptr;
    }

    static std::string archiveText(const std::string& className, const nlohmann::json& values);
    static bool writeArchive(const std::filesystem::path& path, const std::string& className,
                             const nlohmann::json& values);
    static std::optional<nlohmann::json> parseArchive(const std::string& data);
    static std::optional<nlohmann::json> readArchive(const std::filesystem::path& path);
    static std::optional<nlohmann::json> rootValues(const std::optional<nlohmann::json>& archive,
                                                    const std::string& className);
};
