#include <windows.h>

#include <commdlg.h>

#include <string>
#include <utility>

#include "platform/open_file_dialog.h"
#include "platform/win32/code_page.h"

namespace pebitness {

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

    Text chosen = TextFromWide(file.c_str(), std::char_traits<wchar_t>::length(file.c_str()));
    if (chosen.empty() || chosen.size() >= PathCapacity) return false;
    fileName_ = std::move(chosen);
    return true;
}

}  // namespace pebitness
