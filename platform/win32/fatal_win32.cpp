#include <windows.h>

#include <cstdio>

#include "platform/fatal_internal.h"
#include "platform/win32/code_page.h"

namespace pebitness {

void ShowSystemPlatformErrorBox(TextView note) noexcept {
    // No memory may be requested here: convert into static storage, cutting an overlong note.
    static wchar_t text[4096];
    const int length = ::MultiByteToWideChar(TextCodePage, 0, note.data(),
                                             static_cast<int>(note.size()), text, 4095);
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
