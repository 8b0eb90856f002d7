#include "social/file_auth_storage.h"

#include "platform/atomic_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace pawlane {

namespace {

SocialError storageError(const std::string& what, int err) {
    return {SocialError::Kind::storage, "Couldn't save the session (" + what + ": " + std::strerror(err) + ").", 0,
            {}};
}

}  // namespace

std::filesystem::path FileAuthStorage::defaultDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return std::filesystem::path(xdg) / "Pawlane";
    const char* home = std::getenv("HOME");
    std::string base = home && home[0] ? home : "";
    if (base.empty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) base = pw->pw_dir;
    }
    return std::filesystem::path(base) / ".local" / "share" / "Pawlane";
}

std::filesystem::path FileAuthStorage::fileFor(const std::string& key) const {
    std::string name = key;
    std::replace(name.begin(), name.end(), '/', '_');
    return dir_ / name;
}

Status FileAuthStorage::store(const std::string& key, const std::string& value) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (ec) return storageError("folder " + dir_.string(), ec.value());

    const auto target = fileFor(key);
    if (const auto failed = replaceFileAtomically(target, value)) return storageError(failed->step, failed->err);
    if (::chmod(target.c_str(), 0600) != 0) return storageError("permissions", errno);
    return {};
}

std::optional<std::string> FileAuthStorage::retrieve(const std::string& key) const {
    std::ifstream in(fileFor(key), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

void FileAuthStorage::remove(const std::string& key) {
    std::error_code ec;
    std::filesystem::remove(fileFor(key), ec);
}

}  // namespace pawlane
