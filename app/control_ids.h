// Identifiers of MainWindow and its controls: what a fatal-error note names the window by, and what
// the end-to-end tests find the controls by. The names are the controls' names on the form.
#pragma once

#include <cstdint>

namespace pebitness {

inline constexpr std::int32_t MainWindowId = 1;

inline constexpr int Edit1Id = 1001;    // 编辑框1, the log box
inline constexpr int Label1Id = 1002;   // 标签1, "文件路径:"
inline constexpr int Edit2Id = 1003;    // 编辑框2, the path box
inline constexpr int Button1Id = 1004;  // 按钮1, "分析..."

// The application icon in the executable's resources.
inline constexpr int AppIconResource = 1;

}  // namespace pebitness
