#pragma once
// The session files: one file per key in one folder, owner-only (0600). The
// file name is the key with every "/" turned into "_". Keeps no state in memory:
// concurrent callers rely on the atomic replace of each write.
#include <filesystem>

#include "social/auth_storage.h"

namespace pawlane {

class FileAuthStorage : public AuthStorage {
public:
    explicit FileAuthStorage(std::filesystem::path dir) : dir_(std::move(dir)) {}

    // $XDG_DATA_HOME/Pawlane, or ~/.local/share/Pawlane when that is unset or relative.
    static std::filesystem::path defaultDir();

    const std::filesystem::path& dir() const { return dir_; }
    std::filesystem::path fileFor(const std::string& key) const;

    // Creates the folder (with parents) when missing; writes atomically; then 0600.
    Status store(const std::string& key, const std::string& value) override;
    std::optional<std::string> retrieve(const std::string& key) const override;
    void remove(const std::string& key) override;

private:
    std::filesystem::path dir_;
};

}  // namespace pawlane
