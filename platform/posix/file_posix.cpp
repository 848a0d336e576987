#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include "platform/file.h"

namespace pebitness {

ReadOnlyFile ReadOnlyFile::OpenExisting(TextView path) noexcept {
    if (path.empty()) return {};
    // The path goes to the system as the bytes it is (the name must not hold a zero byte).
    const Text name(path);
    // Non-blocking, so that a FIFO or a device never holds up the caller. POSIX has no share modes:
    // an open for reading denies no one, which is what the Windows build asks for.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
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
