#include <windows.h>

#include <string>

#include "platform/startup.h"

namespace pebitness {

void CompletePlatformStartup() {
    // The executable's full path, in a buffer grown until it fits (it may exceed MAX_PATH).
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    // A folder at the drive's root keeps its backslash: "C:" alone would name the drive's current
    // folder instead.
    path.resize(slash == 2 && path[1] == L':' ? slash + 1 : slash);
    ::SetCurrentDirectoryW(path.c_str());
}

}  // namespace pebitness
