// The start-up floor: the barest Win32 program with a window of pebitness's outer size and frame,
// centred the same way, shown, and a message loop. Nothing else: no controls, no icon, no manifest.
// Closing the window ends it with exit code 0.
//
// Built a second time with BARE_WINDOW_COMMON_CONTROLS and a manifest like the program's: then it
// also loads the common controls of version 6, which the program must have before its window can
// show, and tells how much of the start-up that alone takes.
#include <windows.h>

#if defined(BARE_WINDOW_COMMON_CONTROLS)
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    constexpr int Width = 532;
    constexpr int Height = 410;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = L"PebitnessBareWindow";
#if defined(BARE_WINDOW_COMMON_CONTROLS)
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&common);
#endif
    ::RegisterClassExW(&wc);
    const HWND hwnd = ::CreateWindowExW(
        0, wc.lpszClassName, L"bare", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        (::GetSystemMetrics(SM_CXSCREEN) - Width) / 2, (::GetSystemMetrics(SM_CYSCREEN) - Height) / 2,
        Width, Height, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
