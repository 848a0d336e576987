#include <cstdio>

#include "platform/message_box.h"

namespace pebitness {

// The native build has no windows: the box becomes a report on standard error.
void ShowSystemMessageBox(TextView text, std::uint32_t, TextView title, NativeWindow) {
    std::fwrite(title.data(), 1, title.size(), stderr);
    std::fputs("\n", stderr);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputs("\n", stderr);
}

}  // namespace pebitness
