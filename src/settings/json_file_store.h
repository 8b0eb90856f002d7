#pragma once
// The app's preferences store: one JSON file, held whole in memory and written
// through atomically on every change (temporary file in the same folder, fsync,
// rename, fsync of the folder). A file that does not parse is moved aside as
// "<name>.corrupt-<unix time>" and the store starts empty. Write failures (read-only
// home, full disk) leave the file as it was; the value still changes in memory.
//
// The file is a JSON object, one member per key, indented for people:
//   integer, boolean, double, text    -> JSON number / true, false / number with a
//                                        fraction or exponent / string
//   array of texts                    -> JSON array of strings
//   dictionary text -> integer        -> JSON object of integers
//   data holding JSON                 -> {"$json": <that JSON, embedded>}
//   any other data                    -> {"$base64": "<standard base64>"}
// Data is embedded only when its bytes are exactly the compact form of the JSON they
// hold, so it reads back byte for byte; a person may edit it freely (it reads back as
// the compact form of the edit). A dictionary whose only key is "$json", "$base64" or
// "$dictionary" is written as {"$dictionary": {...}} so it cannot pass for data.
// Members of no kind (null, nested lists, objects with non-integer values) are kept
// and written back as they were.
#include <filesystem>
#include <map>
#include <string>

#include "platform/preferences_store.h"

namespace pawlane {

// $XDG_CONFIG_HOME/pawlane/preferences.json, with ~/.config when the variable is
// unset or not absolute.
std::filesystem::path defaultPreferencesPath();

class JsonFileStore final : public PreferencesStore {
public:
    // Loads the file now; a missing file (or folder) is an empty store.
    explicit JsonFileStore(std::filesystem::path file);

    const std::filesystem::path& path() const { return path_; }
    // Where an unreadable file was moved on load, if it was.
    const std::filesystem::path& movedAsideTo() const { return movedAside_; }
    // False after the last write-through failed (the memory copy is still current).
    bool lastWriteSucceeded() const { return lastWriteOk_; }

protected:
    const PrefValue* storedValue(std::string_view key) const override;
    void storeValue(std::string_view key, PrefValue v) override;
    void eraseValue(std::string_view key) override;

private:
    void load();
    void writeThrough();

    std::filesystem::path path_;
    std::filesystem::path movedAside_;
    std::map<std::string, PrefValue, std::less<>> values_;
    bool writable_ = true;  // false when the file on disk must not be replaced
    bool lastWriteOk_ = true;
};

// The document codec, shared with tests.
std::string encodePreferencesDocument(const std::map<std::string, PrefValue, std::less<>>& values);
// Nothing when the text is not a JSON object.
std::optional<std::map<std::string, PrefValue, std::less<>>> decodePreferencesDocument(
    std::string_view text);

}  // namespace pawlane
