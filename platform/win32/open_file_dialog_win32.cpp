#include <windows.h>

#include <commdlg.h>

#include <string>
#include <utility>

#include "platform/open_file_dialog.h"
#include "platform/win32/code_page.h"

namespace pebitness {
namespace {

// The chosen path as a program text, or missing when code page 936 cannot hold it exactly: a
// character without a counterpart would come back as '?' or as a look-alike (a for ä), and the
// path would name another file or none.
Text ExactTextFromWide(const wchar_t* wide) {
    const int length = static_cast<int>(std::char_traits<wchar_t>::length(wide));
    if (length == 0) return {};
    BOOL lossy = FALSE;
    const int bytes = ::WideCharToMultiByte(TextCodePage, WC_NO_BEST_FIT_CHARS, wide, length,
                                            nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return {};
    Text text = Text::OfSize(static_cast<std::size_t>(bytes));
    ::WideCharToMultiByte(TextCodePage, WC_NO_BEST_FIT_CHARS, wide, length, text.data(), bytes,
                          nullptr, nullptr);
    return text;
}

using GetOpenFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// comdlg32 is loaded when the first click needs it, not imported: an import would make every start
// pay for a library that only a click uses. From the system folder only, never the program's own
// folder, and it stays loaded for the rest of the process. Null when it cannot be had.
GetOpenFileNameFunction LoadGetOpenFileName() {
    static GetOpenFileNameFunction function = nullptr;
    if (function != nullptr) return function;
    const HMODULE library =
        ::LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library == nullptr) return nullptr;
    // Through void(*)(): GetProcAddress gives every function one type, and this cast says so.
    function = reinterpret_cast<GetOpenFileNameFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library, "GetOpenFileNameW")));
    return function;
}

}  // namespace

bool OpenFileDialog::Show(const Window& owner) {
    // The wide buffer is larger than the byte capacity: what limits the path is its length in code
    // page 936, checked after conversion.
    constexpr std::size_t WideCapacity = 1024;
    WideText file = WideText::OfSize(WideCapacity);
    const WideText remembered = WideFromText(fileName_);
    const std::size_t kept = remembered.size() < WideCapacity - 1 ? remembered.size()
                                                                  : WideCapacity - 1;
    std::char_traits<wchar_t>::copy(file.data(), remembered.c_str(), kept);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(owner.native());
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(WideCapacity);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
                OFN_ENABLESIZING;
    // A library that cannot be loaded is a dialog that fails: not confirmed.
    const GetOpenFileNameFunction getOpenFileName = LoadGetOpenFileName();
    if (getOpenFileName == nullptr || !getOpenFileName(&ofn)) return false;

    // A path that does not fit, or that code page 936 cannot hold, counts as not confirmed.
    Text chosen = ExactTextFromWide(file.c_str());
    if (chosen.empty() || chosen.size() >= PathCapacity) return false;
    fileName_ = std::move(chosen);
    return true;
}

}  // namespace pebitness
