// MainWindow: the path label and box in a row with the analyse button, the log box below them, and
// the open-file dialog that the button opens.
#pragma once

#include "platform/open_file_dialog.h"
#include "platform/window.h"

namespace pebitness {

class MainWindow final : public WindowEvents {
public:
    MainWindow() noexcept;

    // Creates the window hidden with its controls; the created event fills the log box.
    void Load() { window_.Load(); }
    void Show() { window_.Show(); }

    // The created event: puts the instruction text into the empty log box.
    void HandleWindowCreated();
    // The click of 按钮1: one analysis, one line appended to the log.
    void HandleAnalyseClick();

private:
    void OnCreated() override { HandleWindowCreated(); }
    void OnClick(int controlId) override;

    Window window_;
    OpenFileDialog dialog_;  // 通用对话框1
};

}  // namespace pebitness
