// UpdateFlashDialog: the main window, host of the update's long-lived state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/adapter_session.h"
#include "platform/dialog.h"
#include "resources/resource_ids.h"
#include "production/pda_list.h"

namespace devov {

class FirmwareImage;
class UpdateSteps;

inline constexpr std::uint32_t kColorBlack = 0;
inline constexpr std::uint32_t kColorRed = 255;
// The command that shows the selected adapter's driver version; no control
// or menu of the dialog sends it.
inline constexpr int kCommandDriverVersion = IDM_DRIVER_VERSION;

class UpdateFlashDialog : public platform::DialogHandler {
 public:
  // `arguments` is the process's argument vector, program name first.
  UpdateFlashDialog(std::vector<std::string> arguments, UpdateSteps& steps);
  UpdateFlashDialog(const UpdateFlashDialog&) = delete;
  UpdateFlashDialog& operator=(const UpdateFlashDialog&) = delete;
  ~UpdateFlashDialog() override;

  void on_init(platform::DialogView& view) override;
  void on_command(int command) override;
  void on_cancel() override;
  void on_copy_data(const std::string& text) override;
  void on_system_command(int command) override;

  const std::vector<std::string>& arguments() const { return arguments_; }
  platform::DialogView& view() { return *view_; }

  void set_status_text(const std::string& text);
  void set_status_color(std::uint32_t color);
  // Copies the bound texts into their edits.
  void refresh_bound_edits();

  // The workflow steps the dialog calls on.
  void add_file(const std::string& path, int resource_id);
  int pre_check();
  void on_continue();
  // Merges a .pda file into the adapter's PDA; false, after telling the
  // user, if the file is malformed or yields no record.
  bool load_pda_file(const std::string& path);

  // Adapter selection and identity.
  // Rebuilds the adapter list from the adapters that open; with
  // `auto_select`, selects the only one.
  void detect_adapters(bool auto_select);
  // Selects the adapter-list entry that is selected and reads its identity.
  bool select_adapter();
  // Opens the selected adapter, with the driver-version check when asked;
  // true leaves it open.
  bool open_selected(bool check_driver);
  void close_selected();
  void on_close_adapter();
  void show_driver_version();
  // Shows the adapter's present firmware versions and files.
  bool show_current_firmware();
  // The identity texts from the PDA, then the bound edits.
  void refresh_identity_fields();

  // Flash programming of one image into the open adapter; true when the
  // status box reads "Update Successful!".
  bool program_image(FirmwareImage& image, bool is_station, const std::string& revision,
                     const std::string& source);
  void set_dialog_cursor(platform::CursorShape cursor);

  std::uint32_t status_color = kColorBlack;
  bool programming_busy = false;
  int last_result = 0;
  std::string caption;
  std::string part_number_text;
  std::string pda_mac_text;
  std::string serial_number_text;
  std::string adapter_mac_text;
  std::string adapter_name;
  std::string version_box_text;
  std::int32_t selected_adapter = -1;
  bool adapter_selected = false;
  PdaList pda;
  std::string last_queued_path;
  AdapterSession adapter;

 private:
  void set_up_window();
  void run_quiet_loop();

  std::vector<std::string> arguments_;
  UpdateSteps& steps_;
  platform::DialogView* view_ = nullptr;
};

}  // namespace devov
