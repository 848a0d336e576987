// The pieces of the fatal-error path below RaiseFatalError: the per-system backend it calls, and the
// entry points through which the unit tests drive the path without ending the test process.
#pragma once

#include <cstdint>

#include "platform/fatal.h"

namespace pebitness {

// Position line format, less its leading "\r\n" and trailing " %d, %d": the position hint.
// "运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看):"
inline constexpr TextView FatalPositionHint =
    "\xD4\xCB\xD0\xD0\xCA\xB1\xB4\xED\xCE\xF3\xCF\xE0\xB9\xD8\xD0\xC5\xCF\xA2\xD6\xB5(\xD4\xDA"
    "IDE\xD6\xD0\xB4\xF2\xBF\xAA\xB6\xD4\xD3\xA6\xD4\xB4\xB3\xCC\xD0\xF2\xBA\xF3\xD6\xB4\xD0\xD0"
    "\"\xD4\xCB\xD0\xD0->\xB5\xBD\xD4\xCB\xD0\xD0\xCA\xB1\xB4\xED\xCE\xF3\xCF\xE0\xB9\xD8\xCE\xBB"
    "\xD6\xC3\"\xB2\xCB\xB5\xA5\xB9\xA6\xC4\xDC\xB2\xE9\xBF\xB4):";

// The note as the platform builds it, into a caller's buffer so that no memory is requested; a note
// that would not fit is cut at a character boundary. Returns the note's length. The platform's own
// notes hold at most FatalNoteCapacity bytes.
inline constexpr std::size_t FatalNoteCapacity = 4096;
std::size_t BuildFatalNote(TextView errorText, std::int32_t windowId, std::int32_t componentId,
                           char* into, std::size_t capacity) noexcept;

// Everything RaiseFatalError does except ending the process: for tests.
void DeliverFatalError(TextView errorText, std::int32_t windowId,
                       std::int32_t componentId) noexcept;
// Empties the handler slot and clears the raised and inside-the-handler marks: for tests.
void ResetFatalErrorStateForTesting() noexcept;
// True while the registered handler runs.
bool InsideFatalErrorHandler() noexcept;

// The platform's own error box, shown when no handler reported the failure.
using PlatformErrorBoxFunction = void (*)(TextView note);
PlatformErrorBoxFunction ReplacePlatformErrorBox(PlatformErrorBoxFunction box) noexcept;

// Per-system backend.
void ShowSystemPlatformErrorBox(TextView note) noexcept;
[[noreturn]] void EndProcessAfterFatalError() noexcept;

}  // namespace pebitness
