// Conversion at the Win32 edge between the program's texts (code page 936, named explicitly, never
// the system's ANSI page) and the UTF-16 of the W functions. Only Win32 backends include this header.
#pragma once

#include <cstddef>

#include "platform/text.h"

namespace pebitness {

inline constexpr unsigned TextCodePage = 936;

// A UTF-16 string for the W functions: owned, move-only, always zero-terminated, its buffer from
// RequestMemory like every other buffer of the program. It stands in for std::wstring, whose
// out-of-line code in the C++ library carries the exception and type-information machinery and
// would make the executable several times larger than the program.
class WideText {
public:
    WideText() noexcept = default;
    // size units, all zero, plus the terminating zero: for filling in place.
    static WideText OfSize(std::size_t size);

    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    WideText(WideText&& other) noexcept;
    WideText& operator=(WideText&& other) noexcept;
    ~WideText();

    const wchar_t* c_str() const noexcept { return units_ ? units_ : L""; }
    wchar_t* data() noexcept { return units_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    // Keeps the first size units (at most the current size) and puts the zero after them.
    void Truncate(std::size_t size) noexcept;

private:
    wchar_t* units_ = nullptr;
    std::size_t size_ = 0;
};

WideText WideFromText(TextView text);
Text TextFromWide(const wchar_t* wide, std::size_t length);

}  // namespace pebitness
