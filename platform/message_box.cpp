#include "platform/message_box.h"

namespace pebitness {

void ShowSystemMessageBox(TextView text, std::uint32_t style, TextView title, NativeWindow owner);

namespace {
MessageBoxFunction messageBox = ShowSystemMessageBox;
}  // namespace

void ShowMessageBox(TextView text, std::uint32_t style, TextView title, NativeWindow owner) {
    messageBox(text, style, title, owner);
}

MessageBoxFunction ReplaceMessageBox(MessageBoxFunction box) noexcept {
    MessageBoxFunction previous = messageBox;
    messageBox = box;
    return previous;
}

}  // namespace pebitness
