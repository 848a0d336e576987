// MainWindow as the user meets it: where it opens, its frame and controls, the log after start,
// the keys, and the ways of closing it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "tests/e2e/support.h"

namespace pebitness::e2e {
namespace {

const std::string Instruction(InstructionText.data(), InstructionText.size());

bool HasAll(LONG_PTR value, LONG_PTR bits) { return (value & bits) == bits; }

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Tab until the control has the focus (the window opens with it in 编辑框1).
void FocusByTab(const App& app, int id) {
    HWND target = app.Control(id);
    for (int presses = 0; presses < 4 && app.Focus() != target; ++presses) {
        const HWND before = app.Focus();
        PressKeys({VK_TAB});
        WaitUntil([&] { return app.Focus() != before; }, 3000);
    }
    ASSERT_EQ(app.Focus(), target);
}

struct PlacementCase {
    const char* name;
    ScreenSize screen;
    LONG left, top;
};

const PlacementCase placementCases[] = {
    {"1920x1080", {1920, 1080}, 694, 335},
    {"1366x768", {1366, 768}, 417, 179},
    // Narrower than the window: (480 - 532) / 2 truncates toward zero to -26.
    {"480x640 narrower than the window", {480, 640}, -26, 115},
};

TEST(MainWindow, OpensCentredOnTheWholeScreenWithItsOuterSize) {
    for (const PlacementCase& c : placementCases) {
        SCOPED_TRACE(c.name);
        App app = App::Launch(c.screen);
        ASSERT_NE(app.window(), nullptr);
        RECT rect{};
        ::GetWindowRect(app.window(), &rect);
        EXPECT_EQ(rect.left, c.left);
        EXPECT_EQ(rect.top, c.top);
        EXPECT_EQ(rect.right - rect.left, 532);
        EXPECT_EQ(rect.bottom - rect.top, 410);
        PressKeys({VK_ESCAPE});
        EXPECT_EQ(app.WaitForExit(), 0u);
    }
}

TEST(MainWindow, HasAFixedFrameWithMinimiseButNoMaximiseAndNoOwner) {
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    const HWND window = app.window();
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(HasAll(style, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(::GetMenu(window), nullptr);
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_FALSE(::IsZoomed(window));
    EXPECT_EQ(app.Active(), window);
    EXPECT_EQ(ReadText(window), std::string(WindowTitle.data(), WindowTitle.size()));
    // Wine sends no WM_GETICON or WM_GETFONT to another process: the small icon is looked for
    // on the screen, at the left of the title bar (its orange bar), the font in the screenshots.
    EXPECT_TRUE(ScreenHasColourNear(window, {0, 0, 32, 32}, RGB(0xE8, 0x86, 0x2A)));

    // Minimising and restoring change nothing else.
    ::PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsIconic(window) != FALSE; }));
    ::PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsIconic(window); }));
    EXPECT_EQ(ReadText(app.Control(Edit1Id)), Instruction);
    PressKeys({VK_ESCAPE});
    EXPECT_EQ(app.WaitForExit(), 0u);
}

struct ControlCase {
    const char* name;
    int id;
    const char* className;
    RECT rect;  // client coordinates of MainWindow
    LONG_PTR required, forbidden;
    LONG_PTR typeMask, type;  // the kind bits within the style
    LONG_PTR exRequired;
    std::string text;
};

const ControlCase controlCases[] = {
    {"编辑框1 log box", Edit1Id, "Edit", {8, 56, 520, 368},
     ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_READONLY | WS_TABSTOP,
     WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL | ES_CENTER | ES_RIGHT | ES_NOHIDESEL, 0, 0,
     WS_EX_STATICEDGE, Instruction},
    {"标签1 label", Label1Id, "Static", {16, 8, 80, 32}, SS_CENTERIMAGE,
     WS_TABSTOP | WS_BORDER, SS_TYPEMASK, SS_LEFTNOWORDWRAP, 0,
     std::string(PathLabelText.data(), PathLabelText.size())},
    {"编辑框2 path box", Edit2Id, "Edit", {96, 8, 448, 40}, ES_AUTOHSCROLL | WS_TABSTOP,
     ES_MULTILINE | ES_READONLY | ES_CENTER | ES_RIGHT | ES_NOHIDESEL, 0, 0, WS_EX_STATICEDGE,
     ""},
    {"按钮1 analyse button", Button1Id, "Button", {456, 8, 520, 40},
     BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP, 0, BS_TYPEMASK, BS_PUSHBUTTON, 0,
     std::string(AnalyseButtonText.data(), AnalyseButtonText.size())},
};

