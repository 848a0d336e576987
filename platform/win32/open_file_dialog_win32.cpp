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
    std::wstring shortPath(needed, L'\0');
    const DWORD length = ::GetShortPathNameW(chosen, shortPath.data(), needed);
    if (length == 0 || length >= needed) return {};
    shortPath.resize(length);
    Text text = ExactTextFromWide(shortPath.c_str());
    if (text.size() >= OpenFileDialog::PathCapacity) return {};
    return text;
}

}  // namespace

bool OpenFileDialog::Show(const Window& owner) {
    // The wide buffer is larger than the byte capacity: what limits the path is its length in code
    // page 936, checked after conversion.
    constexpr std::size_t WideCapacity = 1024;
    std::wstring file(WideCapacity, L'\0');
    const std::wstring remembered = WideFromText(fileName_);
    remembered.copy(file.data(), WideCapacity - 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = static_cast<HWND>(owner.native());
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(WideCapacity);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER |
                OFN_ENABLESIZING;
    if (!::GetOpenFileNameW(&ofn)) return false;

    Text chosen = ConfirmedPath(file.c_str());
    if (chosen.empty()) return false;
    fileName_ = std::move(chosen);
    return true;
}

}  // namespace pebitness
