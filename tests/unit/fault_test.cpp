// The program's fatal-error report: how it rewrites the platform's note and what its box shows.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "fault/fault.h"
#include "fault/support_address.h"
#include "platform/fatal.h"
#include "platform/fatal_internal.h"
#include "platform/memory.h"
#include "platform/message_box.h"
#include "tests/unit/failing_memory_source.h"

namespace pebitness {
namespace {

std::string Str(TextView text) { return std::string(text.data(), text.size()); }
TextView View(const std::string& text) { return TextView(text.data(), text.size()); }

const std::string Hint = Str(FatalPositionHint);
const std::string Support = "\xBC\xBC\xCA\xF5\xD6\xA7\xB3\xD6:   " + Str(SupportAddress);  // "技术支持:   "
// "分配 64 字节内存失败!"
const std::string Memory64Failed =
    "\xB7\xD6\xC5\xE4 64 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";
// "出现了神秘故障，请联系技术支持"
const std::string Title =
    "\xB3\xF6\xCF\xD6\xC1\xCB\xC9\xF1\xC3\xD8\xB9\xCA\xD5\xCF\xA3\xAC\xC7\xEB\xC1\xAA\xCF\xB5"
    "\xBC\xBC\xCA\xF5\xD6\xA7\xB3\xD6";

struct Box {
    std::string text;
    std::uint32_t style;
    std::string title;
    NativeWindow owner;
};
std::vector<Box> boxes;
std::vector<std::string> platformBoxes;

void RecordingMessageBox(TextView text, std::uint32_t style, TextView title, NativeWindow owner) {
    boxes.push_back({Str(text), style, Str(title), owner});
}
void RecordingPlatformBox(TextView note) { platformBoxes.push_back(Str(note)); }

class Report : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFatalErrorStateForTesting();
        boxes.clear();
        platformBoxes.clear();
        previousBox_ = ReplaceMessageBox(RecordingMessageBox);
        previousPlatformBox_ = ReplacePlatformErrorBox(RecordingPlatformBox);
    }
    void TearDown() override {
        ReplaceMessageBox(previousBox_);
        ReplacePlatformErrorBox(previousPlatformBox_);
        ResetFatalErrorStateForTesting();
    }

    // The one message the report showed for code and note.
    static std::string MessageFor(std::int32_t code, TextView note) {
        boxes.clear();
        EXPECT_TRUE(ReportFatalError(code, note));
        EXPECT_EQ(boxes.size(), 1u);
        return boxes.empty() ? std::string() : boxes.front().text;
    }

private:
    MessageBoxFunction previousBox_ = nullptr;
    PlatformErrorBoxFunction previousPlatformBox_ = nullptr;
};

TEST_F(Report, ReplacesThePositionHintAtCharacterBoundariesOnly) {
    std::string lowerCaseIde = Hint;
    lowerCaseIde.replace(lowerCaseIde.find("IDE"), 3, "ide");
    const std::string shortOfTheHint = Hint.substr(0, Hint.size() - 1);
    const struct {
        const char* name;
        std::string note;
        std::string rewritten;
    } cases[] = {
        {"no hint", "E\r\nplain\r\n", "E\r\nplain\r\n"},
        {"hint once", "E\r\n" + Hint + " 0, 0\r\n", "E\r\nErrorPos :   0, 0\r\n"},
        {"hint twice", Hint + Hint + " 1", "ErrorPos :  ErrorPos :   1"},
        {"lower-case ide", lowerCaseIde + " 0, 0", lowerCaseIde + " 0, 0"},
        {"hint at the very end", "E\r\n" + Hint, "E\r\nErrorPos :  "},
        {"after a two-byte character", "\xB0\xA1" + Hint, "\xB0\xA1" "ErrorPos :  "},
        // The lead byte takes the hint's first byte with it, so the scan never sees the hint start.
        {"lead byte swallows the hint's first byte", "\xB0" + Hint, "\xB0" + Hint},
        {"fewer bytes left than the hint", "E" + shortOfTheHint, "E" + shortOfTheHint},
        {"empty note", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MessageFor(0, View(c.note)),
                  "ErrorCode:  0\r\nErrorNote:  " + c.rewritten + Support);
    }
    SCOPED_TRACE("missing note");
    EXPECT_EQ(MessageFor(0, TextView()), "ErrorCode:  0\r\nErrorNote:  " + Support);
}

