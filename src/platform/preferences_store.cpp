#include "platform/preferences_store.h"

#include <cmath>
#include <limits>

namespace pawlane {

namespace {

// Numbers read across the numeric kinds, as the platform stores this app first ran on did.
std::optional<std::int64_t> readAs(const PrefValue& v, std::int64_t*) {
    if (auto i = std::get_if<std::int64_t>(&v)) return *i;
    if (auto b = std::get_if<bool>(&v)) return *b ? 1 : 0;
    if (auto d = std::get_if<double>(&v)) {
        // Out-of-range and NaN doubles have no integer reading.
        if (std::isfinite(*d) && *d > -9.2e18 && *d < 9.2e18) return static_cast<std::int64_t>(*d);
    }
    return std::nullopt;
}

std::optional<bool> readAs(const PrefValue& v, bool*) {
    if (auto b = std::get_if<bool>(&v)) return *b;
    if (auto i = std::get_if<std::int64_t>(&v)) return *i != 0;
    if (auto d = std::get_if<double>(&v)) return *d != 0.0 && !std::isnan(*d);
    return std::nullopt;
}

std::optional<double> readAs(const PrefValue& v, double*) {
    if (auto d = std::get_if<double>(&v)) return *d;
    if (auto i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    if (auto b = std::get_if<bool>(&v)) return *b ? 1.0 : 0.0;
    return std::nullopt;
}

template <class T>
std::optional<T> readAs(const PrefValue& v, T*) {
    if (auto x = std::get_if<T>(&v)) return *x;
    return std::nullopt;
}

std::optional<std::string> readData(const PrefValue& v) {
    if (auto x = std::get_if<PrefData>(&v)) return x->bytes;
    return std::nullopt;
}

}  // namespace

PrefKind kindOf(const PrefValue& v) {
    switch (v.index()) {
        case 0: return PrefKind::Integer;
        case 1: return PrefKind::Boolean;
        case 2: return PrefKind::Double;
        case 3: return PrefKind::String;
        case 4: return PrefKind::StringArray;
        case 5: return PrefKind::Dictionary;
        case 6: return PrefKind::Data;
        default: return PrefKind::Other;
    }
}

template <class T>
std::optional<T> PreferencesStore::find(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (const PrefValue* v = storedValue(key)) {
        if (auto r = readAs(*v, static_cast<T*>(nullptr))) return r;
    }
    if (auto it = registered_.find(key); it != registered_.end()) {
        return readAs(it->second, static_cast<T*>(nullptr));
    }
    return std::nullopt;
}

std::optional<std::int64_t> PreferencesStore::findInteger(std::string_view key) const {
    return find<std::int64_t>(key);
}
std::optional<bool> PreferencesStore::findBoolean(std::string_view key) const { return find<bool>(key); }
std::optional<double> PreferencesStore::findReal(std::string_view key) const { return find<double>(key); }
std::optional<std::string> PreferencesStore::findString(std::string_view key) const {
    return find<std::string>(key);
}
std::optional<std::vector<std::string>> PreferencesStore::findStringArray(std::string_view key) const {
    return find<std::vector<std::string>>(key);
}
std::optional<PrefDictionary> PreferencesStore::findDictionary(std::string_view key) const {
    return find<PrefDictionary>(key);
}

std::optional<std::string> PreferencesStore::findData(std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (const PrefValue* v = storedValue(key)) {
        if (auto r = readData(*v)) return r;
    }
    if (auto it = registered_.find(key); it != registered_.end()) return readData(it->second);
    return std::nullopt;
}

const PrefValue* PreferencesStore::lookUp(std::string_view key) const {
    if (const PrefValue* v = storedValue(key)) return v;
    auto it = registered_.find(key);
    return it == registered_.end() ? nullptr : &it->second;
}

std::optional<PrefValue> PreferencesStore::value(std::string_view key) const {
    std::lock_guard lock(mutex_);
    const PrefValue* v = lookUp(key);
    return v ? std::optional<PrefValue>(*v) : std::nullopt;
}

PrefKind PreferencesStore::kind(std::string_view key) const {
    std::lock_guard lock(mutex_);
    const PrefValue* v = lookUp(key);
    return v ? kindOf(*v) : PrefKind::Absent;
}

bool PreferencesStore::has(std::string_view key) const {
    std::lock_guard lock(mutex_);
    return storedValue(key) != nullptr;
}

bool PreferencesStore::holdsObject(std::string_view key) const {
    std::lock_guard lock(mutex_);
    const PrefValue* v = lookUp(key);
    if (!v) return false;
    if (std::holds_alternative<PrefDictionary>(*v)) return true;
    // Kept values are compact JSON, so an object is the one that opens with a brace.
    const auto* other = std::get_if<PrefOther>(v);
    return other && !other->json.empty() && other->json.front() == '{';
}

void PreferencesStore::setValue(std::string_view key, PrefValue v) {
    std::lock_guard lock(mutex_);
    storeValue(key, std::move(v));
}

void PreferencesStore::remove(std::string_view key) {
    std::lock_guard lock(mutex_);
    eraseValue(key);
}

void PreferencesStore::registerDefaults(const std::map<std::string, PrefValue, std::less<>>& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_.insert_or_assign(key, value);
}

}  // namespace pawlane
