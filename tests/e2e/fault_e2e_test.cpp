// The fatal path through the real program, in its fault-injection variant: which box comes up and
// what it says, what stops happening, and the exit code -1.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "classify/classify.h"
#include "fault/fault.h"
#include "fault/support_address.h"
#include "platform/fatal.h"
#include "tests/e2e/support.h"

namespace pebitness::e2e {
namespace {

std::string Str(TextView text) { return std::string(text.data(), text.size()); }

constexpr DWORD FatalExitCode = 0xFFFFFFFF;  // -1, all 32 bits

const std::string Hint = Str(FatalPositionHint);
const std::string Support = Str(ReportSupportLabel) + Str(SupportAddress);
// "分配 N 字节内存失败!"
std::string MemoryRequestFailed(std::size_t size) {
    return "\xB7\xD6\xC5\xE4 " + std::to_string(size) +
           " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";
}
// "运行时错误" (run-time error), the title of the platform's own box
const std::string PlatformBoxTitle = "\xD4\xCB\xD0\xD0\xCA\xB1\xB4\xED\xCE\xF3";
// "窗口标记: " and "组件未找到": what the note says of MainWindow (tag empty) and of no component
const std::string MainWindowDetails =
    "\xB4\xB0\xBF\xDA\xB1\xEA\xBC\xC7: \r\n\xD7\xE9\xBC\xFE\xCE\xB4\xD5\xD2\xB5\xBD\r\n";

std::wstring FaultVariant() {
    return ExecutableUnderTest(L"PEBITNESS_E2E_FAULT_VARIANT", PEBITNESS_FAULT_VARIANT_EXE);
}

// The variant's cues, set in this process's environment for the program it starts, and cleared
// again so that no other test inherits them.
class Cues {
public:
    Cues(const wchar_t* allocation, const wchar_t* window) {
        ::SetEnvironmentVariableW(L"PEBITNESS_FAIL_ALLOC", allocation);
        ::SetEnvironmentVariableW(L"PEBITNESS_FAIL_WINDOW", window);
    }
    Cues(const Cues&) = delete;
    Cues& operator=(const Cues&) = delete;
    ~Cues() {
        ::SetEnvironmentVariableW(L"PEBITNESS_FAIL_ALLOC", nullptr);
        ::SetEnvironmentVariableW(L"PEBITNESS_FAIL_WINDOW", nullptr);
    }
};

struct VisibleWindows {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<VisibleWindows*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && ::IsWindowVisible(window)) search->found.push_back(window);
    return TRUE;
}

// Every visible top-level window of the program.
std::vector<HWND> VisibleTopLevels(const App& app) {
    VisibleWindows search{app.processId(), {}};
    ::EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box: the static text (id 0xFFFF) holds its message.
std::string BoxText(HWND box) { return ReadText(::GetDlgItem(box, 0xFFFF)); }

// Waits for the one message box that the program shows without an owner.
HWND WaitForErrorBox(const App& app) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND window : VisibleTopLevels(app))
            if (ClassName(window) == "#32770" && ::GetWindow(window, GW_OWNER) == nullptr &&
                ::GetDlgItem(window, 0xFFFF) != nullptr)
                box = window;
        return box != nullptr;
    });
    return box;
}

// A folder with a short path of its own, so that a file in it can have a path of a chosen length.
class ShortFolder {
public:
    ShortFolder() : path_(L"C:\\pbf" + std::to_wstring(::GetCurrentProcessId())) {
        std::filesystem::create_directories(path_);
    }
    ShortFolder(const ShortFolder&) = delete;
    ShortFolder& operator=(const ShortFolder&) = delete;
    ~ShortFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    // A file whose full path is exactly length bytes (ASCII); it holds no executable head.
    std::wstring FileWithPathOfLength(std::size_t length) const {
        std::wstring file = path_ + L"\\";
        file += std::wstring(length - file.size() - 4, L'f') + L".bin";
        std::ofstream(std::filesystem::path(file), std::ios::binary) << "not an executable";
        return file;
    }

private:
    std::wstring path_;
};

// The log line of a click is joined into one new text of verdict + " : " + path + "\r\n" plus the
// terminating zero. A path of this length makes that request 64 bytes, the one the variant refuses.
constexpr std::size_t RefusedRequest = 64;
const std::size_t PathForRefusedLine =
    RefusedRequest - 1 - VerdictUnknown.size() - ResultSeparator.size() - LineEnd.size();

// Clicks 按钮1 and confirms the open-file dialog with path, then queues a second click right
// behind the dialog's Open (both are posted), so that it is waiting when the first click fails.
void ClickAnalyseWithQueuedSecondClick(const App& app, const std::wstring& path) {
    ClickButton(app.Control(Button1Id));
    const HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    ConfirmDialog(dialog, path);
    ClickButton(app.Control(Button1Id));
}

