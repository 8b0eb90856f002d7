#pragma once
// A fresh folder under the system temp folder, removed with everything in it.
#include <filesystem>
#include <string>

#include <unistd.h>

namespace pawlane::test {

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pawlane-social-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace pawlane::test
