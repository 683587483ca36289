// UpdateApp: single instance, hand-over and exit status.
#include "shell/update_app.h"

#include "platform/platform.h"
#include "shell/update_flash_dialog.h"
#include "shell/update_steps.h"
#include "shell/version.h"

namespace devov {

int UpdateApp::run(const std::vector<std::string>& arguments, UpdateSteps& steps) {
  auto& services = platform::services();
  if (services.link.find_running(kCaption)) {
    services.link.bring_to_front();
    const int count = static_cast<int>(arguments.size());
    for (std::size_t i = 1; i < arguments.size(); ++i)
      services.link.hand_over(count, arguments[i]);
    return 0;
  }
  UpdateFlashDialog dialog(arguments, steps);
  dialog.caption = kCaption;
  const int outcome = services.dialogs.run_main_dialog(dialog);
  services.process.flush_all();
  // A dialog that could not be created counts as not completed.
  return outcome == platform::kOutcomeOk ? 0 : 1;
}

int run_program(const std::vector<std::string>& arguments) {
  PendingSteps steps;
  return UpdateApp().run(arguments, steps);
}

}  // namespace devov
