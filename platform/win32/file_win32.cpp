#include <windows.h>

#include <utility>

#include "platform/file.h"
#include "platform/win32/code_page.h"

namespace pebitness {

ReadOnlyFile ReadOnlyFile::OpenExisting(TextView path) noexcept {
    if (path.empty()) return {};
    const WideText name = WideFromText(path);
    // Others may go on reading and writing the file meanwhile; only deleting it is not shared.
    // Opening a device or a pipe returns at once (a pipe with no free instance fails with
    // ERROR_PIPE_BUSY rather than waiting); it is the read that would wait.
    HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    // Only a file on disk is read: a read from a serial port, a console or a pipe whose other end
    // never writes waits for ever, and would freeze the window on whose thread it runs.
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        return {};
    }
    return ReadOnlyFile(reinterpret_cast<std::intptr_t>(handle));
}

std::size_t ReadOnlyFile::ReadOnce(unsigned char* into, std::size_t size) noexcept {
    if (handle_ == Invalid) return 0;
    DWORD delivered = 0;
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), into, static_cast<DWORD>(size), &delivered,
                    nullptr))
        return 0;
    return delivered;
}

void ReadOnlyFile::Close() noexcept {
    if (handle_ == Invalid) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, Invalid)));
}

}  // namespace pebitness