TEST(MainWindow, ControlsSitWhereTheTableSaysWithTheirStyles) {
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    for (const ControlCase& c : controlCases) {
        SCOPED_TRACE(c.name);
        const HWND control = app.Control(c.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassName(control), c.className);
        const RECT rect = ClientRectOf(control, app.window());
        EXPECT_EQ(rect.left, c.rect.left);
        EXPECT_EQ(rect.top, c.rect.top);
        EXPECT_EQ(rect.right, c.rect.right);
        EXPECT_EQ(rect.bottom, c.rect.bottom);
        const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
        EXPECT_TRUE(HasAll(style, c.required | WS_CHILD | WS_VISIBLE)) << std::hex << style;
        EXPECT_EQ(style & c.forbidden, 0) << std::hex << style;
        EXPECT_EQ(style & c.typeMask, c.type) << std::hex << style;
        EXPECT_EQ(::GetWindowLongPtrW(control, GWL_EXSTYLE) & WS_EX_STATICEDGE, c.exRequired);
        EXPECT_TRUE(::IsWindowEnabled(control));
        EXPECT_EQ(ReadText(control), c.text);
        // Edit boxes have no length limit of their own.
        if (std::string(c.className) == "Edit") {
            EXPECT_GE(static_cast<std::uint64_t>(::SendMessageW(control, EM_GETLIMITTEXT, 0, 0)),
                      0x7FFFFFFEu);
        }
    }
    SaveScreenshot(app.window(), L"main-window-at-start");
}

TEST(MainWindow, StartsWithTheInstructionTextTheCaretAfterItAndTheFocusInTheLog) {
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    const HWND log = app.Control(Edit1Id);
    EXPECT_EQ(ReadText(log), Instruction);
    EXPECT_EQ(ReadText(app.Control(Edit2Id)), "");
    EXPECT_TRUE(WaitUntil([&] { return app.Focus() == log; }));
    // Caret after the last character, nothing selected: the start of the empty third line.
    const auto end = static_cast<WORD>(ReadWideText(log).size());
    const LRESULT selection = ::SendMessageW(log, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(selection), end);
    EXPECT_EQ(HIWORD(selection), end);
    EXPECT_EQ(::SendMessageW(log, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 2);
    EXPECT_EQ(::SendMessageW(log, EM_GETLINECOUNT, 0, 0), 3);
}

// On screen, the read-only log box shows the window colour, not the face colour that a read-only
// edit box takes by default: the toolkit's answer to its colour request (checked in-process by
// the window colour tests) reaches the screen.
TEST(MainWindow, TheReadOnlyLogBoxShowsTheWindowColourOnScreen) {
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    // Only where the two colours differ does the pixel tell them apart.
    ASSERT_NE(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ClientPixel(app.window(), 300, 300), ::GetSysColor(COLOR_WINDOW));
}

struct FocusCase {
    const char* name;
    int from;
    std::vector<WORD> keys;
    int to;
};

const FocusCase focusCases[] = {
    {"Tab from 编辑框1", Edit1Id, {VK_TAB}, Edit2Id},
    {"Tab from 编辑框2", Edit2Id, {VK_TAB}, Button1Id},
    {"Tab from 按钮1 wraps", Button1Id, {VK_TAB}, Edit1Id},
    {"Shift+Tab from 编辑框1 wraps", Edit1Id, {VK_SHIFT, VK_TAB}, Button1Id},
    {"Shift+Tab from 按钮1", Button1Id, {VK_SHIFT, VK_TAB}, Edit2Id},
    {"Shift+Tab from 编辑框2", Edit2Id, {VK_SHIFT, VK_TAB}, Edit1Id},
};

TEST(MainWindow, TabAndShiftTabCycleTheThreeStopsAndSkipTheLabel) {
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    for (const FocusCase& c : focusCases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(FocusByTab(app, c.from));
        if (c.keys.size() == 1)
            PressKeys({c.keys[0]});
        else
            PressKeys({c.keys[0], c.keys[1]});
        EXPECT_TRUE(WaitUntil([&] { return app.Focus() == app.Control(c.to); }, 3000));
        EXPECT_NE(app.Focus(), app.Control(Label1Id));
    }
}

struct KeyCase {
    const char* name;
    int focusOn;
};

const KeyCase everyStop[] = {
    {"in 编辑框1", Edit1Id},
    {"in 编辑框2", Edit2Id},
    {"on 按钮1", Button1Id},
};

TEST(MainWindow, EnterDoesNothingAnywhere) {
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    for (const KeyCase& c : everyStop) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(FocusByTab(app, c.focusOn));
        PressKeys({VK_RETURN});
        // Input is handled in order: once the Tab after it has moved the focus, Enter is done.
        PressKeys({VK_TAB});
        EXPECT_TRUE(WaitUntil([&] { return app.Focus() != app.Control(c.focusOn); }, 3000));
        EXPECT_EQ(ReadText(app.Control(Edit1Id)), Instruction);
        EXPECT_EQ(ReadText(app.Control(Edit2Id)), "");
        EXPECT_EQ(app.FindTopLevel("#32770"), nullptr) << "a dialog opened";
        EXPECT_TRUE(app.Running());
    }
}

