// The main window's own texts, in code page 936, each with its readable form beside it.
#pragma once

#include <cstddef>

#include "fault/support_address.h"
#include "platform/text.h"

namespace pebitness {

// "文件32位还是64位判断(EXE/dll)"
inline constexpr TextView WindowTitle =
    "\xCE\xC4\xBC\xFE" "32\xCE\xBB\xBB\xB9\xCA\xC7" "64\xCE\xBB\xC5\xD0\xB6\xCF(EXE/dll)";
// "文件路径:"
inline constexpr TextView PathLabelText = "\xCE\xC4\xBC\xFE\xC2\xB7\xBE\xB6:";
// "分析..."
inline constexpr TextView AnalyseButtonText = "\xB7\xD6\xCE\xF6...";

// The first line of the instruction text and the start of the second, up to the support address:
// "点击分析选中EXE或者DLL文件，程序自动分析他是64位还是32位 \r\n若程序有故障请反馈给 "
inline constexpr TextView InstructionHead =
    "\xB5\xE3\xBB\xF7\xB7\xD6\xCE\xF6\xD1\xA1\xD6\xD0" "EXE\xBB\xF2\xD5\xDF" "DLL\xCE\xC4\xBC\xFE"
    "\xA3\xAC\xB3\xCC\xD0\xF2\xD7\xD4\xB6\xAF\xB7\xD6\xCE\xF6\xCB\xFB\xCA\xC7" "64\xCE\xBB\xBB\xB9"
    "\xCA\xC7" "32\xCE\xBB \r\n\xC8\xF4\xB3\xCC\xD0\xF2\xD3\xD0\xB9\xCA\xD5\xCF\xC7\xEB\xB7\xB4\xC0"
    "\xA1\xB8\xF8 ";
// What follows the support address: each of the two lines ends with a space before its break.
inline constexpr TextView InstructionTail = " \r\n";

// Between the verdict and the path of a log line, and the end of every log line.
inline constexpr TextView ResultSeparator = " : ";
inline constexpr TextView LineEnd = "\r\n";

namespace detail {

// A text joined at compile time, so that the instruction text is a constant like the others.
template <std::size_t N>
struct JoinedConstant {
    char bytes[N + 1] = {};
    constexpr JoinedConstant(std::initializer_list<TextView> parts) {
        std::size_t at = 0;
        for (TextView part : parts)
            for (std::size_t i = 0; i < part.size(); ++i) bytes[at++] = part.data()[i];
    }
    constexpr TextView view() const { return TextView(bytes, N); }
};

inline constexpr JoinedConstant<InstructionHead.size() + SupportAddress.size() +
                                InstructionTail.size()>
    InstructionBytes{InstructionHead, SupportAddress, InstructionTail};

}  // namespace detail

// Put into the log box when the window is created: what the program does, then where to get help.
inline constexpr TextView InstructionText = detail::InstructionBytes.view();

}  // namespace pebitness
