#pragma once
// Replacing a file so that a crash at any moment leaves either the old or the
// new content, complete: a temporary file beside it (mode 0600, named
// "<name>.tmp-XXXXXX"), fsync, rename over the target, fsync of the folder.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace pawlane {

struct FileWriteError {
    std::string step;  // "temporary file", "write" or "replace"
    int err = 0;       // errno of that step
};

// Nothing on success. The folder must exist.
std::optional<FileWriteError> replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace pawlane
