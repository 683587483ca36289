// Flash programming: preparing the flash, writing an image in blocks with
// the progress shown, writing the PDA, and the main dialog's programming of
// one image.
#include <cstring>
#include <string>

#include "adapter/adapter_session.h"
#include "adapter/flash_progress_dialog.h"
#include "adapter/progress_bar.h"
#include "adapter/requests.h"
#include "firmware/firmware_image.h"
#include "platform/platform.h"
#include "production/pda_list.h"
#include "resources/resource_ids.h"
#include "shell/flash_log.h"
#include "shell/run_options.h"
#include "shell/update_flash_dialog.h"

namespace devov {
namespace {

// The control write that readies the flash: two data bytes.
constexpr std::uint8_t kControlWriteData[] = {0x00, 0xE1};

void show_setup_failure(const char* text) {
  show_message(platform::BoxOwner::MainWindow, text, "Setup Error", platform::kBoxOk);
  show_message(platform::BoxOwner::MainWindow, "Update not attempted.",
               "Card Communication Failed", platform::kBoxOk);
}

}  // namespace

bool AdapterSession::prepare_write() {
  if (!is_open()) return false;
  enable_aux();
  AuxRecord empty;
  aux_write(empty);
  AuxRecord control;
  control.set_address(platform_type == kPlatformType1 ? kControlWriteAddressType1
                                                      : kControlWriteAddress);
  control.set_length(sizeof kControlWriteData);
  std::memcpy(control.data(), kControlWriteData, sizeof kControlWriteData);
  const std::uint32_t status =
      request(kNdisSet, OID_PRIVATE_CONTROL_WRITE, control.bytes.data(),
              static_cast<std::uint32_t>(kAuxHeaderSize + sizeof kControlWriteData));
  platform::services().clock.sleep_ms(kControlWriteSettleMs);
  return status == NDIS_STATUS_SUCCESS;
}

bool AdapterSession::write_flash(FirmwareImage& image, ProgressBar* progress,
                                 bool ask_on_error) {
  if (!is_open()) return false;
  platform::services().events.reset_event(overlapped.event);
  if (progress) {
    const int blocks = image.count_chunks(kMaxChunk, kChunkBoundary);
    progress->set_range(0, blocks);
    progress->set_position(1);
    progress->set_position(0);
  }
  if (!block_protocols(true)) {
    show_setup_failure("Attempt to block protocols failed.");
    return false;
  }
  if (!enable_aux()) {
    show_setup_failure("Enable Aux failed.");
    return false;
  }
  prepare_write();

  image.rewind();
  std::uint16_t block_count = 0;
  bool failed = false;
  platform::services().process.flush_all();
  AuxRecord record;
  std::uint32_t address = 0;
  std::uint16_t length = 0;
  while (image.next_chunk(record.data(), address, length, kMaxChunk, kChunkBoundary)) {
    ++block_count;
    record.set_address(address);
    record.set_length(length);
    if (!write_block(record)) {
      failed = true;
      if (!ask_on_error) break;
      if (show_message(platform::BoxOwner::MainWindow,
                       "Error programming block. Continue anyway?", "Programming error.",
                       platform::kBoxYesNo) != platform::kAnswerYes)
        break;
    }
    if (progress) progress->set_position(block_count);
  }
  platform::services().process.flush_all();
  return !failed;
}

bool AdapterSession::write_pda(const PdaList& list) {
  if (!is_open()) return false;
  prepare_write();
  AuxRecord record;
  record.set_address(pda_address);
  std::uint16_t words[kMaxChunk / 2] = {};
  const std::uint16_t count = list.serialise(words);
  for (std::uint16_t i = 0; i < count; ++i) store_le16(record.data() + 2 * i, words[i]);
  record.set_length(static_cast<std::uint16_t>(2 * count));

  std::uint8_t probe_buffer[kProbeBufferSize] = {};
  platform::services().events.reset_event(overlapped.event);
  block_protocols(true);
  probe(probe_buffer);
  enable_aux();
  const bool ok = write_block(record);
  probe(probe_buffer);
  return ok;
}

void UpdateFlashDialog::set_dialog_cursor(platform::CursorShape cursor) {
  view().set_cursor(cursor);
}

bool UpdateFlashDialog::program_image(FirmwareImage& image, bool is_station,
                                      const std::string& revision, const std::string& source) {
  if (!adapter.is_open()) {
    show_message(platform::BoxOwner::MainDialog, "Error: Adapter is not open.", std::nullopt,
                 platform::kBoxOk);
    return false;
  }
  if (image.start_address != 0) {
    show_message(platform::BoxOwner::MainDialog, "Sorry, RAM downloads are not supported.",
                 "Cannot Continue", platform::kBoxIconError);
    return false;
  }
  auto& main = view();
  const std::string adapter_line =
      "Adapter: " + main.list_text(IDC_ADAPTER_LIST, main.list_selection(IDC_ADAPTER_LIST)) +
      " ";
  const std::string firmware_line = std::string(is_station ? "Station" : "Primary") +
                                    " Firmware: Rev " + revision + " from " + source + " ";
  log_message("%s\n", {"Updating flash"});
  log_message("%s\n", {adapter_line});
  log_message("%s\n", {firmware_line});
  set_dialog_cursor(platform::CursorShape::Wait);

  bool ok = false;
  {
    FlashProgressDialog progress_dialog;
    const bool quiet = run_options().quiet;
    DialogProgressBar dialog_bar(main, IDC_PROGRESS);
    WindowProgressBar window_bar(progress_dialog.window(), platform::kProgressBarControl);
    if (quiet) {
      main.show_dialog(false);
      main.enable_dialog(false);
      progress_dialog.window().center();
      progress_dialog.window().show();
      progress_dialog.message_text = "Flash update in progress.  Please wait.";
      progress_dialog.window().set_text(platform::kProgressAdapterLine, adapter_line);
      progress_dialog.window().set_text(platform::kProgressFirmwareLine, firmware_line);
      progress_dialog.window().paint_now();
      progress_dialog.show_progress_text();
    }
    ProgressBar& bar = quiet ? static_cast<ProgressBar&>(window_bar) : dialog_bar;
    ok = adapter.write_flash(image, &bar, quiet);

    const char* result = ok ? "Update Successful!" : "Update FAILED";
    if (!quiet) {
      set_dialog_cursor(platform::CursorShape::Arrow);
      main.enable_dialog(true);
      main.show_dialog(true);
    }
    set_status_text(result);
    log_message("%s\n", {result});
  }
  return ok;
}

}  // namespace devov