struct TypingCase {
    const char* name;
    int id;
    std::wstring typed;
    std::string expected;
};

TEST(MainWindow, TheLogTakesNoTypingThePathBoxDoes) {
    const TypingCase typingCases[] = {
        {"read-only 编辑框1 keeps the instruction text", Edit1Id, L"abc", Instruction},
        {"编辑框2 takes typed text", Edit2Id, L"C:\\\x4E2D\x6587.exe",
         Cp936FromUtf8("C:\\中文.exe")},
    };
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    for (const TypingCase& c : typingCases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(FocusByTab(app, c.id));
        TypeText(c.typed);
        const HWND before = app.Focus();
        PressKeys({VK_TAB});
        EXPECT_TRUE(WaitUntil([&] { return app.Focus() != before; }, 3000));
        EXPECT_EQ(ReadText(app.Control(c.id)), c.expected);
    }
}

enum class CloseBy { Escape, AltF4, CloseCommand };

struct CloseCase {
    const char* name;
    int focusOn;
    CloseBy how;
};

const CloseCase closeCases[] = {
    {"Escape in 编辑框1", Edit1Id, CloseBy::Escape},
    {"Escape in 编辑框2", Edit2Id, CloseBy::Escape},
    {"Escape on 按钮1", Button1Id, CloseBy::Escape},
    {"Alt+F4", Edit2Id, CloseBy::AltF4},
    {"close button (the Close command)", Edit1Id, CloseBy::CloseCommand},
};

TEST(MainWindow, EveryCloseRequestEndsTheProgramAtOnceWithExitCodeZero) {
    for (const CloseCase& c : closeCases) {
        SCOPED_TRACE(c.name);
        App app = App::Launch();
        ASSERT_NE(app.window(), nullptr);
        ASSERT_NO_FATAL_FAILURE(FocusByTab(app, c.focusOn));
        switch (c.how) {
        case CloseBy::Escape: PressKeys({VK_ESCAPE}); break;
        case CloseBy::AltF4: PressKeys({VK_MENU, VK_F4}); break;
        case CloseBy::CloseCommand:
            ::PostMessageW(app.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        EXPECT_EQ(app.WaitForExit(), 0u);
        EXPECT_FALSE(::IsWindow(app.window()));
    }
}

}  // namespace
}  // namespace pebitness::e2e
