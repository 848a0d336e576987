// The pieces of the fatal-error path below RaiseFatalError: the per-system backend it calls, and the
// entry points through which the unit tests drive the path without ending the test process.
#pragma once

#include <cstdint>

#include "platform/fatal.h"

namespace pebitness {

// The note as the platform builds it, into a caller's buffer so that no memory is requested; a note
// that would not fit is cut at a character boundary. Returns the note's length. The platform's own
// notes hold at most FatalNoteCapacity bytes.
inline constexpr std::size_t FatalNoteCapacity = 4096;
std::size_t BuildFatalNote(TextView errorText, std::int32_t windowId, std::int32_t componentId,
                           char* into, std::size_t capacity) noexcept;

// Everything RaiseFatalError does except ending the process: for tests.
void DeliverFatalError(TextView errorText, std::int32_t windowId,
                       std::int32_t componentId) noexcept;
// Empties the handler slot and clears the raised mark and the marks that keep failures from
// nesting: for tests.
void ResetFatalErrorStateForTesting() noexcept;

// The platform's own error box, shown when no handler reported the failure.
using PlatformErrorBoxFunction = void (*)(TextView note);
PlatformErrorBoxFunction ReplacePlatformErrorBox(PlatformErrorBoxFunction box) noexcept;

// Per-system backend.
void ShowSystemPlatformErrorBox(TextView note) noexcept;
[[noreturn]] void EndProcessAfterFatalError() noexcept;

}  // namespace pebitness
