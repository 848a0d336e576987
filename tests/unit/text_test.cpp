#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/text.h"

namespace pebitness {
namespace {

std::string Str(TextView text) { return std::string(text.data(), text.size()); }

TEST(Text, MissingTextReadsAsEmpty) {
    const Text missing;
    EXPECT_TRUE(missing.empty());
    EXPECT_STREQ(missing.c_str(), "");
    EXPECT_EQ(TextView(missing), TextView(""));
}

TEST(Text, CopiesAreIndependentAndZeroTerminated) {
    Text original(TextView("abc"));
    Text copy = original;
    copy.data()[0] = 'x';
    EXPECT_EQ(Str(original), "abc");
    EXPECT_EQ(Str(copy), "xbc");
    EXPECT_EQ(copy.c_str()[3], '\0');
    Text moved = std::move(copy);
    EXPECT_EQ(Str(moved), "xbc");
}

TEST(JoinTexts, JoinsInOrderWithMissingPartsAsEmpty) {
    const Text missing;
    struct Case {
        const char* name;
        Text joined;
        std::string expected;
    } cases[] = {
        {"four parts", JoinTexts({"64", " : ", "C:\\a.exe", "\r\n"}), "64 : C:\\a.exe\r\n"},
        {"missing path", JoinTexts({"x", " : ", missing, "\r\n"}), "x : \r\n"},
        {"all empty", JoinTexts({missing, ""}), ""},
        {"no parts", JoinTexts({}), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Str(c.joined), c.expected);
        EXPECT_EQ(c.joined.c_str()[c.expected.size()], '\0');
        // Never the missing text: even an empty join owns its terminating zero.
        EXPECT_NE(const_cast<Text&>(c.joined).data(), nullptr);
    }
}

TEST(IntegerToText, WritesSignedDecimalAsPercentD) {
    const struct {
        std::int32_t value;
        const char* expected;
    } cases[] = {{0, "0"}, {7, "7"}, {-1, "-1"}, {64, "64"},
                 {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(Str(IntegerToText(c.value)), c.expected);
    }
}

TEST(ByteView, SliceAndEquality) {
    static constexpr unsigned char bytes[] = {1, 2, 3, 4};
    constexpr ByteView all = bytes;
    EXPECT_EQ(all.Slice(1, 2), ByteView(bytes + 1, 2));
    EXPECT_EQ(all.Slice(3, 6).size(), 1u);
    EXPECT_EQ(all.Slice(4, 6).size(), 0u);
    // An empty buffer equals a missing one, whatever its pointer.
    EXPECT_EQ(all.Slice(9, 1), ByteView());
    EXPECT_FALSE(all.Slice(0, 3) == all.Slice(1, 3));
}

}  // namespace
}  // namespace pebitness
