#include <windows.h>

#include <commctrl.h>

#include "platform/fatal.h"
#include "platform/win32/code_page.h"
#include "platform/win32/window_source.h"
#include "platform/window.h"

namespace pebitness {

static_assert(control_style::TabStop == WS_TABSTOP);
static_assert(control_style::LabelLeftNoWrap == SS_LEFTNOWORDWRAP);
static_assert(control_style::LabelCentreVertically == SS_CENTERIMAGE);
static_assert(control_style::ButtonPush == BS_PUSHBUTTON);
static_assert(control_style::ButtonCentre == BS_CENTER);
static_assert(control_style::ButtonCentreVertically == BS_VCENTER);
static_assert(control_style::ButtonMultiLine == BS_MULTILINE);
static_assert(control_style::EditLeft == ES_LEFT);
static_assert(control_style::EditMultiLine == ES_MULTILINE);
static_assert(control_style::EditAutoVScroll == ES_AUTOVSCROLL);
static_assert(control_style::EditAutoHScroll == ES_AUTOHSCROLL);
static_assert(control_style::EditReadOnly == ES_READONLY);
static_assert(control_style::EditWantReturn == ES_WANTRETURN);
static_assert(control_style::StaticEdge == WS_EX_STATICEDGE);

namespace {

constexpr wchar_t WindowClassName[] = L"PebitnessWindow";
// A fixed frame: title bar, system menu with Move and Close, a minimise box; no sizing border and
// no maximise box.
constexpr DWORD TopLevelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The toolkit's model: the windows that exist, for the fatal-error notes and for the quit request.
Window* liveWindows = nullptr;

HWND AsHwnd(NativeWindow window) { return static_cast<HWND>(window); }

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

HFONT GuiFont() { return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)); }

const wchar_t* ClassOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return L"Static";
    case ControlKind::Button: return L"Button";
    case ControlKind::Edit: return L"Edit";
    }
    return L"Static";
}

HICON LoadAppIcon(int resource, int sizeMetric) {
    // Shared icons of the system's standard sizes belong to the module: nothing to destroy.
    const int size = ::GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(::LoadImageW(ThisModule(), MAKEINTRESOURCEW(resource), IMAGE_ICON,
                                           size, size, LR_SHARED));
}

}  // namespace

// The window procedure and one handler per message, over the toolkit's Window.
struct Window::Backend {
    Window& window;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool PreTranslate(const MSG& msg);
    static void RegisterWindowClass(int iconResource);
    static FatalSubject Subject(std::int32_t windowId, std::int32_t componentId);

    HWND hwnd() const { return AsHwnd(window.native_); }
    const ControlDescription* Find(HWND control) const;
    void MoveFocus(bool backwards) const;

