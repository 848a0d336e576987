// End-to-end test support: starts the real program on a Wine virtual desktop of its own and works
// it as a user would. Windows only (the tests run under Wine on Xvfb).
//
//   App app = App::Launch({1920, 1080});          // a fresh desktop of that size; waits for the window
//   HWND log = app.Control(Edit1Id);
//   std::string bytes = ReadText(log);            // code page 936, as the program holds it
//   PressKeys({VK_TAB});                          // real keyboard input to the focused control
//   ClickButton(app.Control(Button1Id));
//   HWND dialog = app.WaitForDialog();            // the owned open-file dialog
//   ConfirmDialog(dialog, L"C:\\...\\file.exe");  // or CancelDialog(dialog)
//   EXPECT_EQ(app.WaitForExit(), 0u);
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/win32/unique_handle.h"

namespace pebitness::e2e {

struct ScreenSize {
    int width;
    int height;
};

// Where an executable under test is: the host path in the environment variable when it is set (so
// that the x64 driver can drive the x86 build's programs), else builtHostPath, made by this build.
std::wstring ExecutableUnderTest(const wchar_t* variable, const char* builtHostPath);
// The program under test: PEBITNESS_E2E_APP, or the program that this build made.
std::wstring ProgramUnderTest();

class App {
public:
    // Starts exe on a new virtual desktop of the given size, attaches this thread to that desktop
    // and waits until the program's top-level window is visible. A failure to start, or no window
    // within the timeout, is a fatal test failure (check with ASSERT_NO_FATAL_FAILURE).
    static App Launch(ScreenSize screen = {1024, 768},
                      const std::wstring& exe = ProgramUnderTest());
    // Starts exe the same way but does not wait for a window: for programs expected to fail early.
    static App Start(ScreenSize screen = {1024, 768},
                     const std::wstring& exe = ProgramUnderTest());
    // Waits until the program shows its top-level window; false after the timeout.
    bool WaitForWindow(DWORD timeoutMs = 20000);
    // A visible top-level window of the program of the given class ("#32770" for dialogs and
    // message boxes), owned by owner (null: any owner); null when there is none.
    HWND FindTopLevel(const char* className, HWND owner = nullptr) const;

    App() = default;
    App(App&& other) noexcept;
    App& operator=(App&&) = delete;
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    // Ends a program that is still running.
    ~App();

    HWND window() const { return window_; }
    HWND Control(int id) const { return ::GetDlgItem(window_, id); }
    // The control that has the keyboard focus in the program, and its active window.
    HWND Focus() const;
    HWND Active() const;

    // Waits until the program's open-file dialog (an owned #32770 window) is up with its controls.
    // Null after the timeout.
    HWND WaitForDialog(DWORD timeoutMs = 10000) const;

    // Waits for the process to end; its exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 10000);
    bool Running() const;
    DWORD processId() const { return processId_; }

private:
    UniqueKernelHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// A window's text as bytes in code page 936 (WM_GETTEXT in UTF-16, then converted).
std::string ReadText(HWND window);
std::wstring ReadWideText(HWND window);
std::string ClassName(HWND window);

// Code page 936 bytes from UTF-8 and back.
std::string Cp936FromUtf8(const std::string& utf8);
std::string Cp936FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);
// A path of the host (/work/...) as Wine's programs see it: Z:\work\...
std::wstring WinePathOfHost(const char* hostPath);

// Keyboard input through the system's input path, to whatever has the focus. VK_SHIFT, VK_MENU
// and VK_CONTROL in the list are held down until the list ends.
void PressKeys(std::initializer_list<WORD> keys);
// Types text (UTF-16) into the focused control as keyboard input.
void TypeText(const std::wstring& text);
// A click of a push button as the user makes it (mouse input).
void ClickButton(HWND button);

// The open-file dialog's file-name box.
HWND DialogFileNameBox(HWND dialog);
// The open-file dialog: puts the path into its file-name box and presses Open, or presses Cancel.
void ConfirmDialog(HWND dialog, const std::wstring& path);
void CancelDialog(HWND dialog);

// Waits until condition() holds, polling; false after the timeout.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 10000) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
}

// Saves what the screen shows of the window as a PNG file under the build tree's screenshots
// folder (created when missing); returns the file's path. A file that cannot be written fails the
// test.
std::wstring SaveScreenshot(HWND window, const std::wstring& name);
// The colour of one pixel of the screen, at a point of the window's client area.
COLORREF ClientPixel(HWND window, int x, int y);
// Whether some pixel in the rectangle (window coordinates, frame included) is within a few steps
// of the colour on each channel.
bool ScreenHasColourNear(HWND window, RECT area, COLORREF colour);
// Waits until the program has painted what is pending, so that the screen shows its window.
void WaitForPaint(HWND window);

// A temporary folder of the test that removes itself with everything in it.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::wstring& path() const { return path_; }
    // Makes the sub-folders (relative, '\\'-separated) and writes bytes to the file; returns the
    // file's full path.
    std::wstring Write(const std::wstring& relative, const std::string& bytes) const;

private:
    std::wstring path_;
};

}  // namespace pebitness::e2e
