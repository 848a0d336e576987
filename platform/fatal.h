// The platform's fatal-error path: the one place where an unrecoverable failure ends the program.
//
// RaiseFatalError builds the note (the error text, the position line, detail lines when the first
// number names a known window, then "\r\n"), stops all further event handling, hands code 0 and the
// note to the registered handler once, shows the platform's own error box when there is no handler,
// the handler answers false or a second failure arises inside it, and ends the process with exit
// code -1 (all 32 bits set on Windows; 255 as a POSIX parent sees it).
#pragma once

#include <cstdint>

#include "platform/text.h"

namespace pebitness {

// Receives the error code and the note, which is valid only during the call. Answers true when the
// failure has been reported, so that the platform shows nothing of its own.
using FatalErrorHandler = bool (*)(std::int32_t code, TextView note);

// Fills the one handler slot, replacing any earlier handler. The slot is empty at start.
void RegisterFatalErrorHandler(FatalErrorHandler handler) noexcept;

[[noreturn]] void RaiseFatalError(TextView errorText, std::int32_t windowId,
                                  std::int32_t componentId) noexcept;

// True from the moment a fatal failure is raised: the window toolkit dispatches no further event to
// the program's handlers, not even for input already queued.
bool FatalErrorRaised() noexcept;

// What the detail lines of a note say about the window and component a failure concerns. The window
// toolkit answers for the windows it knows; without an answer the note carries no detail lines.
struct FatalSubject {
    bool windowFound = false;
    TextView windowTag;
    bool componentFound = false;
    TextView componentTag;
};
using FatalSubjectLookup = FatalSubject (*)(std::int32_t windowId, std::int32_t componentId);
void SetFatalSubjectLookup(FatalSubjectLookup lookup) noexcept;

// Error texts of the platform's own failures, in code page 936.
// "分配 %d 字节内存失败!"
inline constexpr TextView MemoryRequestFailedFormat =
    "\xB7\xD6\xC5\xE4 %d \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!";
// "载入启动窗口失败"
inline constexpr TextView StartupWindowFailed =
    "\xD4\xD8\xC8\xEB\xC6\xF4\xB6\xAF\xB4\xB0\xBF\xDA\xCA\xA7\xB0\xDC";

// The position hint: the position line's format less its leading "\r\n" and trailing " %d, %d".
// It is part of the note's format, which binds whatever reports through the hook: the program's
// report finds the position line by it.
// "运行时错误相关信息值(在IDE中打开对应源程序后执行\"运行->到运行时错误相关位置\"菜单功能查看):"
inline constexpr TextView FatalPositionHint =
    "\xD4\xCB\xD0\xD0\xCA\xB1\xB4\xED\xCE\xF3\xCF\xE0\xB9\xD8\xD0\xC5\xCF\xA2\xD6\xB5(\xD4\xDA"
    "IDE\xD6\xD0\xB4\xF2\xBF\xAA\xB6\xD4\xD3\xA6\xD4\xB4\xB3\xCC\xD0\xF2\xBA\xF3\xD6\xB4\xD0\xD0"
    "\"\xD4\xCB\xD0\xD0->\xB5\xBD\xD4\xCB\xD0\xD0\xCA\xB1\xB4\xED\xCE\xF3\xCF\xE0\xB9\xD8\xCE\xBB"
    "\xD6\xC3\"\xB2\xCB\xB5\xA5\xB9\xA6\xC4\xDC\xB2\xE9\xBF\xB4):";

}  // namespace pebitness
