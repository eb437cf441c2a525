#pragma once
#include <filesystem>
#include <functional>
#include <vector>

#include <nlohmann/json.hpp>

// "failedImage.plist" in the documents directory: the photo uploads that failed and wait for
// the periodic retry. Every reader and writer of the file goes through here, on the main
// thread: each change reads what the file holds now, changes it and writes it whole and
// atomically, so no writer drops records another one left. Records are the key-value
// dictionaries of ImageRequestModel and are compared whole.
class FailedImageStore {
public:
    // Documents/failedImage.plist of the current sandbox.
    static std::filesystem::path path();

    // Adds the record unless an equal one is already waiting. Returns false when the record is
    // not a dictionary of strings, or when the file could not be written; in that case the
    // record is kept in memory and written with the next change.
    static bool addRecord(const nlohmann::json& record);
    // Removes every record equal to `record`. Returns whether one was removed and written.
    static bool removeRecord(const nlohmann::json& record);
    // The waiting records that can be sent (dictionaries of strings), in file order, plus those
    // that could not be written yet. A missing file holds none; a corrupt one is moved aside.
    static std::vector<nlohmann::json> records();

    // Whether an element of the file is a record that can be sent.
    static bool isRecord(const nlohmann::json& element);

    // Sends one record: the sender calls `answered(true)` when the server answered "200" and
    // `answered(false)` (or never calls it) otherwise.
    using Sender = std::function<void(const nlohmann::json& record, std::function<void(bool sent)> answered)>;
    // One retry round: sends every waiting record; a record leaves the file only once its
    // upload was answered "200". Records that fail again, and records added meanwhile, stay.
    // Returns the number of records sent.
    static size_t retry(const Sender& send);

    // Drops what is kept in memory (tests switching sandboxes).
    static void resetForTesting();
};
