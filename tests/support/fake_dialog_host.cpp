// The test dialog host.
#include "tests/support/fake_dialog_host.h"

namespace devov::test {

int FakeDialogHost::run_main_dialog(platform::DialogHandler& handler) {
  ++dialogs_run;
  view = std::make_unique<platform::ViewState>();
  handler.on_init(*view);
  ended_during_init = view->outcome().has_value();
  if (!ended_during_init && user) user(handler, *view);
  return view->outcome().value_or(kNeverEnded);
}

}  // namespace devov::test
