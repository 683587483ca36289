// Message boxes through MessageBoxA.
#include "platform/win32/message_boxes.h"

namespace devov::win32 {

// The main dialog and the application's main window are the same window in
// this program; before and after the dialog runs a box has no owner. A box
// without caption gets the system's default title.
int Win32MessageBoxes::show(platform::BoxOwner owner, const std::string& text,
                            const std::optional<std::string>& caption, unsigned style) {
  HWND owner_window =
      owner == platform::BoxOwner::None ? nullptr : dialogs_.main_dialog();
  return MessageBoxA(owner_window, text.c_str(), caption ? caption->c_str() : nullptr,
                     style);
}

}  // namespace devov::win32
