// A modal message box: the text, a style value (the Win32 MB_* bits), a title and an optional owner.
// It returns when the box is closed and is modal to the whole program: every top-level window of the
// calling thread takes no input until then.
#pragma once

#include <cstdint>

#include "platform/native_window.h"
#include "platform/text.h"

namespace pebitness {

inline constexpr std::uint32_t MessageBoxStyleError = 16;  // one OK button and the stop icon

void ShowMessageBox(TextView text, std::uint32_t style, TextView title, NativeWindow owner);

// Tests put a recording box in place of the system's; returns the one that was in place.
using MessageBoxFunction = void (*)(TextView text, std::uint32_t style, TextView title,
                                    NativeWindow owner);
MessageBoxFunction ReplaceMessageBox(MessageBoxFunction box) noexcept;

}  // namespace pebitness
