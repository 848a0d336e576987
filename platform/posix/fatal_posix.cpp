#include <unistd.h>

#include <cstdio>

#include "platform/fatal_internal.h"

namespace pebitness {

// The native build has no windows: the platform's own box is a report on standard error.
void ShowSystemPlatformErrorBox(TextView note) noexcept {
    std::fputs("fatal run-time error:\n", stderr);
    std::fwrite(note.data(), 1, note.size(), stderr);
    std::fflush(stderr);
}

void EndProcessAfterFatalError() noexcept {
    std::fflush(nullptr);
    ::_exit(255);  // -1 as a POSIX parent sees it
}

}  // namespace pebitness
