// File access for reading a file's head: open an existing file for reading without denying others,
// one read request, close. A failed open yields no file; reading from or closing no file does nothing.
// Only a file on disk is ever read: a path that names a device, a port, a console, a pipe or a
// folder also yields no file, since a read from most of them can wait for ever.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/text.h"

namespace pebitness {

class ReadOnlyFile {
public:
    // path is a byte string in code page 936, passed on unchanged (not trimmed or normalised).
    static ReadOnlyFile OpenExisting(TextView path) noexcept;

    ReadOnlyFile() noexcept = default;
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;
    ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;
    ~ReadOnlyFile() { Close(); }

    explicit operator bool() const noexcept { return handle_ != Invalid; }

    // One read request of up to size bytes; returns the count delivered, 0 on failure or no file.
    std::size_t ReadOnce(unsigned char* into, std::size_t size) noexcept;
    void Close() noexcept;

private:
    // A Win32 HANDLE or a POSIX descriptor, widened so this header needs neither system's headers.
    static constexpr std::intptr_t Invalid = -1;
    explicit ReadOnlyFile(std::intptr_t handle) noexcept : handle_(handle) {}
    std::intptr_t handle_ = Invalid;
};

}  // namespace pebitness