    LRESULT OnActivate(WPARAM wParam);
    LRESULT OnSetFocus();
    LRESULT OnCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColorStatic(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(HWND hwnd);
    LRESULT OnGetMinMaxInfo(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnNcDestroy();
};

FatalSubject Window::Backend::Subject(std::int32_t windowId, std::int32_t componentId) {
    FatalSubject subject;
    for (Window* w = liveWindows; w != nullptr; w = w->nextLive_) {
        if (w->description_.id != windowId) continue;
        subject.windowFound = true;
        subject.windowTag = w->description_.tag;
        for (std::size_t i = 0; i < w->controlCount_; ++i)
            if (componentId != 0 && w->controls_[i].id == componentId)
                subject.componentFound = true;  // controls carry no tag of their own
    }
    return subject;
}

const ControlDescription* Window::Backend::Find(HWND control) const {
    if (control == nullptr || ::GetParent(control) != hwnd()) return nullptr;
    const int id = ::GetDlgCtrlID(control);
    for (std::size_t i = 0; i < window.controlCount_; ++i)
        if (window.controls_[i].id == id) return &window.controls_[i];
    return nullptr;
}

void Window::Backend::MoveFocus(bool backwards) const {
    // Tab stops in table order; from outside them, forwards starts at the first, backwards at the
    // last.
    const std::size_t count = window.controlCount_;
    const ControlDescription* current = Find(::GetFocus());
    std::size_t at = count;
    for (std::size_t i = 0; i < count; ++i)
        if (&window.controls_[i] == current) at = i;
    for (std::size_t step = 1; step <= count; ++step) {
        std::size_t next;
        if (at == count)
            next = backwards ? count - step : step - 1;
        else
            next = backwards ? (at + count - step) % count : (at + step) % count;
        const ControlDescription& c = window.controls_[next];
        if ((c.style & control_style::TabStop) == 0) continue;
        ::SetFocus(::GetDlgItem(hwnd(), c.id));
        return;
    }
}

void Window::Backend::RegisterWindowClass(int iconResource) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(ThisModule(), WindowClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ThisModule();
    wc.hIcon = LoadAppIcon(iconResource, SM_CXICON);
    wc.hIconSm = LoadAppIcon(iconResource, SM_CXSMICON);
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = WindowClassName;
    ::RegisterClassExW(&wc);
}

bool Window::Backend::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam != VK_TAB && msg.wParam != VK_ESCAPE && msg.wParam != VK_RETURN) return false;
    const HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    for (Window* w = liveWindows; w != nullptr; w = w->nextLive_) {
        if (AsHwnd(w->native_) != root || root == nullptr) continue;
        // After a fatal failure the keys are swallowed: nothing may act any more.
        if (FatalErrorRaised()) return true;
        Backend backend{*w};
        switch (msg.wParam) {
        case VK_TAB: backend.MoveFocus(::GetKeyState(VK_SHIFT) < 0); break;
        case VK_ESCAPE: ::SendMessageW(root, WM_CLOSE, 0, 0); break;
        default: break;  // Enter: no default button, and no control takes it
        }
        return true;
    }
    return false;
}

LRESULT CALLBACK Window::Backend::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Window*>(created->lpCreateParams);
        self->native_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    Backend backend{*self};
    switch (message) {
    // Keep the focus on the control that had it when the window was last active, or on the
    // first tab stop; DefWindowProc would put it on the window itself.
    case WM_ACTIVATE: return backend.OnActivate(wParam);
    case WM_SETFOCUS: return backend.OnSetFocus();
    // Button clicks become the program's click events.
    case WM_COMMAND: return backend.OnCommand(hwnd, message, wParam, lParam);
    // A read-only edit box asks for the static colours; it stays white like an editable one.
    case WM_CTLCOLORSTATIC: return backend.OnCtlColorStatic(hwnd, message, wParam, lParam);
    // Closing asks nothing; after a fatal failure the window stays as it was drawn.
    case WM_CLOSE: return backend.OnClose(hwnd);
    // The window keeps its outer size on a screen smaller than it.
    case WM_GETMINMAXINFO: return backend.OnGetMinMaxInfo(hwnd, message, wParam, lParam);
    // The last window gone ends the message loop.
    case WM_NCDESTROY:
        backend.OnNcDestroy();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    default: return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT Window::Backend::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (Find(focus) != nullptr) window.lastFocus_ = focus;
        return 0;
    }
    if (HIWORD(wParam) == 0) OnSetFocus();  // not while minimised
    return 0;
}

LRESULT Window::Backend::OnSetFocus() {
    const HWND last = AsHwnd(window.lastFocus_);
    if (last != nullptr && ::IsWindow(last) && ::IsChild(hwnd(), last))
        ::SetFocus(last);
    else
        MoveFocus(false);
    return 0;
}

LRESULT Window::Backend::OnCommand(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const ControlDescription* control = Find(reinterpret_cast<HWND>(lParam));
    if (control == nullptr || control->kind != ControlKind::Button ||
        HIWORD(wParam) != BN_CLICKED)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (!FatalErrorRaised()) window.events_.OnClick(control->id);
    return 0;
}

LRESULT Window::Backend::OnCtlColorStatic(HWND hwnd, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    const ControlDescription* control = Find(reinterpret_cast<HWND>(lParam));
    if (control == nullptr || control->kind != ControlKind::Edit)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    const HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
}

LRESULT Window::Backend::OnClose(HWND hwnd) {
    if (!FatalErrorRaised()) ::DestroyWindow(hwnd);
    return 0;
}