TEST_F(Report, ShowsAFailedMemoryRequestInFourLines) {
    InstallFatalErrorReporter();
    DeliverFatalError(View(Memory64Failed), 0, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "ErrorCode:  0\r\n"
              "ErrorNote:  " + Memory64Failed + "\r\n"
              "ErrorPos :   0, 0\r\n" + Support);
    EXPECT_EQ(boxes[0].style, 16u);
    EXPECT_EQ(boxes[0].title, Title);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(platformBoxes.empty());
}

TEST_F(Report, WritesTheCodeAsSignedDecimal) {
    const struct {
        std::int32_t code;
        const char* text;
    } cases[] = {{0, "0"}, {-5, "-5"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MessageFor(c.code, "n\r\n"),
                  std::string("ErrorCode:  ") + c.text + "\r\nErrorNote:  n\r\n" + Support);
    }
}

// A failure while the report's box is up reaches the platform's own box, never a second report.
void FailingMessageBox(TextView text, std::uint32_t style, TextView title, NativeWindow owner) {
    RecordingMessageBox(text, style, title, owner);
    DeliverFatalError("again", 0, 0);
}

TEST_F(Report, AFailureWhileTheBoxIsUpBringsThePlatformBox) {
    ReplaceMessageBox(FailingMessageBox);
    InstallFatalErrorReporter();
    DeliverFatalError("first", 0, 0);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(platformBoxes, std::vector<std::string>{"again\r\n" + Hint + " 0, 0\r\n"});
}

// Death tests with real memory requests failing inside the report: the child tells on standard
// error which box it got.
#ifdef _WIN32
constexpr int FatalExitCode = -1;
#else
constexpr int FatalExitCode = 255;
#endif

// The size of the request refused in the child, which the platform's box must name.
std::size_t refusedInChild = 0;

void MarkingMessageBox(TextView, std::uint32_t, TextView, NativeWindow) {
    std::fputs("report box", stderr);
}
void FailingMarkingMessageBox(TextView, std::uint32_t, TextView, NativeWindow) {
    // As converting the texts for the system's box would; any size does.
    refusedInChild = 64;
    test::RefuseNextMemoryRequestOf(refusedInChild);
    RequestMemory(refusedInChild);
}
void MarkingPlatformBox(TextView note) {
    // "分配 N 字节内存失败!" opens the note of the failed request.
    const std::string failed = "\xB7\xD6\xC5\xE4 " + std::to_string(refusedInChild) +
                               " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!\r\n";
    std::fputs(Str(note).rfind(failed, 0) == 0 ? "platform box" : "other", stderr);
}

using ReportDeathTest = Report;

TEST_F(ReportDeathTest, AFailureInsideTheReportBringsOnlyThePlatformBox) {
    // The texts the report makes for RaiseFatalError("x", 0, 0), in the order it makes them. Each
    // is one memory request of its length plus the terminating zero; refusing that size fails the
    // step that makes it. (The code text "0" comes between the rewritten note and the head.)
    const std::string copyOfNote = "x\r\n" + Hint + " 0, 0\r\n";
    const std::string rewritten = "x\r\nErrorPos :   0, 0\r\n";
    const std::string head = "ErrorCode:  0\r\nErrorNote:  " + rewritten;
    const std::string message = head + Support;
    auto requestFor = [](const std::string& text) { return text.size() + 1; };
    const struct {
        const char* name;
        std::size_t refused;  // 0: none
        MessageBoxFunction box;
        const char* shown;
    } cases[] = {
        {"no failure", 0, MarkingMessageBox, "^report box$"},
        {"copying the note", requestFor(copyOfNote), MarkingMessageBox, "^platform box$"},
        {"rewriting the note", requestFor(rewritten), MarkingMessageBox, "^platform box$"},
        {"joining the head", requestFor(head), MarkingMessageBox, "^platform box$"},
        {"joining the message", requestFor(message), MarkingMessageBox, "^platform box$"},
        {"showing the box", 0, FailingMarkingMessageBox, "^platform box$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                ResetFatalErrorStateForTesting();
                InstallFatalErrorReporter();
                ReplaceMessageBox(c.box);
                ReplacePlatformErrorBox(MarkingPlatformBox);
                if (c.refused != 0) {
                    refusedInChild = c.refused;
                    test::RefuseNextMemoryRequestOf(c.refused);
                }
                RaiseFatalError("x", 0, 0);
            },
            ::testing::ExitedWithCode(FatalExitCode), c.shown);
    }
}

}  // namespace
}  // namespace pebitness