TEST(FatalReport, AFailedMemoryRequestInAClickEndsTheProgramThroughTheReport) {
    const Cues cues(L"64", nullptr);
    const ShortFolder folder;
    const std::wstring path = folder.FileWithPathOfLength(PathForRefusedLine);
    App app = App::Launch({1024, 768}, FaultVariant());
    ASSERT_NE(app.window(), nullptr);
    const HWND log = app.Control(Edit1Id);
    const std::string logBefore = ReadText(log);
    ASSERT_EQ(logBefore, Str(InstructionText));

    ASSERT_NO_FATAL_FAILURE(ClickAnalyseWithQueuedSecondClick(app, path));
    const HWND box = WaitForErrorBox(app);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadText(box), Str(ReportTitle));
    EXPECT_EQ(BoxText(box),
              "ErrorCode:  0\r\n"
              "ErrorNote:  " + MemoryRequestFailed(RefusedRequest) + "\r\n"
              "ErrorPos :   0, 0\r\n" + Support);
    EXPECT_NE(::GetDlgItem(box, IDOK), nullptr);

    // Give the queued click its chance: it must run nothing, so no dialog opens and the log keeps
    // its text without the failed line. The window stays on screen, and no other box comes up.
    ::Sleep(500);
    EXPECT_EQ(app.FindTopLevel("#32770", app.window()), nullptr);
    EXPECT_EQ(ReadText(log), logBefore);
    EXPECT_TRUE(::IsWindowVisible(app.window()));
    EXPECT_EQ(VisibleTopLevels(app).size(), 2u);
    // Modal to the whole program: MainWindow takes no input while the box is up.
    EXPECT_FALSE(::IsWindowEnabled(app.window()));
    SaveScreenshot(box, L"fatal-report");  // a file that cannot be written fails the test

    ClickButton(::GetDlgItem(box, IDOK));
    EXPECT_EQ(app.WaitForExit(), FatalExitCode);
}

TEST(FatalReport, AStartUpWindowThatCannotBeCreatedIsReportedAndNeverShown) {
    const std::string expected = "ErrorCode:  0\r\n"
                                 "ErrorNote:  " + Str(StartupWindowFailed) + "\r\n"
                                 "ErrorPos :   " + std::to_string(MainWindowId) + ", 0\r\n" +
                                 MainWindowDetails + Support;
    const struct {
        const char* name;
        const wchar_t* failingWindow;
    } cases[] = {
        {"MainWindow itself", L"1"},
        {"its first control", L"2"},
        {"its last control", L"5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Cues cues(nullptr, c.failingWindow);
        App app = App::Start({1024, 768}, FaultVariant());
        const HWND box = WaitForErrorBox(app);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ReadText(box), Str(ReportTitle));
        EXPECT_EQ(BoxText(box), expected);
        // The box is all there is on screen: MainWindow was never shown.
        EXPECT_EQ(VisibleTopLevels(app), std::vector<HWND>{box});
        ClickButton(::GetDlgItem(box, IDOK));
        EXPECT_EQ(app.WaitForExit(), FatalExitCode);
    }
}

TEST(FatalReport, AFailureWhileTheReportBuildsBringsOnlyThePlatformBox) {
    // From the refused line on, no request is met: the report's first one, its copy of the
    // platform's note, fails in turn.
    const Cues cues(L"64+", nullptr);
    const ShortFolder folder;
    const std::wstring path = folder.FileWithPathOfLength(PathForRefusedLine);
    App app = App::Launch({1024, 768}, FaultVariant());
    ASSERT_NE(app.window(), nullptr);

    ASSERT_NO_FATAL_FAILURE(ClickAnalyseWithQueuedSecondClick(app, path));
    const HWND box = WaitForErrorBox(app);
    ASSERT_NE(box, nullptr);
    const std::string firstNote =
        MemoryRequestFailed(RefusedRequest) + "\r\n" + Hint + " 0, 0\r\n";
    EXPECT_EQ(ReadText(box), PlatformBoxTitle);
    EXPECT_EQ(BoxText(box),
              MemoryRequestFailed(firstNote.size() + 1) + "\r\n" + Hint + " 0, 0\r\n");
    ::Sleep(300);
    EXPECT_EQ(VisibleTopLevels(app).size(), 2u);  // MainWindow and this box: no report
    ClickButton(::GetDlgItem(box, IDOK));
    EXPECT_EQ(app.WaitForExit(), FatalExitCode);
}

}  // namespace
}  // namespace pebitness::e2e
