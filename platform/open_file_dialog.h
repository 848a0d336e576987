// The system's open-file dialog for one existing file, modal to its owner window, remembering the
// last confirmed choice and offering it again the next time.
#pragma once

#include <cstddef>

#include "platform/text.h"
#include "platform/window.h"

namespace pebitness {

class OpenFileDialog {
public:
    // The longest path that can be confirmed: 259 bytes in code page 936 and the terminating zero.
    static constexpr std::size_t PathCapacity = 260;

    // Shows the dialog with the remembered file name filled in and waits until it closes. True when
    // the user confirmed a file whose path fits PathCapacity in code page 936; then that path is
    // remembered. A path with a character that code page 936 lacks is remembered as the file's short
    // path when the file system gives one that fits. Cancelling, a failure, a path that does not fit
    // or one that code page 936 cannot hold even in short form leaves the remembered name as it was.
    bool Show(const Window& owner);

    // The remembered file name: missing until the first confirmed choice.
    Text FileName() const { return fileName_; }

private:
    Text fileName_;
};

}  // namespace pebitness
