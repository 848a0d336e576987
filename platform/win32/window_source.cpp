#include "platform/win32/window_source.h"

namespace pebitness {

HWND CreateNativeWindow(DWORD extendedStyle, const wchar_t* className, const wchar_t* text,
                        DWORD style, int x, int y, int width, int height, HWND parent,
                        HMENU menuOrId, HINSTANCE instance, void* parameter) noexcept {
    return ::CreateWindowExW(extendedStyle, className, text, style, x, y, width, height, parent,
                             menuOrId, instance, parameter);
}

}  // namespace pebitness
