// The platform's fatal path: the note it builds, the one call of the handler, its own box when no
// handler reports, and the end of the process with exit code -1.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/fatal.h"
#include "platform/fatal_internal.h"
#include "platform/memory.h"
#include "platform/text.h"
#include "tests/unit/failing_memory_source.h"

namespace pebitness {
namespace {

std::string Str(TextView text) { return std::string(text.data(), text.size()); }

const std::string Hint = Str(FatalPositionHint);
// "分配 N 字节内存失败!": the error text of a failed request of size bytes.
std::string MemoryRequestFailed(std::size_t size) {
    return "\xB7\xD6\xC5\xE4 " + std::to_string(size) +
           " \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";
}
// The request the memory tests refuse, and the error text that names it.
constexpr std::size_t RefusedSize = 64;
const std::string Memory64Failed = MemoryRequestFailed(RefusedSize);
// "窗口标记: ", "窗口未找到", "组件标记: ", "组件未找到"
const std::string WindowTag = "\xB4\xB0\xBF\xDA\xB1\xEA\xBC\xC7: ";
const std::string WindowNotFound = "\xB4\xB0\xBF\xDA\xCE\xB4\xD5\xD2\xB5\xBD";
const std::string ComponentTag = "\xD7\xE9\xBC\xFE\xB1\xEA\xBC\xC7: ";
const std::string ComponentNotFound = "\xD7\xE9\xBC\xFE\xCE\xB4\xD5\xD2\xB5\xBD";

// The toolkit's answer in these tests: window 3 is known by the tag "main", its component 7 by "go".
FatalSubject LookUpTestSubject(std::int32_t windowId, std::int32_t componentId) {
    FatalSubject subject;
    if (windowId != 3) return subject;
    subject.windowFound = true;
    subject.windowTag = "main";
    if (componentId == 7) {
        subject.componentFound = true;
        subject.componentTag = "go";
    }
    return subject;
}

enum class Answer { Reported, NotReported, FailsAgain };

struct Seen {
    int handlerCalls = 0;
    std::int32_t code = -1;
    std::string note;
    bool raisedDuringCall = false;
    std::vector<std::string> platformBoxes;
};
Seen seen;
Answer answer = Answer::Reported;

bool RecordingHandler(std::int32_t code, TextView note) {
    ++seen.handlerCalls;
    seen.code = code;
    seen.note = Str(note);
    seen.raisedDuringCall = FatalErrorRaised();
    if (answer == Answer::FailsAgain) DeliverFatalError("again", 0, 0);
    return answer != Answer::NotReported;
}

void RecordingPlatformBox(TextView note) { seen.platformBoxes.push_back(Str(note)); }

class FatalPath : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFatalErrorStateForTesting();
        seen = Seen();
        answer = Answer::Reported;
        previousBox_ = ReplacePlatformErrorBox(RecordingPlatformBox);
    }
    void TearDown() override {
        ReplacePlatformErrorBox(previousBox_);
        ResetFatalErrorStateForTesting();
    }

private:
    PlatformErrorBoxFunction previousBox_ = nullptr;
};

