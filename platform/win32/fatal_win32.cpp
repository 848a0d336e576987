#include <windows.h>

#include <cstdio>

#include "platform/fatal_internal.h"
#include "platform/win32/code_page.h"

namespace pebitness {

void ShowSystemPlatformErrorBox(TextView note) noexcept {
    // No memory may be requested here: convert into static storage. A byte of code page 936 never
    // gives more than one UTF-16 unit, so a note of the platform's own always fits with its zero;
    // a longer one is cut rather than lost, since a conversion that does not fit yields nothing.
    static wchar_t text[FatalNoteCapacity + 1];
    const std::size_t size = note.size() < FatalNoteCapacity ? note.size() : FatalNoteCapacity;
    const int length = ::MultiByteToWideChar(TextCodePage, 0, note.data(), static_cast<int>(size),
                                             text, static_cast<int>(FatalNoteCapacity));
    text[length > 0 ? length : 0] = L'\0';
    // "运行时错误" (run-time error)
    ::MessageBoxW(nullptr, text, L"\x8FD0\x884C\x65F6\x9519\x8BEF",
                  MB_OK | MB_ICONHAND | MB_TASKMODAL | MB_SETFOREGROUND);
}

void EndProcessAfterFatalError() noexcept {
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(-1));
}

}  // namespace pebitness
