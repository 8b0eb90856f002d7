#pragma once
// The per-user key-value store behind the settings. A flat map from text keys to
// values of seven kinds, plus registered defaults that are consulted when a key is
// not stored and are never persisted.
//
// Reading never fails: a key that is absent, or holds a value that cannot be read as
// the asked kind, yields the registered default for that key (when it has the right
// kind) or else the kind's empty value. The three numeric kinds (integer, boolean,
// double) read as one another, so a hand-written `10` reads as 10.0 and `true` as 1.
// Values of no kind (a JSON null, a nested list, an object with text values, all
// from a hand-edited file) are kept as `PrefOther` so they survive a rewrite.
//
// Implementations: JsonFileStore (src/settings/json_file_store.h) for the app,
// MemoryPreferencesStore (src/platform/headless) for tests. All calls are safe from
// any thread; the settings code only calls them from the main thread.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pawlane {

using PrefDictionary = std::map<std::string, std::int64_t, std::less<>>;

// Opaque bytes (the settings keep UTF-8 JSON in them).
struct PrefData {
    std::string bytes;
    friend bool operator==(const PrefData&, const PrefData&) = default;
};

// A value of none of the kinds, as compact JSON text.
struct PrefOther {
    std::string json;
    friend bool operator==(const PrefOther&, const PrefOther&) = default;
};

using PrefValue = std::variant<std::int64_t, bool, double, std::string, std::vector<std::string>,
                               PrefDictionary, PrefData, PrefOther>;

enum class PrefKind {
    Absent,       // neither stored nor registered
    Integer,
    Boolean,
    Double,
    String,
    StringArray,
    Dictionary,   // text -> integer
    Data,
    Other,
};

PrefKind kindOf(const PrefValue& v);

class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    // Stored or registered value as that kind; nothing when absent or unreadable as it.
    std::optional<std::int64_t> findInteger(std::string_view key) const;
    std::optional<bool> findBoolean(std::string_view key) const;
    std::optional<double> findReal(std::string_view key) const;
    std::optional<std::string> findString(std::string_view key) const;
    std::optional<std::vector<std::string>> findStringArray(std::string_view key) const;
    std::optional<PrefDictionary> findDictionary(std::string_view key) const;
    std::optional<std::string> findData(std::string_view key) const;

    // The same with the kind's empty value (0, false, 0.0, "", {}) for nothing.
    std::int64_t integer(std::string_view key) const { return findInteger(key).value_or(0); }
    bool boolean(std::string_view key) const { return findBoolean(key).value_or(false); }
    double real(std::string_view key) const { return findReal(key).value_or(0.0); }
    std::string string(std::string_view key) const { return findString(key).value_or(""); }
    std::vector<std::string> stringArray(std::string_view key) const {
        return findStringArray(key).value_or(std::vector<std::string>{});
    }
    PrefDictionary dictionary(std::string_view key) const {
        return findDictionary(key).value_or(PrefDictionary{});
    }
    std::string data(std::string_view key) const { return findData(key).value_or(""); }

    // The stored value, else the registered one.
    std::optional<PrefValue> value(std::string_view key) const;
    PrefKind kind(std::string_view key) const;
    // True when a value is stored (registered defaults do not count).
    bool has(std::string_view key) const;
    // True when the key holds a dictionary of any values (text -> integer or not).
    bool holdsObject(std::string_view key) const;

    void setInteger(std::string_view key, std::int64_t v) { setValue(key, PrefValue{v}); }
    void setBoolean(std::string_view key, bool v) { setValue(key, PrefValue{v}); }
    void setReal(std::string_view key, double v) { setValue(key, PrefValue{v}); }
    void setString(std::string_view key, std::string v) { setValue(key, PrefValue{std::move(v)}); }
    void setStringArray(std::string_view key, std::vector<std::string> v) {
        setValue(key, PrefValue{std::move(v)});
    }
    void setDictionary(std::string_view key, PrefDictionary v) { setValue(key, PrefValue{std::move(v)}); }
    void setData(std::string_view key, std::string bytes) {
        setValue(key, PrefValue{PrefData{std::move(bytes)}});
    }
    void setValue(std::string_view key, PrefValue v);
    void remove(std::string_view key);

    // Adds (or replaces) volatile defaults; a stored value always wins over them.
    void registerDefaults(const std::map<std::string, PrefValue, std::less<>>& defaults);

protected:
    // Implementations keep the values; the base class serialises calls to these.
    virtual const PrefValue* storedValue(std::string_view key) const = 0;
    virtual void storeValue(std::string_view key, PrefValue v) = 0;
    virtual void eraseValue(std::string_view key) = 0;

private:
    template <class T>
    std::optional<T> find(std::string_view key) const;
    const PrefValue* lookUp(std::string_view key) const;

    mutable std::recursive_mutex mutex_;
    std::map<std::string, PrefValue, std::less<>> registered_;
};

}  // namespace pawlane
