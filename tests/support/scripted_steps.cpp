// The scripted workflow steps.
#include "tests/support/scripted_steps.h"

#include "shell/update_flash_dialog.h"

namespace devov::test {

void ScriptedSteps::add_file(UpdateFlashDialog&, const std::string& path,
                             int resource_id) {
  events.push_back("add_file " + path + " " + std::to_string(resource_id));
}

void ScriptedSteps::show_manifest(UpdateFlashDialog&) {
  events.push_back("show_manifest");
}

int ScriptedSteps::pre_check(UpdateFlashDialog& dialog) {
  events.push_back("pre_check");
  return pre_check_action ? pre_check_action(dialog) : 0;
}

void ScriptedSteps::on_continue(UpdateFlashDialog& dialog) {
  if (requests >= kMaxRequests) throw RunawayLoop{requests};
  events.push_back("on_continue");
  if (clock) sleeps_before_request.push_back(clock->sleeps.size());
  const auto index = static_cast<std::size_t>(requests++);
  if (index < completes.size() && completes[index]) dialog.last_result = 1;
}

void ScriptedSteps::select_embedded_firmware(UpdateFlashDialog&) {
  events.push_back("select_embedded_firmware");
}

}  // namespace devov::test
