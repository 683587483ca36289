// UpdateFlashDialog: the main window, host of the update's long-lived state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "adapter/adapter_session.h"
#include "platform/dialog.h"
#include "production/pda_list.h"

namespace devov {

class UpdateSteps;

inline constexpr std::uint32_t kColorBlack = 0;
inline constexpr std::uint32_t kColorRed = 255;

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
