// Where the window toolkit gets its native windows: one function in its own translation unit, a
// link-time seam like ObtainMemoryFromSystem, so that a test variant can link one that fails on cue.
// Only Win32 backends include this header.
#pragma once

#include <windows.h>

namespace pebitness {

// CreateWindowExW with the same arguments; null when the window cannot be created.
HWND CreateNativeWindow(DWORD extendedStyle, const wchar_t* className, const wchar_t* text,
                        DWORD style, int x, int y, int width, int height, HWND parent,
                        HMENU menuOrId, HINSTANCE instance, void* parameter) noexcept;

}  // namespace pebitness
