// One owner for each kind of Win32 handle: move-only, closes once, get/reset/release.
// Only Win32 backends include this header.
#pragma once

#include <windows.h>

#include <utility>

namespace pebitness {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) noexcept {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    explicit operator bool() const noexcept { return handle_ != Traits::Invalid(); }

private:
    Handle handle_ = Traits::Invalid();
};

struct FileHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct WindowHandleTraits {
    static HWND Invalid() noexcept { return nullptr; }
    static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};
struct FontHandleTraits {
    static HFONT Invalid() noexcept { return nullptr; }
    static void Close(HFONT h) noexcept { ::DeleteObject(h); }
};
struct IconHandleTraits {
    static HICON Invalid() noexcept { return nullptr; }
    static void Close(HICON h) noexcept { ::DestroyIcon(h); }
};

using UniqueFileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowHandleTraits>;
using UniqueFont = UniqueHandle<HFONT, FontHandleTraits>;
using UniqueIcon = UniqueHandle<HICON, IconHandleTraits>;

}  // namespace pebitness