LRESULT Window::Backend::OnGetMinMaxInfo(HWND hwnd, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    // The system caps a new window at a little more than the screen; a narrow screen would shrink
    // it, and the window's size is fixed.
    const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info->ptMaxTrackSize.x < window.description_.width)
        info->ptMaxTrackSize.x = window.description_.width;
    if (info->ptMaxTrackSize.y < window.description_.height)
        info->ptMaxTrackSize.y = window.description_.height;
    return result;
}

void Window::Backend::OnNcDestroy() {
    ::SetWindowLongPtrW(hwnd(), GWLP_USERDATA, 0);
    window.native_ = nullptr;
    window.lastFocus_ = nullptr;
    for (Window* w = liveWindows; w != nullptr; w = w->nextLive_)
        if (w->native_ != nullptr) return;
    ::PostQuitMessage(0);
}

Window::Window(const WindowDescription& description, const ControlDescription* controls,
               std::size_t controlCount, WindowEvents& events) noexcept
    : description_(description), controls_(controls), controlCount_(controlCount),
      events_(events) {
    nextLive_ = liveWindows;
    liveWindows = this;
    SetFatalSubjectLookup(Backend::Subject);
}

Window::~Window() {
    if (native_ != nullptr) ::DestroyWindow(AsHwnd(native_));
    for (Window** link = &liveWindows; *link != nullptr; link = &(*link)->nextLive_) {
        if (*link == this) {
            *link = nextLive_;
            break;
        }
    }
}

void Window::Load() {
    // The controls take the visual style that the manifest's common controls give them.
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&common);
    Backend::RegisterWindowClass(description_.iconResource);

    // Centred on the whole primary screen, not its work area; the quotients truncate toward zero.
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - description_.width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - description_.height) / 2;
    const WideText title = WideFromText(description_.title);
    const HWND hwnd = CreateNativeWindow(0, WindowClassName, title.c_str(), TopLevelStyle, left,
                                         top, description_.width, description_.height, nullptr,
                                         nullptr, ThisModule(), this);
    if (hwnd == nullptr) RaiseFatalError(StartupWindowFailed, description_.id, 0);
    // WM_GETMINMAXINFO comes before WM_NCCREATE, so creation capped the size on a screen smaller
    // than the window; set it again now that OnGetMinMaxInfo answers.
    ::SetWindowPos(hwnd, nullptr, 0, 0, description_.width, description_.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const HFONT font = GuiFont();
    ::SendMessageW(hwnd, WM_SETICON, ICON_BIG,
                   reinterpret_cast<LPARAM>(LoadAppIcon(description_.iconResource, SM_CXICON)));
    ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(LoadAppIcon(description_.iconResource, SM_CXSMICON)));
    ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (std::size_t i = 0; i < controlCount_; ++i) {
        const ControlDescription& c = controls_[i];
        const WideText text = WideFromText(c.text);
        const HWND control = CreateNativeWindow(
            c.extendedStyle, ClassOf(c.kind), text.c_str(), WS_CHILD | WS_VISIBLE | c.style,
            c.left, c.top, c.width, c.height, hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), ThisModule(), nullptr);
        if (control == nullptr) RaiseFatalError(StartupWindowFailed, description_.id, 0);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // No length limit of the box's own: the default of about 30000 characters would cut the
        // log.
        if (c.kind == ControlKind::Edit) ::SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
    }

    if (!FatalErrorRaised()) events_.OnCreated();
}

void Window::Show() {
    const HWND hwnd = AsHwnd(native_);
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
}

Text Window::ControlText(int controlId) const {
    const HWND control = ::GetDlgItem(AsHwnd(native_), controlId);
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0) return {};
    WideText wide = WideText::OfSize(static_cast<std::size_t>(length));
    const int copied = ::GetWindowTextW(control, wide.data(), length + 1);
    return TextFromWide(wide.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Window::SetControlText(int controlId, TextView text) {
    const WideText wide = WideFromText(text);
    ::SetWindowTextW(::GetDlgItem(AsHwnd(native_), controlId), wide.c_str());
}

void Window::AppendToEdit(int controlId, TextView text) {
    const HWND edit = ::GetDlgItem(AsHwnd(native_), controlId);
    const WideText wide = WideFromText(text);
    const WPARAM end = static_cast<WPARAM>(::GetWindowTextLengthW(edit));
    ::SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
    ::SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide.c_str()));
}

int RunMessageLoop() {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (Window::Backend::PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

}  // namespace pebitness
