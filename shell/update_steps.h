// The steps of start-up and of a programming request that the dialog hands
// to the update workflow: queueing a file, the manifest of the embedded
// firmware, the pre-check and one programming request.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace devov {

class UpdateFlashDialog;

class UpdateSteps {
 public:
  virtual ~UpdateSteps() = default;
  // Queues a file (resource id 0) or an embedded image.
  virtual void add_file(UpdateFlashDialog& dialog, const std::string& path,
                        int resource_id) = 0;
  virtual void show_manifest(UpdateFlashDialog& dialog) = 0;
  // Answers the update plan: 0 not ready, 1 station only, 2 primary and station.
  virtual int pre_check(UpdateFlashDialog& dialog) = 0;
  virtual void on_continue(UpdateFlashDialog& dialog) = 0;
  // Queues the embedded images that fit the selected adapter and shows what
  // programming would write.
  virtual void select_embedded_firmware(UpdateFlashDialog& dialog) = 0;
};

// The steps as far as the program has them: each records what it is given,
// and a queued file is mirrored into list view 1040 as a row of its own.
class PendingSteps : public UpdateSteps {
 public:
  void add_file(UpdateFlashDialog& dialog, const std::string& path,
                int resource_id) override;
  void show_manifest(UpdateFlashDialog& dialog) override;
  int pre_check(UpdateFlashDialog& dialog) override;
  void on_continue(UpdateFlashDialog& dialog) override;
  void select_embedded_firmware(UpdateFlashDialog& dialog) override;

  std::vector<std::pair<std::string, int>> files;
  int manifests = 0;
  int pre_checks = 0;
  int requests = 0;
  int firmware_selections = 0;
};

}  // namespace devov
