// One owner for each kind of Win32 handle: move-only, closes once, get/reset/release.
//
//   UniqueKernelHandle process(info.hProcess);  // CloseHandle when it goes
//   UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
//   if (!memory) ...                            // false for the kind's "no handle" value
//
// Only Win32 code includes this header (it needs <windows.h>): backends and the end-to-end driver.
// The window toolkit keeps its window as a plain NativeWindow in its portable header, and the
// system ends that window's life at WM_NCDESTROY; fonts and icons it uses are the system's own
// (the stock GUI font, icons loaded shared), so there is nothing of theirs to close.
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

// CreateFileW answers INVALID_HANDLE_VALUE for no file; processes and threads are null instead.
struct FileHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct KernelHandleTraits {
    static HANDLE Invalid() noexcept { return nullptr; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
// The whole screen's device context, from GetDC(nullptr).
struct ScreenDcTraits {
    static HDC Invalid() noexcept { return nullptr; }
    static void Close(HDC h) noexcept { ::ReleaseDC(nullptr, h); }
};
struct MemoryDcTraits {
    static HDC Invalid() noexcept { return nullptr; }
    static void Close(HDC h) noexcept { ::DeleteDC(h); }
};
// Deleted only when no device context has it selected.
struct BitmapTraits {
    static HBITMAP Invalid() noexcept { return nullptr; }
    static void Close(HBITMAP h) noexcept { ::DeleteObject(h); }
};

using UniqueFileHandle = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueScreenDc = UniqueHandle<HDC, ScreenDcTraits>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, BitmapTraits>;

}  // namespace pebitness
