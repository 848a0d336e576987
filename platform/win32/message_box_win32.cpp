#include <windows.h>

#include "platform/message_box.h"
#include "platform/win32/code_page.h"

namespace pebitness {

void ShowSystemMessageBox(TextView text, std::uint32_t style, TextView title, NativeWindow owner) {
    const WideText wideText = WideFromText(text);
    const WideText wideTitle = WideFromText(title);
    // Without an owner, MB_TASKMODAL is what makes the box modal to the whole program: the system
    // disables every top-level window of this thread until the box is closed.
    const UINT modality = owner == nullptr ? MB_TASKMODAL : 0;
    ::MessageBoxW(static_cast<HWND>(owner), wideText.c_str(), wideTitle.c_str(),
                  style | modality);
}

}  // namespace pebitness
