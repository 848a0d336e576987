// The system's handle of a window, as the portable headers pass it around without the system's
// headers: the message box takes one as its owner, the window toolkit hands out its own.
#pragma once

namespace pebitness {

using NativeWindow = void*;  // an HWND on Windows; opaque everywhere else

}  // namespace pebitness
