#include "platform/win32/code_page.h"

#include <windows.h>

namespace pebitness {

std::wstring WideFromText(TextView text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(TextCodePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(TextCodePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

Text TextFromWide(const wchar_t* wide, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int bytes =
        ::WideCharToMultiByte(TextCodePage, 0, wide, size, nullptr, 0, nullptr, nullptr);
    Text text = Text::OfSize(static_cast<std::size_t>(bytes));
    ::WideCharToMultiByte(TextCodePage, 0, wide, size, text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace pebitness
