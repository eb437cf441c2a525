#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The photo uploads that wait to be answered "200": every shot's upload record is stored here
// before its upload starts and leaves only once the server answered "200", so that a quit or a
// crash at any moment loses no photo.
//
// Storage: one file per record in the directory "failedImage" of the documents directory,
// named "<sequence>-<digest>.json" (both 16 hex digits). A record file holds the record's
// key-value dictionary as JSON text, written beside and renamed into place with the file and
// the directory flushed to the disk; removing a record unlinks its file and flushes the
// directory. Adding or removing a record therefore touches only that record, whatever the
// number waiting, and only the small index (sequence, digest, file name) is kept in memory;
// a photo is read when it is sent. The digest in the name is that of the record's text: a file
// that does not match it (damaged on the disk, cut short) is moved aside and the other records
// stay. Equal records share a digest and are stored once.
//
// "failedImage.plist" (an array of records, as earlier versions kept them) is taken over when
// the store is first opened: every intact record it holds joins the store, then the file is
// removed, or moved aside when parts of it could not be read. Leftover temporary files of
// writes interrupted by a kill are removed then too.
//
// Callable from any thread; the calls are serialised.
class FailedImageStore {
public:
    using Id = std::uint64_t;

    // Documents/failedImage.plist of the current sandbox: the file earlier versions kept.
    static std::filesystem::path path();
    // Documents/failedImage of the current sandbox: the store.
    static std::filesystem::path directory();

    // Whether a value is a record that can be sent: a non-empty dictionary of strings.
    static bool isRecord(const nlohmann::json& element);

    // Stores the record durably and returns its id; an equal record already waiting gives the
    // id of that one. nullopt when it is not a record. When the disk refuses the write, the
    // record is kept in memory (and still sent by this process) and its id returned.
    static std::optional<Id> add(const nlohmann::json& record);
    // Removes the record (its file, flushed). False when no such record waits.
    static bool remove(Id id);
    // The records waiting, oldest first.
    static std::vector<Id> ids();
    static std::size_t count();
    // Reads one record. nullopt when it is gone, or when its file is damaged; a damaged file is
    // moved aside ("<name>.corrupt-<n>") and leaves the index.
    static std::optional<nlohmann::json> load(Id id);

    // By value (tests and older callers).
    static bool addRecord(const nlohmann::json& record) { return add(record).has_value(); }
    static bool removeRecord(const nlohmann::json& record);
    // Every record waiting, oldest first. Reads every photo: tests only.
    static std::vector<nlohmann::json> records();

    // The records of `failedImage.plist` bytes that can be read: the whole list when it is an
    // intact property list, otherwise every complete <dict> of strings found in it. `damaged`
    // tells whether anything could not be read.
    static std::vector<nlohmann::json> recordsInLegacyFile(const std::string& bytes, bool& damaged);

    // Forgets the index, so that the next call opens the store again from the disk (tests,
    // switching sandboxes, simulating a new start).
    static void resetForTesting();
};
