// The quiet-mode progress window.
#include "adapter/flash_progress_dialog.h"

#include "platform/platform.h"

namespace devov {

FlashProgressDialog::FlashProgressDialog() : window_(platform::services().progress) {
  window_.create();
  window_.hide_caret(platform::kProgressMessageLine);
}

FlashProgressDialog::~FlashProgressDialog() { window_.destroy(); }

void FlashProgressDialog::show_progress_text() {
  if (message_text.empty()) message_text = " Please wait...";
  window_.set_text(platform::kProgressMessageLine, message_text);
  window_.hide_caret(platform::kProgressMessageLine);
  window_.paint_now();
}

}  // namespace devov
