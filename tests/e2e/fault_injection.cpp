// The memory and window sources of the fault-injection variant, a test-only build of the program.
// They are the shipped program's sources, except that they fail on cue from the environment so that
// the end-to-end tests can drive the fatal path through the real program:
//   PEBITNESS_FAIL_ALLOC=N    the first memory request of exactly N bytes cannot be met;
//   PEBITNESS_FAIL_ALLOC=N+   ... and neither can any request after it;
//   PEBITNESS_FAIL_WINDOW=K   the K-th native window that the toolkit creates is not created
//                             (1: MainWindow itself, then its controls in the order they are made).
// The shipped executable links platform/memory_source.cpp and platform/win32/window_source.cpp and
// reads no environment at all.
#include <windows.h>

#include <cstdlib>

#include "platform/memory.h"
#include "platform/win32/window_source.h"

namespace pebitness {
namespace {

struct Cue {
    bool set = false;
    std::size_t number = 0;
    bool andEverythingAfter = false;
};

// Reads "N" or "N+" without asking for memory: this runs inside the memory source itself.
Cue ReadCue(const wchar_t* name) noexcept {
    wchar_t value[32];
    const DWORD length = ::GetEnvironmentVariableW(name, value, 32);
    Cue cue;
    if (length == 0 || length >= 32) return cue;
    DWORD i = 0;
    for (; i < length && value[i] >= L'0' && value[i] <= L'9'; ++i) {
        cue.number = cue.number * 10 + static_cast<std::size_t>(value[i] - L'0');
        cue.set = true;
    }
    cue.andEverythingAfter = i < length && value[i] == L'+';
    return cue;
}

bool memoryCueRead = false;
Cue memoryCue;
bool failingEverything = false;

unsigned windowsCreated = 0;

}  // namespace

void* ObtainMemoryFromSystem(std::size_t size) noexcept {
    if (!memoryCueRead) {
        memoryCueRead = true;
        memoryCue = ReadCue(L"PEBITNESS_FAIL_ALLOC");
    }
    if (failingEverything) return nullptr;
    if (memoryCue.set && size == memoryCue.number) {
        memoryCue.set = false;
        failingEverything = memoryCue.andEverythingAfter;
        return nullptr;
    }
    return std::malloc(size);
}

void ReturnMemoryToSystem(void* block) noexcept { std::free(block); }

HWND CreateNativeWindow(DWORD extendedStyle, const wchar_t* className, const wchar_t* text,
                        DWORD style, int x, int y, int width, int height, HWND parent,
                        HMENU menuOrId, HINSTANCE instance, void* parameter) noexcept {
    const Cue cue = ReadCue(L"PEBITNESS_FAIL_WINDOW");
    if (cue.set && ++windowsCreated == cue.number) return nullptr;
    return ::CreateWindowExW(extendedStyle, className, text, style, x, y, width, height, parent,
                             menuOrId, instance, parameter);
}

}  // namespace pebitness
