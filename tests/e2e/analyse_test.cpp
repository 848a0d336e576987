// The analyse command as the user works it: click 按钮1, answer the real open-file dialog, read
// the path box and the log back as bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/texts.h"
#include "classify/classify.h"
#include "tests/e2e/support.h"

namespace pebitness::e2e {
namespace {

const std::string Instruction(InstructionText.data(), InstructionText.size());
const std::string Is32(Verdict32.data(), Verdict32.size());
const std::string Is64(Verdict64.data(), Verdict64.size());
const std::string IsUnknown(VerdictUnknown.data(), VerdictUnknown.size());

// The head of a PE file: "MZ", zeros, then "PE\0\0" at 64 and the COFF Machine field.
std::string PeHead(unsigned char machineLow, unsigned char machineHigh) {
    std::string head(64, '\0');
    head[0] = 'M';
    head[1] = 'Z';
    head += std::string("PE\0\0", 4);
    head.push_back(static_cast<char>(machineLow));
    head.push_back(static_cast<char>(machineHigh));
    head.resize(512, '\0');
    return head;
}

std::string LogLine(const std::string& verdict, const std::wstring& path) {
    return verdict + " : " + Cp936FromWide(path) + "\r\n";
}

// The files of one test, in a folder of their own.
struct Files {
    TempFolder folder;
    std::wstring x64 = folder.Write(L"x64.exe", PeHead(0x64, 0x86));
    std::wstring x86 = folder.Write(L"x86.dll", PeHead(0x4C, 0x01));
    std::wstring text = folder.Write(L"notes.txt", "PE? not an executable");
    std::wstring chinese =
        folder.Write(L"\x4E2D\x6587\x76EE\x5F55\\\x5B50\x76EE\x5F55\\\x7A0B\x5E8F.exe",  // 中文目录\子目录\程序.exe
                     PeHead(0x64, 0x86));
    // Names that code page 936 cannot hold: 한 has no counterpart, ä only the look-alike a, which
    // names another file here, a 32-bit one.
    std::wstring korean = folder.Write(L"\xD55C.exe", PeHead(0x64, 0x86));
    std::wstring umlaut = folder.Write(L"\x00E4.exe", PeHead(0x64, 0x86));
    std::wstring lookAlike = folder.Write(L"a.exe", PeHead(0x4C, 0x01));
    // A Hangul folder and an emoji in the file name: 한국어 폴더\😀 x64.exe
    std::wstring hangulEmoji = folder.Write(
        L"\xD55C\xAD6D\xC5B4 \xD3F4\xB354\\\xD83D\xDE00 x64.exe", PeHead(0x64, 0x86));
    // What such a choice is remembered as: the file's short path.
    std::wstring koreanShort = ShortPathOf(korean);
    std::wstring umlautShort = ShortPathOf(umlaut);
    std::wstring hangulEmojiShort = ShortPathOf(hangulEmoji);
    // Wider than the log box: its line wraps at the right edge.
    std::wstring wide = folder.Write(std::wstring(70, L'w') + L"\\" + std::wstring(70, L'v') +
                                         L"\\wide.exe",
                                     PeHead(0x64, 0x86));
    // Well within the dialog's wide buffer, but over 259 bytes in code page 936: 长 is two bytes.
    std::wstring tooLong = folder.Write(LongFolders() + L"x64.exe", PeHead(0x64, 0x86));

    static std::wstring ShortPathOf(const std::wstring& path) {
        wchar_t shortPath[MAX_PATH] = {};
        const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
        return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(shortPath, length);
    }

