#include "platform/headless/memory_preferences_store.h"

namespace pawlane {

const PrefValue* MemoryPreferencesStore::storedValue(std::string_view key) const {
    auto it = values_.find(key);
    return it == values_.end() ? nullptr : &it->second;
}

void MemoryPreferencesStore::storeValue(std::string_view key, PrefValue v) {
    values_.insert_or_assign(std::string(key), std::move(v));
}

void MemoryPreferencesStore::eraseValue(std::string_view key) {
    if (auto it = values_.find(key); it != values_.end()) values_.erase(it);
}

}  // namespace pawlane
