// The program's own report of an unrecoverable failure, in place of the platform's error box.
//
// InstallFatalErrorReporter registers ReportFatalError with the platform's fatal-error hook; the
// program calls it once at start-up, before its window loads. ReportFatalError rewrites the note's
// position hint, shows the code, the note and the support address in an error box and answers true.
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace pebitness {

void InstallFatalErrorReporter() noexcept;
bool ReportFatalError(std::int32_t code, TextView note);

// The report's texts, in code page 936.
// "ErrorPos :  " (stands where the note's position hint stood)
inline constexpr TextView ReportPositionLabel = "ErrorPos :  ";
// "ErrorCode:  "
inline constexpr TextView ReportCodeLabel = "ErrorCode:  ";
// "\r\nErrorNote:  "
inline constexpr TextView ReportNoteLabel = "\r\nErrorNote:  ";
// "技术支持:   " (technical support), followed directly by the support address
inline constexpr TextView ReportSupportLabel = "\xBC\xBC\xCA\xF5\xD6\xA7\xB3\xD6:   ";
// "出现了神秘故障，请联系技术支持" (a mysterious fault has occurred, please contact technical support)
inline constexpr TextView ReportTitle =
    "\xB3\xF6\xCF\xD6\xC1\xCB\xC9\xF1\xC3\xD8\xB9\xCA\xD5\xCF\xA3\xAC\xC7\xEB\xC1\xAA\xCF\xB5"
    "\xBC\xBC\xCA\xF5\xD6\xA7\xB3\xD6";

}  // namespace pebitness