    static std::wstring LongFolders() {
        std::wstring folders;
        for (int i = 0; i < 4; ++i) folders += std::wstring(30, L'\x957F') + L"\\";
        return folders;
    }
};

enum class Answer { Confirm, Cancel };

// One click of 按钮1: waits for the dialog, checks it and MainWindow while it is open, answers it
// and waits for the new log line.
void Analyse(const App& app, Answer answer, const std::wstring& path,
             const std::wstring& offered) {
    const HWND log = app.Control(Edit1Id);
    const LRESULT before = ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0);
    ClickButton(app.Control(Button1Id));
    const HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << "no open-file dialog";
    EXPECT_FALSE(::IsWindowEnabled(app.window())) << "MainWindow takes input behind the dialog";
    // The dialog offers the remembered file: in its folder, by name (Wine), or by full path.
    const std::wstring box = ReadWideText(DialogFileNameBox(dialog));
    const std::size_t slash = offered.rfind(L'\\');
    EXPECT_TRUE(box == offered || (slash != std::wstring::npos && box == offered.substr(slash + 1)))
        << "the dialog offers \"" << Cp936FromWide(box) << "\"";
    if (answer == Answer::Confirm)
        ConfirmDialog(dialog, path);
    else
        CancelDialog(dialog);
    ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(log, WM_GETTEXTLENGTH, 0, 0) > before; }))
        << "no line was appended";
    EXPECT_FALSE(::IsWindow(dialog) && ::IsWindowVisible(dialog));
}

struct Click {
    Answer answer;
    std::wstring Files::*file;  // what is typed into the dialog (confirm only)
    const std::string* verdict;
    std::wstring Files::*logged;  // null: the empty path
};

struct AnalyseCase {
    const char* name;
    std::vector<Click> clicks;
};

const AnalyseCase analyseCases[] = {
    {"a 64-bit file", {{Answer::Confirm, &Files::x64, &Is64, &Files::x64}}},
    {"a 32-bit file", {{Answer::Confirm, &Files::x86, &Is32, &Files::x86}}},
    {"a file that is no executable", {{Answer::Confirm, &Files::text, &IsUnknown, &Files::text}}},
    {"the first click cancelled analyses the empty path",
     {{Answer::Cancel, nullptr, &IsUnknown, nullptr}}},
    {"a later cancel analyses the remembered file again",
     {{Answer::Confirm, &Files::x86, &Is32, &Files::x86},
      {Answer::Cancel, nullptr, &Is32, &Files::x86},
      {Answer::Confirm, &Files::x64, &Is64, &Files::x64},
      {Answer::Cancel, nullptr, &Is64, &Files::x64}}},
    {"a path with Chinese folder names",
     {{Answer::Confirm, &Files::chinese, &Is64, &Files::chinese}}},
    {"a path over 259 bytes is not confirmed at first",
     {{Answer::Confirm, &Files::tooLong, &IsUnknown, nullptr}}},
    {"a path over 259 bytes leaves the remembered file",
     {{Answer::Confirm, &Files::x86, &Is32, &Files::x86},
      {Answer::Confirm, &Files::tooLong, &Is32, &Files::x86}}},
    // A path that code page 936 cannot hold is confirmed as the file's short path, so the line
    // names the file just chosen, not the one remembered before.
    {"a name that code page 936 cannot hold is confirmed as its short path",
     {{Answer::Confirm, &Files::x86, &Is32, &Files::x86},
      {Answer::Confirm, &Files::korean, &Is64, &Files::koreanShort}}},
    {"a name that code page 936 holds only as a look-alike is confirmed as its short path",
     {{Answer::Confirm, &Files::umlaut, &Is64, &Files::umlautShort}}},
    {"a Hangul folder and an emoji file name give the short path",
     {{Answer::Confirm, &Files::hangulEmoji, &Is64, &Files::hangulEmojiShort},
      {Answer::Cancel, nullptr, &Is64, &Files::hangulEmojiShort}}},
};

