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

}  // namespace pebitness
