#pragma once
// A preferences store that lives only in memory, for tests and tools.
#include <map>
#include <string>

#include "platform/preferences_store.h"

namespace pawlane {

class MemoryPreferencesStore final : public PreferencesStore {
public:
    MemoryPreferencesStore() = default;
    // Every stored value, without the registered defaults.
    std::map<std::string, PrefValue, std::less<>> snapshot() const { return values_; }

protected:
    const PrefValue* storedValue(std::string_view key) const override;
    void storeValue(std::string_view key, PrefValue v) override;
    void eraseValue(std::string_view key) override;

private:
    std::map<std::string, PrefValue, std::less<>> values_;
};

}  // namespace pawlane
