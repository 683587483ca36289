// The workflow steps as far as the program has them.
#include "shell/update_steps.h"

#include "resources/resource_ids.h"
#include "shell/update_flash_dialog.h"

namespace devov {

void PendingSteps::add_file(UpdateFlashDialog& dialog, const std::string& path,
                            int resource_id) {
  dialog.last_queued_path = path;
  files.emplace_back(path, resource_id);
  auto& view = dialog.view();
  int row = view.insert_row(IDC_FILE_QUEUE, view.row_count(IDC_FILE_QUEUE), "", 1,
                            resource_id);
  view.set_row_text(IDC_FILE_QUEUE, row, 1, path);
}

void PendingSteps::show_manifest(UpdateFlashDialog&) { ++manifests; }

int PendingSteps::pre_check(UpdateFlashDialog&) {
  ++pre_checks;
  return 0;
}

void PendingSteps::on_continue(UpdateFlashDialog&) { ++requests; }

void PendingSteps::select_embedded_firmware(UpdateFlashDialog&) { ++firmware_selections; }

}  // namespace devov
