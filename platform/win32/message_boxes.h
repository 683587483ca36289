// Message boxes of the Windows program, owned by the main dialog while it
// exists.
#pragma once

#include "platform/message_boxes.h"
#include "platform/win32/dialog_host.h"

namespace devov::win32 {

class Win32MessageBoxes : public platform::MessageBoxes {
 public:
  explicit Win32MessageBoxes(const Win32DialogHost& dialogs) : dialogs_(dialogs) {}
  int show(platform::BoxOwner owner, const std::string& text,
           const std::optional<std::string>& caption, unsigned style) override;

 private:
  const Win32DialogHost& dialogs_;
};

}  // namespace devov::win32
