#pragma once
// Where the backend client keeps its session between launches: bytes under
// keys of the client's own choosing. Called from the client's background threads.
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "social/result.h"

namespace pawlane {

class AuthStorage {
public:
    virtual ~AuthStorage() = default;
    virtual Status store(const std::string& key, const std::string& value) = 0;
    // Exactly the bytes last stored under key, or nothing; never fails.
    virtual std::optional<std::string> retrieve(const std::string& key) const = 0;
    // Never fails, also for a key never stored.
    virtual void remove(const std::string& key) = 0;
};

// Keeps everything in memory; for tests and for callers that want no files.
class MemoryAuthStorage : public AuthStorage {
public:
    Status store(const std::string& key, const std::string& value) override {
        std::lock_guard lock(mutex_);
        values_[key] = value;
        return {};
    }
    std::optional<std::string> retrieve(const std::string& key) const override {
        std::lock_guard lock(mutex_);
        auto it = values_.find(key);
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void remove(const std::string& key) override {
        std::lock_guard lock(mutex_);
        values_.erase(key);
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> values_;
};

}  // namespace pawlane
