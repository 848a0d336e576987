// Every byte-exact constant of the program against its readable form: its length in code page 936
// and a strict decoding (iconv natively, MultiByteToWideChar(936, MB_ERR_INVALID_CHARS) on Windows).
#include <gtest/gtest.h>

#include <string>

#include "app/texts.h"
#include "classify/classify.h"
#include "fault/fault.h"
#include "platform/fatal.h"
#include "tests/unit/file_heads.h"

namespace pebitness {
namespace {

struct ConstantCase {
    const char* name;
    TextView bytes;
    std::size_t length;
    const char* readable;  // UTF-8
};

const ConstantCase constantCases[] = {
    {"Verdict32", Verdict32, 8, "32位程序"},
    {"Verdict64", Verdict64, 8, "64位程序"},
    {"VerdictUnknown", VerdictUnknown, 8, "未知程序"},
    {"MemoryRequestFailedFormat", MemoryRequestFailedFormat, 21, "分配 %d 字节内存失败!"},
    {"StartupWindowFailed", StartupWindowFailed, 16, "载入启动窗口失败"},
    {"FatalPositionHint", FatalPositionHint, 90,
     "运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看):"},
    {"WindowTitle", WindowTitle, 29, "文件32位还是64位判断(EXE/dll)"},
    {"PathLabelText", PathLabelText, 9, "文件路径:"},
    {"AnalyseButtonText", AnalyseButtonText, 7, "分析..."},
    {"InstructionHead", InstructionHead, 80,
     "点击分析选中EXE或者DLL文件，程序自动分析他是64位还是32位 \r\n若程序有故障请反馈给 "},
    {"ResultSeparator", ResultSeparator, 3, " : "},
    {"ReportPositionLabel", ReportPositionLabel, 12, "ErrorPos :  "},
    {"ReportCodeLabel", ReportCodeLabel, 12, "ErrorCode:  "},
    {"ReportNoteLabel", ReportNoteLabel, 14, "\r\nErrorNote:  "},
    {"ReportSupportLabel", ReportSupportLabel, 12, "技术支持:   "},
    {"ReportTitle", ReportTitle, 30, "出现了神秘故障，请联系技术支持"},
};

TEST(Constants, EachDecodesFromCodePage936ToItsReadableForm) {
    for (const ConstantCase& c : constantCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.bytes.size(), c.length);
        std::string decoded;
        ASSERT_TRUE(test::DecodeCodePage936(c.bytes, &decoded));
        EXPECT_EQ(decoded, c.readable);
    }
}

}  // namespace
}  // namespace pebitness
