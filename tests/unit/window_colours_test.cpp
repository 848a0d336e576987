// The colours the window toolkit itself sets, asked of a window in this process: its class paints
// the 3-D face colour, and a read-only edit box, which asks its parent for the static colours (the
// face colour by default), is answered with the window colours an editable box has. How the
// system's colour scheme looks is not this program's to test.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/native_window.h"
#include "platform/win32/unique_handle.h"
#include "platform/window.h"

namespace pebitness {
namespace {

using namespace control_style;

constexpr int LabelId = 1;
constexpr int ReadOnlyEditId = 2;
constexpr int EditId = 3;

constexpr WindowDescription Description = {7, "colours", "colours", 300, 200, 1};
constexpr ControlDescription Controls[] = {
    {LabelId, ControlKind::Label, 8, 8, 80, 20, "label", LabelLeftNoWrap, 0},
    {ReadOnlyEditId, ControlKind::Edit, 8, 40, 200, 60, "log",
     EditMultiLine | EditReadOnly | TabStop, StaticEdge},
    {EditId, ControlKind::Edit, 8, 110, 200, 20, "path", EditLeft | EditAutoHScroll | TabStop,
     StaticEdge},
};

class NoEvents final : public WindowEvents {
public:
    void OnCreated() override {}
    void OnClick(int) override {}
};

HWND AsHwnd(NativeWindow window) { return static_cast<HWND>(window); }

TEST(WindowColours, FaceColourClassAndWindowColoursForTheReadOnlyEditBox) {
    NoEvents events;
    Window window(Description, Controls, events);
    window.Load();
    const HWND hwnd = AsHwnd(window.native());
    ASSERT_NE(hwnd, nullptr);

    EXPECT_EQ(::GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);

    const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    auto askStaticColours = [&](int id) {
        ::SetTextColor(dc.get(), RGB(1, 2, 3));
        ::SetBkColor(dc.get(), RGB(4, 5, 6));
        return ::SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                              reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, id)));
    };
    const auto windowBrush = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(askStaticColours(ReadOnlyEditId), windowBrush);
    EXPECT_EQ(::GetTextColor(dc.get()), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(::GetBkColor(dc.get()), ::GetSysColor(COLOR_WINDOW));
    // The label keeps the system's answer: the edit box's is the toolkit's own doing.
    EXPECT_NE(askStaticColours(LabelId), windowBrush);
}

}  // namespace
}  // namespace pebitness
