#include "platform/win32/code_page.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include "platform/memory.h"

namespace pebitness {

WideText WideText::OfSize(std::size_t size) {
    WideText wide;
    wide.units_ = static_cast<wchar_t*>(RequestMemory((size + 1) * sizeof(wchar_t)));
    std::memset(wide.units_, 0, (size + 1) * sizeof(wchar_t));
    wide.size_ = size;
    return wide;
}

WideText::WideText(WideText&& other) noexcept
    : units_(std::exchange(other.units_, nullptr)), size_(std::exchange(other.size_, 0)) {}

WideText& WideText::operator=(WideText&& other) noexcept {
    if (this != &other) {
        ReleaseMemory(units_);
        units_ = std::exchange(other.units_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

WideText::~WideText() { ReleaseMemory(units_); }

void WideText::Truncate(std::size_t size) noexcept {
    if (size >= size_) return;
    size_ = size;
    units_[size] = L'\0';
}

WideText WideFromText(TextView text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(TextCodePage, 0, text.data(), size, nullptr, 0);
    WideText wide = WideText::OfSize(static_cast<std::size_t>(length));
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
