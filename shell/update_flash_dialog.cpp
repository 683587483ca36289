// UpdateFlashDialog: start-up order, window set-up, the Cancel rule and the
// quiet loop.
#include "shell/update_flash_dialog.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/platform.h"
#include "resources/resource_ids.h"
#include "shell/command_line.h"
#include "shell/flash_log.h"
#include "shell/run_options.h"
#include "shell/update_steps.h"
#include "shell/version.h"

namespace devov {
namespace {

constexpr const char* kLibraryMissingText =
    "Could not find/load the necessary system files. Functionality is disabled.";
constexpr const char* kNoUpdateText =
    "Update is not required because your adapter contains the latest firmware version.";
constexpr const char* kCautionText =
    "You must:\r\n- Close all other programs before proceeding.\r\n- Maintain AC power "
    "during the firmware update.\r\n- Permit programming to proceed without "
    "interruption.\r\nProgramming failure may leave the adapter card in an inoperable "
    "state!";
constexpr int kFontTenthsOfPoint = 99;
constexpr int kTypeColumnWidth = 90;
constexpr int kPathColumnWidth = 250;

}  // namespace

UpdateFlashDialog::UpdateFlashDialog(std::vector<std::string> arguments,
                                     UpdateSteps& steps)
    : arguments_(std::move(arguments)), steps_(steps) {}

UpdateFlashDialog::~UpdateFlashDialog() = default;

void UpdateFlashDialog::set_status_text(const std::string& text) {
  view_->set_text(IDC_STATUS_BOX, text);
}

void UpdateFlashDialog::set_status_color(std::uint32_t color) {
  status_color = color;
  view_->set_status_color(color);
}

void UpdateFlashDialog::refresh_bound_edits() {
  view_->set_text(IDC_PDA_MAC, pda_mac_text);
  view_->set_text(IDC_SERIAL_NUMBER, serial_number_text);
  view_->set_text(IDC_ADAPTER_MAC, adapter_mac_text);
  view_->set_text(IDC_ADAPTER_NAME, adapter_name);
  view_->set_text(IDC_VERSION_BOX, version_box_text);
}

void UpdateFlashDialog::add_file(const std::string& path, int resource_id) {
  steps_.add_file(*this, path, resource_id);
}

int UpdateFlashDialog::pre_check() { return steps_.pre_check(*this); }

void UpdateFlashDialog::on_continue() { steps_.on_continue(*this); }

void UpdateFlashDialog::set_up_window() {
  programming_busy = false;
  set_status_color(kColorBlack);
  view_->add_system_menu_item(0, "");
  view_->add_system_menu_item(IDM_ABOUT, "About 6271DEVOV...");
  view_->set_icon(IDI_MAIN);
  set_status_text("");
  view_->enable_tool_tips();
  view_->set_image_list(IDC_FILE_QUEUE, IDB_QUEUE_IMAGES);
  view_->add_list_column(IDC_FILE_QUEUE, 0, "Type / Version", kTypeColumnWidth);
  view_->add_list_column(IDC_FILE_QUEUE, 1, "File Path", kPathColumnWidth);
  view_->set_caption(caption);
  version_box_text = "Ver. " + version_number() + "\r\n(" + build_date() + ")";
  refresh_bound_edits();
  view_->accept_dropped_files(false);
  view_->set_cursor(platform::CursorShape::Arrow);
}

void UpdateFlashDialog::on_init(platform::DialogView& view) {
  view_ = &view;
  set_log_enabled(true);
  log_message("6271DEVOV%s\n", {version_text()});
  log_time_stamp("Time of flash utility execution: %A, %B %d, %Y  %H:%M:%S");
  set_up_window();

  if (!adapter.check_library()) {
    set_status_text(kLibraryMissingText);
    set_status_color(kColorRed);
    view_->enable(IDC_CONTINUE, false);
    view_->set_text(IDC_CANCEL, "Exit");
    return;
  }

  const platform::FontSpec font{"Arial", kFontTenthsOfPoint};
  view_->set_font(IDC_STATUS_BOX, font);
  view_->set_font(IDC_STATUS_FRAME, font);
  view_->set_font(IDC_CAUTION_BOX, font);
  view_->set_font(IDC_CAUTION_FRAME, font);
  set_status_text(kNoUpdateText);
  view_->set_text(IDC_CAUTION_BOX, kCautionText);

  parse_command_line(*this);
  steps_.show_manifest(*this);
  pre_check();
  refresh_bound_edits();
  if (run_options().quiet) run_quiet_loop();
}

void UpdateFlashDialog::run_quiet_loop() {
  RunOptions& options = run_options();
  for (;;) {
    on_continue();
    if (options.delay_requested && options.delay_seconds > 0) {
      // Whole seconds, slept in pieces the sleep service can take.
      std::uint64_t remaining = static_cast<std::uint64_t>(options.delay_seconds) * 1000;
      while (remaining > 0) {
        auto piece = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(remaining, 0x7FFFFFFF));
        platform::services().clock.sleep_ms(piece);
        remaining -= piece;
      }
    }
    if (options.repeat_requested) {
      // Saturates rather than wrapping: the most negative count still means
      // one run.
      if (options.repeat_count > INT32_MIN) --options.repeat_count;
      if (options.repeat_count > 0 && last_result == 1) continue;
    }
    break;
  }
  if (last_result == 1) view_->end_dialog(platform::kOutcomeOk);
  else on_cancel();
}

void UpdateFlashDialog::on_command(int command) {
  switch (command) {
    case IDC_CONTINUE: on_continue(); break;
    case IDC_CANCEL: on_cancel(); break;
    case IDC_DETECT_ADAPTERS:
      on_close_adapter();
      detect_adapters(false);
      break;
    case IDC_CLOSE_ADAPTER: on_close_adapter(); break;
    // A change of selection in the adapter list.
    case IDC_ADAPTER_LIST: select_adapter(); break;
    case kCommandDriverVersion: show_driver_version(); break;
    default: break;
  }
}

void UpdateFlashDialog::on_cancel() {
  if (programming_busy) return;
  view_->end_dialog(platform::kOutcomeCancel);
}

void UpdateFlashDialog::on_copy_data(const std::string& text) { add_file(text, 0); }

void UpdateFlashDialog::on_system_command(int) {}

}  // namespace devov
