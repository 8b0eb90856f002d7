#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace pawlane {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<FileWriteError> replaceFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    const auto dir = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    std::string tmp = (dir / (target.filename().string() + ".tmp-XXXXXX")).string();
    const int fd = ::mkstemp(tmp.data());  // created 0600: never readable by others, even briefly
    if (fd < 0) return FileWriteError{"temporary file", errno};
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeErr = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        ::unlink(tmp.c_str());
        return FileWriteError{"write", written ? errno : writeErr};
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return FileWriteError{"replace", err};
    }
    // The rename itself must reach the disk too.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return std::nullopt;
}

}  // namespace pawlane
