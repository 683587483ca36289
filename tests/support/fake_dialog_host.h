// A dialog host for the tests: runs the handler's initialisation over an
// in-memory view, then lets the test act as the user while the dialog is open.
#pragma once

#include <functional>
#include <memory>

#include "platform/dialog.h"
#include "platform/view_state.h"

namespace devov::test {

class FakeDialogHost : public platform::DialogHost {
 public:
  // What run_main_dialog answers for a dialog that nobody ended.
  static constexpr int kNeverEnded = -1;

  int run_main_dialog(platform::DialogHandler& handler) override;

  // The user's part, called after initialisation when the dialog is still
  // open: deliver commands through the handler, read the view.
  std::function<void(platform::DialogHandler&, platform::ViewState&)> user;

  // The view of the last dialog run; it outlives the dialog.
  std::unique_ptr<platform::ViewState> view;
  int dialogs_run = 0;
  bool ended_during_init = false;
};

}  // namespace devov::test