// The short paths that the cases above expect stand for the chosen files: code page 936 holds
// them exactly, they fit the dialog's 259 bytes, and they lead back to the long paths.
TEST(AnalyseCommand, ShortPathsOfNamesOutsideCodePage936NameTheSameFiles) {
    Files files;
    const std::wstring Files::*const cases[][2] = {
        {&Files::korean, &Files::koreanShort},
        {&Files::umlaut, &Files::umlautShort},
        {&Files::hangulEmoji, &Files::hangulEmojiShort},
    };
    for (const auto& c : cases) {
        const std::wstring& longPath = files.*c[0];
        const std::wstring& shortPath = files.*c[1];
        SCOPED_TRACE(Cp936FromWide(shortPath));
        ASSERT_FALSE(shortPath.empty()) << "the file system gives no short path";
        EXPECT_NE(shortPath, longPath);
        BOOL lossy = FALSE;
        const int bytes = ::WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, shortPath.c_str(),
                                                static_cast<int>(shortPath.size()), nullptr, 0,
                                                nullptr, &lossy);
        EXPECT_FALSE(lossy);
        EXPECT_LE(bytes, 259);
        wchar_t back[1024] = {};
        const DWORD length = ::GetLongPathNameW(shortPath.c_str(), back, 1024);
        EXPECT_EQ(std::wstring(back, length), longPath);
    }
}

TEST(AnalyseCommand, AppendsOneLinePerClickWithTheVerdictAndThePathBoxContent) {
    for (const AnalyseCase& c : analyseCases) {
        SCOPED_TRACE(c.name);
        Files files;
        ASSERT_GT(Cp936FromWide(files.tooLong).size(), 259u);
        ASSERT_TRUE(std::filesystem::exists(files.tooLong));
        App app = App::Launch();
        ASSERT_NE(app.window(), nullptr);
        std::string expected = Instruction;
        std::wstring remembered;
        for (const Click& click : c.clicks) {
            const std::wstring typed = click.file ? files.*click.file : std::wstring();
            ASSERT_NO_FATAL_FAILURE(Analyse(app, click.answer, typed, remembered));
            const std::wstring logged = click.logged ? files.*click.logged : std::wstring();
            expected += LogLine(*click.verdict, logged);
            remembered = logged;
            EXPECT_EQ(ReadText(app.Control(Edit2Id)), Cp936FromWide(logged));
        }
        EXPECT_EQ(ReadText(app.Control(Edit1Id)), expected);
        EXPECT_TRUE(::IsWindowEnabled(app.window()));
        PressKeys({VK_ESCAPE});
        EXPECT_EQ(app.WaitForExit(), 0u);
    }
}

TEST(AnalyseCommand, ReplacesAPathTypedIntoThePathBoxBeforeReadingIt) {
    Files files;
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    PressKeys({VK_TAB});
    ASSERT_TRUE(WaitUntil([&] { return app.Focus() == app.Control(Edit2Id); }));
    TypeText(files.x64);
    ASSERT_TRUE(WaitUntil([&] { return ReadWideText(app.Control(Edit2Id)) == files.x64; }));
    ASSERT_NO_FATAL_FAILURE(Analyse(app, Answer::Cancel, L"", L""));
    EXPECT_EQ(ReadText(app.Control(Edit2Id)), "");
    EXPECT_EQ(ReadText(app.Control(Edit1Id)), Instruction + LogLine(IsUnknown, L""));
}

TEST(AnalyseCommand, TheDialogIsModalAndTheFocusComesBackToTheButton) {
    Files files;
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    // To the button by keyboard, and a click with the space bar.
    PressKeys({VK_SHIFT, VK_TAB});
    ASSERT_TRUE(WaitUntil([&] { return app.Focus() == app.Control(Button1Id); }));
    PressKeys({VK_SPACE});
    const HWND dialog = app.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(app.window()));
    EXPECT_EQ(app.Active(), dialog);
    SaveScreenshot(dialog, L"open-file-dialog");
    ConfirmDialog(dialog, files.x86);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(app.window()) != FALSE; }));
    EXPECT_TRUE(WaitUntil([&] { return app.Focus() == app.Control(Button1Id); }));
    EXPECT_EQ(app.Active(), app.window());
    EXPECT_EQ(app.FindTopLevel("#32770", app.window()), nullptr);
    EXPECT_EQ(ReadText(app.Control(Edit1Id)), Instruction + LogLine(Is32, files.x86));
}

