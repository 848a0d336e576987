#include <windows.h>

#include <commdlg.h>

#include <iterator>
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

// The path to remember for the file the user confirmed, or missing when none can stand for it.
// A path that code page 936 cannot hold names the same file by its short (8.3) path, which the file
// system makes of characters that every code page holds: otherwise the click would analyse and log
// the file remembered before, not the one just chosen. Without a short name (8.3 names turned off
// on that volume) GetShortPathNameW hands back the long path, which fails the same test again. A
// path that is exact but too long stays not confirmed, as before.
Text ConfirmedPath(const wchar_t* chosen) {
    Text exact = ExactTextFromWide(chosen);
    if (!exact.empty()) {
        if (exact.size() >= OpenFileDialog::PathCapacity) return {};
        return exact;
    }
    const DWORD needed = ::GetShortPathNameW(chosen, nullptr, 0);
    if (needed == 0) return {};
    WideText shortPath = WideText::OfSize(needed);
    const DWORD length = ::GetShortPathNameW(chosen, shortPath.data(), needed);
    if (length == 0 || length >= needed) return {};
    shortPath.Truncate(length);
    Text text = ExactTextFromWide(shortPath.c_str());
    if (text.size() >= OpenFileDialog::PathCapacity) return {};
    return text;
}

using GetOpenFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// comdlg32 is loaded when the first click needs it, not imported: an import would make every start
// pay for a library that only a click uses. By its full path in the system folder, never from the
// program's own folder (LOAD_LIBRARY_SEARCH_SYSTEM32 would say the same, but Windows 7 without its
// loader update refuses that flag), and it stays loaded for the rest of the process. Null when it
// cannot be had.
GetOpenFileNameFunction LoadGetOpenFileName() {
    static GetOpenFileNameFunction function = nullptr;
    if (function != nullptr) return function;
    constexpr wchar_t LibraryName[] = L"\\comdlg32.dll";
    wchar_t path[MAX_PATH];
    const UINT folder = ::GetSystemDirectoryW(path, MAX_PATH);
    if (folder == 0 || folder + std::size(LibraryName) > MAX_PATH) return nullptr;
    std::char_traits<wchar_t>::copy(path + folder, LibraryName, std::size(LibraryName));
    const HMODULE library = ::LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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

    Text chosen = ConfirmedPath(file.c_str());
    if (chosen.empty()) return false;
    fileName_ = std::move(chosen);
    return true;
}

}  // namespace pebitness
