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

}  // namespace pebitness