TEST(AnalyseCommand, DropsTheUserSelectionAndKeepsTheEndInView) {
    Files files;
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    const HWND log = app.Control(Edit1Id);
    std::string expected = Instruction;
    // Enough long lines that the log box scrolls; each wraps at the box's right edge.
    for (int i = 0; i < 10; ++i) {
        ASSERT_NO_FATAL_FAILURE(
            Analyse(app, Answer::Confirm, files.wide, i == 0 ? L"" : files.wide));
        expected += LogLine(Is64, files.wide);
    }
    EXPECT_GT(::SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    // The user selects the first line of the log with the keyboard.
    PressKeys({VK_SHIFT, VK_TAB});
    PressKeys({VK_SHIFT, VK_TAB});
    ASSERT_TRUE(WaitUntil([&] { return app.Focus() == log; }));
    PressKeys({VK_CONTROL, VK_HOME});
    PressKeys({VK_SHIFT, VK_DOWN});
    ASSERT_TRUE(WaitUntil([&] {
        const LRESULT selection = ::SendMessageW(log, EM_GETSEL, 0, 0);
        return LOWORD(selection) == 0 && HIWORD(selection) > 0;
    }));
    ASSERT_EQ(::SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SaveScreenshot(app.window(), L"log-with-a-user-selection");

    ASSERT_NO_FATAL_FAILURE(Analyse(app, Answer::Confirm, files.x86, files.wide));
    expected += LogLine(Is32, files.x86);
    EXPECT_EQ(ReadText(log), expected);
    const auto end = static_cast<WORD>(ReadWideText(log).size());
    const LRESULT selection = ::SendMessageW(log, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(selection), end);
    EXPECT_EQ(HIWORD(selection), end);
    // The last line, where the caret stands, is in view.
    const LRESULT lines = ::SendMessageW(log, EM_GETLINECOUNT, 0, 0);
    EXPECT_GT(::SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(::SendMessageW(log, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), lines - 1);
    SaveScreenshot(app.window(), L"log-after-analyses");
}

TEST(AnalyseCommand, KeepsEveryLineInOrderFarPastTheDefaultEditLimit) {
    // Paths of about 200 characters; 300 clicks make a log of some 65000 characters, well past
    // the 32767 that a box with the default limit would cut it at.
    TempFolder folder;
    const std::wstring deep = std::wstring(60, L'd') + L"\\" + std::wstring(60, L'e') + L"\\";
    struct Kind {
        std::wstring path;
        const std::string* verdict;
    };
    const Kind kinds[] = {
        {folder.Write(deep + std::wstring(40, L'a') + L".exe", PeHead(0x64, 0x86)), &Is64},
        {folder.Write(deep + std::wstring(40, L'b') + L".dll", PeHead(0x4C, 0x01)), &Is32},
        {folder.Write(deep + std::wstring(40, L'c') + L".txt", "no PE here"), &IsUnknown},
    };
    App app = App::Launch();
    ASSERT_NE(app.window(), nullptr);
    std::string expected = Instruction;
    std::wstring offered;
    constexpr int Clicks = 300;
    for (int i = 0; i < Clicks; ++i) {
        const Kind& kind = kinds[i % 3];
        SCOPED_TRACE(i);
        ASSERT_NO_FATAL_FAILURE(Analyse(app, Answer::Confirm, kind.path, offered));
        expected += LogLine(*kind.verdict, kind.path);
        offered = kind.path;
    }
    const std::wstring log = ReadWideText(app.Control(Edit1Id));
    EXPECT_GT(log.size(), 60000u);
    EXPECT_EQ(Cp936FromWide(log), expected);
    PressKeys({VK_ESCAPE});
    EXPECT_EQ(app.WaitForExit(), 0u);
}

}  // namespace
}  // namespace pebitness::e2e
