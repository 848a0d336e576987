#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/file.h"

namespace pebitness {

ReadOnlyFile ReadOnlyFile::OpenExisting(TextView path) noexcept {
    if (path.empty()) return {};
    // The path goes to the system as the bytes it is (the name must not hold a zero byte).
    const Text name(path);
    // Non-blocking, so that opening a FIFO without a writer or a terminal waiting for its carrier
    // never holds up the caller. POSIX has no share modes: an open for reading denies no one, which
    // is what the Windows build asks for.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    // Only a regular file is read. The non-blocking open alone does not cover the rest: a FIFO
    // that holds data, or a device such as /dev/zero, would deliver bytes that are no file's head,
    // and a device may ignore O_NONBLOCK and wait in its read.
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return {};
    }
    return ReadOnlyFile(fd);
}

std::size_t ReadOnlyFile::ReadOnce(unsigned char* into, std::size_t size) noexcept {
    if (handle_ == Invalid) return 0;
    const ssize_t delivered = ::read(static_cast<int>(handle_), into, size);
    return delivered < 0 ? 0 : static_cast<std::size_t>(delivered);
}

void ReadOnlyFile::Close() noexcept {
    if (handle_ == Invalid) return;
    ::close(static_cast<int>(std::exchange(handle_, Invalid)));
}

}  // namespace pebitness
