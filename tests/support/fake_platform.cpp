// The fake platform services.
#include "tests/support/fake_platform.h"

#include <cstring>

#include "resources/main_dialog_template.h"

namespace devov::test {

int FakeMessageBoxes::show(platform::BoxOwner owner, const std::string& text,
                           const std::optional<std::string>& caption, unsigned style) {
  calls.push_back({owner, text, caption, style});
  if (answers.empty()) return platform::kAnswerOk;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> FakeResources::string(int id) {
  for (const auto& entry : resources::string_table())
    if (entry.id == id) return std::string(entry.text);
  return std::nullopt;
}

std::optional<std::string_view> FakeResources::firmware_text(int id) {
  auto it = firmware.find(id);
  if (it == firmware.end()) return std::nullopt;
  return std::string_view(it->second);
}

bool FakeInstanceLink::find_running(const std::string& caption) {
  events.push_back("find_running " + caption);
  return running;
}

void FakeInstanceLink::bring_to_front() { events.push_back("bring_to_front"); }

bool FakeInstanceLink::hand_over(int argument_count, const std::string& argument) {
  events.push_back("hand_over " + std::to_string(argument_count) + " " + argument);
  return true;
}

std::string FakeDriveC::path_of(const std::string& file_name) {
  return (folder / file_name).string();
}

std::uint32_t FakeRequestLibrary::get_adapter_registry_info(void* record, const char*) {
  if (record) std::memset(record, 0, platform::kAdapterRecordSize);
  return 1;
}

platform::AdapterHandle FakeRequestLibrary::open_adapter(const char* open_name) {
  opened.emplace_back(open_name ? open_name : "");
  last_error_ = opened.back() == kCheckName ? check_error : kErrorFileNotFound;
  return platform::kInvalidAdapter;
}

std::uint32_t FakeRequestLibrary::make_ndis_request(platform::AdapterHandle, void*, void*,
                                                    std::uint32_t) {
  last_error_ = kErrorInvalidHandle;
  return 0xC0000001;
}

FakePlatform::FakePlatform() { platform::install(services); }

platform::EventHandle FakeEvents::create_event() {
  if (fail_create) return nullptr;
  ++created;
  return &token_;
}

void FakeEvents::reset_event(platform::EventHandle) { ++resets; }

void FakeEvents::close_event(platform::EventHandle) { ++closed; }

bool RecordingRegistry::open_key(platform::RegistryRoot root, const std::string& path,
                                 platform::RegistryKey& key) {
  if (!inner_.open_key(root, path, key)) return false;
  ++opened;
  return true;
}

bool RecordingRegistry::open_subkey(platform::RegistryKey parent, const std::string& path,
                                    platform::RegistryKey& key) {
  if (!inner_.open_subkey(parent, path, key)) return false;
  ++opened;
  return true;
}

void RecordingRegistry::close_key(platform::RegistryKey key) {
  ++closed;
  inner_.close_key(key);
}

bool FakeProgressWindow::create() {
  calls.push_back("create");
  exists = true;
  shown = false;
  texts.clear();
  return true;
}

void FakeProgressWindow::destroy() {
  calls.push_back("destroy");
  exists = shown = false;
}

void FakeProgressWindow::show() {
  calls.push_back("show");
  shown = exists;
}

void FakeProgressWindow::set_text(int control, const std::string& text) {
  calls.push_back("text " + std::to_string(control) + " " + text);
  texts[control] = text;
}

void FakeProgressWindow::hide_caret(int control) {
  calls.push_back("hide_caret " + std::to_string(control));
}

void FakeProgressWindow::set_progress_range(int control, int l, int h) {
  calls.push_back("range " + std::to_string(control) + " " + std::to_string(l) + " " +
                  std::to_string(h));
  low = l;
  high = h;
}

void FakeProgressWindow::set_progress_position(int control, int p) {
  calls.push_back("position " + std::to_string(control) + " " + std::to_string(p));
  position = p;
}

}  // namespace devov::test
