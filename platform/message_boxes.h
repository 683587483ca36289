// Message boxes: the one way the program asks or tells the user something.
#pragma once

#include <optional>
#include <string>

namespace devov::platform {

// Who owns a box: the main dialog, the application's main window (the same
// window while the dialog runs) or nobody.
enum class BoxOwner { None, MainDialog, MainWindow };

// Style bits and answers use the Windows numbering on every platform.
inline constexpr unsigned kBoxOk = 0x00;
inline constexpr unsigned kBoxYesNo = 0x04;
inline constexpr unsigned kBoxIconError = 0x10;
inline constexpr unsigned kBoxIconWarning = 0x30;
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a modal box and answers with the button pressed. Without a caption
  // the box carries the platform's default title.
  virtual int show(BoxOwner owner, const std::string& text,
                   const std::optional<std::string>& caption,
                   unsigned style) = 0;
};

}  // namespace devov::platform