TEST_F(FatalPath, BuildsTheNoteFromErrorTextPositionLineAndDetails) {
    const struct {
        const char* name;
        std::string errorText;
        std::int32_t windowId;
        std::int32_t componentId;
        FatalSubjectLookup lookup;
        std::string expected;
    } cases[] = {
        {"memory request", Memory64Failed, 0, 0, LookUpTestSubject,
         Memory64Failed + "\r\n" + Hint + " 0, 0\r\n"},
        {"empty error text", "", 0, 0, nullptr, "\r\n" + Hint + " 0, 0\r\n"},
        {"signed numbers without a toolkit", "e", -1, INT32_MIN, nullptr,
         "e\r\n" + Hint + " -1, -2147483648\r\n"},
        {"window found, component not", "e", 3, 0, LookUpTestSubject,
         "e\r\n" + Hint + " 3, 0\r\n" + WindowTag + "main\r\n" + ComponentNotFound + "\r\n"},
        {"window and component found", "e", 3, 7, LookUpTestSubject,
         "e\r\n" + Hint + " 3, 7\r\n" + WindowTag + "main\r\n" + ComponentTag + "go\r\n"},
        {"window not found", "e", 9, INT32_MAX, LookUpTestSubject,
         "e\r\n" + Hint + " 9, 2147483647\r\n" + WindowNotFound + "\r\n" + ComponentNotFound +
             "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFatalErrorStateForTesting();
        RegisterFatalErrorHandler(RecordingHandler);
        SetFatalSubjectLookup(c.lookup);
        DeliverFatalError(TextView(c.errorText.data(), c.errorText.size()), c.windowId,
                          c.componentId);
        EXPECT_EQ(seen.note, c.expected);
    }
}

TEST_F(FatalPath, CutsAnOverlongNoteAtACharacterBoundary) {
    // One ASCII byte, then two-byte characters: the capacity falls inside a character.
    std::string errorText = "a";
    while (errorText.size() < 2 * FatalNoteCapacity) errorText += "\xB0\xA1";
    RegisterFatalErrorHandler(RecordingHandler);
    DeliverFatalError(TextView(errorText.data(), errorText.size()), 0, 0);
    // Compared as a flag: a failure would print some thousands of bytes.
    EXPECT_EQ(seen.note.size(), FatalNoteCapacity - 1);
    EXPECT_TRUE(seen.note == errorText.substr(0, FatalNoteCapacity - 1));
}

// Small capacities, into a buffer of exactly that size. Characters are counted over the whole note,
// so an error text that ends in a lead byte takes the first byte of the line break as its trail.
TEST_F(FatalPath, CutsASmallNoteAtACharacterBoundaryOfTheWholeNote) {
    const struct {
        const char* name;
        std::string errorText;
        std::size_t capacity;
        std::string expected;
    } cases[] = {
        {"no buffer at all", "e", 0, ""},
        {"a character that does not fit", "a\xB0\xA1", 2, "a"},
        {"a character that just fits", "a\xB0\xA1", 3, "a\xB0\xA1"},
        {"a lead byte at the end of the error text, its trail cut off", "\xB0", 1, ""},
        {"a lead byte at the end of the error text, with its trail", "\xB0", 2, "\xB0\r"},
        {"a lead byte at the end of the error text, cut after the next character", "a\xB0", 4,
         "a\xB0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> buffer(c.capacity);
        const std::size_t length =
            BuildFatalNote(TextView(c.errorText.data(), c.errorText.size()), 0, 0,
                           c.capacity == 0 ? nullptr : buffer.data(), c.capacity);
        EXPECT_EQ(std::string(buffer.data(), length), c.expected);
    }
}

TEST_F(FatalPath, CallsTheHandlerOnceWithTheRaisedMarkSet) {
    RegisterFatalErrorHandler(RecordingHandler);
    EXPECT_FALSE(FatalErrorRaised());
    DeliverFatalError("first", 0, 0);
    EXPECT_EQ(seen.handlerCalls, 1);
    EXPECT_EQ(seen.code, 0);
    EXPECT_TRUE(seen.raisedDuringCall);
    EXPECT_TRUE(seen.platformBoxes.empty());

    // A later failure, on the way out, never reaches the handler but is not lost either.
    DeliverFatalError("later", 0, 0);
    EXPECT_EQ(seen.handlerCalls, 1);
    EXPECT_EQ(seen.platformBoxes, std::vector<std::string>{"later\r\n" + Hint + " 0, 0\r\n"});
    EXPECT_TRUE(FatalErrorRaised());
}

TEST_F(FatalPath, ShowsItsOwnBoxWhenNoHandlerReports) {
    const std::string firstNote = "first\r\n" + Hint + " 0, 0\r\n";
    const std::string againNote = "again\r\n" + Hint + " 0, 0\r\n";
    const struct {
        const char* name;
        bool registered;
        Answer answer;
        int handlerCalls;
        std::vector<std::string> platformBoxes;
    } cases[] = {
        {"empty slot", false, Answer::Reported, 0, {firstNote}},
        {"false answer", true, Answer::NotReported, 1, {firstNote}},
        {"failure inside the handler", true, Answer::FailsAgain, 1, {againNote}},
        {"reported", true, Answer::Reported, 1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetFatalErrorStateForTesting();
        seen = Seen();
        answer = c.answer;
        if (c.registered) RegisterFatalErrorHandler(RecordingHandler);
        DeliverFatalError("first", 0, 0);
        EXPECT_EQ(seen.handlerCalls, c.handlerCalls);
        EXPECT_EQ(seen.platformBoxes, c.platformBoxes);
        EXPECT_TRUE(FatalErrorRaised());
    }
}

// The platform's own box fails in turn, as converting its text might: the failure under it is
// not stacked as another box on top of the one that is coming up.
void FailingPlatformBox(TextView note) {
    RecordingPlatformBox(note);
    DeliverFatalError("under the box", 0, 0);
}

TEST_F(FatalPath, AFailureUnderItsOwnBoxBringsNoFurtherBox) {
    ReplacePlatformErrorBox(FailingPlatformBox);
    DeliverFatalError("first", 0, 0);
    EXPECT_EQ(seen.platformBoxes, std::vector<std::string>{"first\r\n" + Hint + " 0, 0\r\n"});
}

// The toolkit's lookup fails in turn, for a failure that concerns a window: the new note must not
// ask the lookup again, or the failures would nest without end.
FatalSubject FailingLookup(std::int32_t, std::int32_t) {
    DeliverFatalError("inner", 3, 0);
    return FatalSubject();
}

TEST_F(FatalPath, AFailureInsideTheSubjectLookupEndsWithTheOwnBox) {
    RegisterFatalErrorHandler(RecordingHandler);
    SetFatalSubjectLookup(FailingLookup);
    DeliverFatalError("outer", 3, 0);
    EXPECT_EQ(seen.platformBoxes, std::vector<std::string>{"inner\r\n" + Hint + " 3, 0\r\n"});
    EXPECT_EQ(seen.handlerCalls, 1);
}

// Death tests: the process really ends, with -1 (all 32 bits on Windows; 255 as a POSIX parent
// sees it). The child says on standard error what reached it, for the parent to match.
#ifdef _WIN32
constexpr int FatalExitCode = -1;
#else
constexpr int FatalExitCode = 255;
#endif

std::string expectedNote;

bool MarkingHandler(std::int32_t code, TextView note) {
    std::fputs(code == 0 && Str(note) == expectedNote ? "handled" : "unexpected notice", stderr);
    return true;
}

void MarkingPlatformBox(TextView) { std::fputs("platform box", stderr); }

void PrepareChild(const std::string& note) {
    ResetFatalErrorStateForTesting();
    RegisterFatalErrorHandler(MarkingHandler);
    ReplacePlatformErrorBox(MarkingPlatformBox);
    expectedNote = note;
}

using FatalPathDeathTest = FatalPath;

TEST_F(FatalPathDeathTest, EndsTheProcessWithExitCodeMinusOne) {
    const struct {
        const char* name;
        void (*fail)();
        std::string note;
    } cases[] = {
        {"raised failure", [] { RaiseFatalError("x", 0, 0); }, "x\r\n" + Hint + " 0, 0\r\n"},
        {"memory request",
         [] {
             test::RefuseNextMemoryRequestOf(RefusedSize);
             RequestMemory(RefusedSize);
         },
         Memory64Failed + "\r\n" + Hint + " 0, 0\r\n"},
        {"operator new",
         [] {
             test::RefuseNextMemoryRequestOf(RefusedSize);
             char* volatile block = new char[RefusedSize];  // volatile: the pair may not be elided
             delete[] block;
         },
         Memory64Failed + "\r\n" + Hint + " 0, 0\r\n"},
        {"standard container",
         [] {
             test::RefuseNextMemoryRequestOf(RefusedSize);
             std::vector<char> bytes(RefusedSize);
             const char* volatile block = bytes.data();
             static_cast<void>(block);
         },
         Memory64Failed + "\r\n" + Hint + " 0, 0\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                PrepareChild(c.note);
                c.fail();
            },
            ::testing::ExitedWithCode(FatalExitCode), "^handled$");
    }
}

// Each owned text is one memory request of its length plus the terminating zero, and a failure
// names that size: refusing exactly it ends the process with the note that names it.
TEST_F(FatalPathDeathTest, EachTextIsOneRequestOfItsLengthPlusOne) {
    const struct {
        const char* name;
        std::size_t request;
        void (*make)();
    } cases[] = {
        {"copy of \"abc\"", 4, [] { Text copy(TextView("abc")); }},
        {"join of \"ab\" and \"cde\"", 6, [] { Text joined = JoinTexts({"ab", "cde"}); }},
        {"join of nothing", 1, [] { Text joined = JoinTexts({}); }},
        {"-2147483648 as text", 12, [] { Text text = IntegerToText(INT32_MIN); }},
        {"\"aXbX\" with X replaced by YY", 7,
         [] { Text text = ReplaceAllAtCharacterBoundaries("aXbX", "X", "YY"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EXIT(
            {
                PrepareChild(MemoryRequestFailed(c.request) + "\r\n" + Hint + " 0, 0\r\n");
                test::RefuseNextMemoryRequestOf(c.request);
                c.make();
            },
            ::testing::ExitedWithCode(FatalExitCode), "^handled$");
    }
}

}  // namespace
}  // namespace pebitness
