// Conversion at the Win32 edge between the program's texts (code page 936, named explicitly, never
// the system's ANSI page) and the UTF-16 of the W functions. Only Win32 backends include this header.
#pragma once

#include <string>

#include "platform/text.h"

namespace pebitness {

inline constexpr unsigned TextCodePage = 936;

std::wstring WideFromText(TextView text);
Text TextFromWide(const wchar_t* wide, std::size_t length);

}  // namespace pebitness
