// The address users are sent to for help. It is named in the window's instruction text and on the
// last line of the fatal-error report; whoever packages a release sets it here, in this one place.
#pragma once

#include "platform/text.h"

namespace pebitness {

inline constexpr TextView SupportAddress = "https://pebitness.example.com/support";

}  // namespace pebitness
