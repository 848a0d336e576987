// The window toolkit: one top-level window loaded from a description and a table of controls, the
// keys it handles for its controls, and the message loop.
//
// Usage: describe the window and its controls as constants, give a WindowEvents to receive the
// created event and the button clicks, then Load(), Show() and RunMessageLoop(). Load() creates the
// window hidden, then every control, then raises OnCreated before anything is on screen; when the
// window or a control cannot be created it raises the fatal failure "载入启动窗口失败" for the
// window's identifier. Once a fatal failure has been raised no event reaches the WindowEvents.
//
// Keys go to the window before the focused control: Tab and Shift+Tab cycle the tab stops in table
// order with wrap, Escape closes the window from every control, Enter does nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/native_window.h"
#include "platform/text.h"

namespace pebitness {

enum class ControlKind { Label, Button, Edit };

// Control style bits. They carry the Win32 values (the backend checks that they match), so a table
// of controls reads like the window it makes without this header needing the system's headers.
namespace control_style {
inline constexpr std::uint32_t TabStop = 0x00010000;          // WS_TABSTOP
inline constexpr std::uint32_t LabelLeftNoWrap = 0x0000000C;  // SS_LEFTNOWORDWRAP
inline constexpr std::uint32_t LabelCentreVertically = 0x00000200;  // SS_CENTERIMAGE
inline constexpr std::uint32_t ButtonPush = 0x00000000;        // BS_PUSHBUTTON
inline constexpr std::uint32_t ButtonCentre = 0x00000300;      // BS_CENTER
inline constexpr std::uint32_t ButtonCentreVertically = 0x00000C00;  // BS_VCENTER
inline constexpr std::uint32_t ButtonMultiLine = 0x00002000;   // BS_MULTILINE
inline constexpr std::uint32_t EditLeft = 0x00000000;          // ES_LEFT
inline constexpr std::uint32_t EditMultiLine = 0x00000004;     // ES_MULTILINE
inline constexpr std::uint32_t EditAutoVScroll = 0x00000040;   // ES_AUTOVSCROLL
inline constexpr std::uint32_t EditAutoHScroll = 0x00000080;   // ES_AUTOHSCROLL
inline constexpr std::uint32_t EditReadOnly = 0x00000800;      // ES_READONLY
inline constexpr std::uint32_t EditWantReturn = 0x00001000;    // ES_WANTRETURN
// Extended style.
inline constexpr std::uint32_t StaticEdge = 0x00020000;        // WS_EX_STATICEDGE
}  // namespace control_style

struct ControlDescription {
    int id;
    ControlKind kind;
    int left, top, width, height;  // client-area pixels
    TextView text;
    std::uint32_t style;          // control_style bits; visible child window is implied
    std::uint32_t extendedStyle;  // control_style::StaticEdge or 0
};

struct WindowDescription {
    std::int32_t id;     // a small positive number: what a fatal-error note names the window by
    TextView tag;        // the tag a fatal-error note shows for the window
    TextView title;
    int width, height;   // outer size; the window is centred on the whole primary screen
    int iconResource;    // the executable's icon, set as large and small icon
};

// Receives the window's events on the UI thread.
class WindowEvents {
public:
    virtual void OnCreated() = 0;
    virtual void OnClick(int controlId) = 0;

protected:
    ~WindowEvents() = default;
};

class Window {
public:
    Window(const WindowDescription& description, const ControlDescription* controls,
           std::size_t controlCount, WindowEvents& events) noexcept;
    template <std::size_t N>
    Window(const WindowDescription& description, const ControlDescription (&controls)[N],
           WindowEvents& events) noexcept
        : Window(description, controls, N, events) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window();

    // Creates the window hidden with its controls and raises the created event.
    void Load();
    // Shows the window in its normal state and activates it.
    void Show();

    // A control's text; missing when the control is empty.
    Text ControlText(int controlId) const;
    // Replaces a control's whole text.
    void SetControlText(int controlId, TextView text);
    // Puts the caret after the last character (dropping any selection), scrolls it into view and
    // inserts text there, not recorded for undo. Works on read-only edit boxes too.
    void AppendToEdit(int controlId, TextView text);

    NativeWindow native() const noexcept { return native_; }

    // For the window procedure of the backend.
    struct Backend;

private:
    friend struct Backend;
    const WindowDescription& description_;
    const ControlDescription* controls_;
    std::size_t controlCount_;
    WindowEvents& events_;
    NativeWindow native_ = nullptr;
    NativeWindow lastFocus_ = nullptr;  // the control to give the focus back to on activation
    Window* nextLive_ = nullptr;  // the toolkit's list of windows, for fatal-error notes
};

// Dispatches input and events until the quit request, posted with code 0 when the last window has
// been destroyed; returns the quit code.
int RunMessageLoop();

}  // namespace pebitness
