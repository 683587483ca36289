// Merging a .pda file into the adapter's PDA: its records replace those of
// the same code, add new codes, and its delete records remove codes.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/message_boxes.h"
#include "production/pda_file.h"
#include "production/pda_list.h"
#include "shell/flash_log.h"
#include "shell/update_flash_dialog.h"

namespace devov {

bool UpdateFlashDialog::load_pda_file(const std::string& path) {
  std::uint16_t words[kPdaWords] = {};
  const std::uint16_t count = read_pda_file(words, path);
  if (count == 0) {
    show_message(platform::BoxOwner::MainDialog, "File not loaded. Format invalid?",
                 std::nullopt, platform::kBoxOk);
    return false;
  }
  if (pda.load_words(words, count) >= 1) return true;
  show_message(platform::BoxOwner::MainDialog, "Unable to load items from file: " + path,
               "Error", platform::kBoxIconError);
  return false;
}

}  // namespace devov
