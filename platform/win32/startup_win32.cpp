#include <windows.h>

#include "platform/startup.h"
#include "platform/win32/code_page.h"

namespace pebitness {

void CompletePlatformStartup() {
    // The executable's full path, in a buffer grown until it fits (it may exceed MAX_PATH).
    WideText path = WideText::OfSize(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return;
        if (length < path.size()) {
            path.Truncate(length);
            break;
        }
        path = WideText::OfSize(path.size() * 2);
    }
    std::size_t slash = path.size();
    while (slash != 0 && path.c_str()[slash - 1] != L'\\' && path.c_str()[slash - 1] != L'/')
        --slash;
    if (slash == 0) return;
    --slash;
    // A folder at the drive's root keeps its backslash: "C:" alone would name the drive's current
    // folder instead.
    path.Truncate(slash == 2 && path.c_str()[1] == L':' ? slash + 1 : slash);
    ::SetCurrentDirectoryW(path.c_str());
}

}  // namespace pebitness
