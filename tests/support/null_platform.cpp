#include "tests/support/null_platform.h"

#include "shell/flash_log.h"

namespace devov::test {

struct NullPlatform::Impl : platform::MessageBoxes,
                            platform::Clock,
                            platform::SystemInfo,
                            platform::ProcessControl,
                            platform::Resources,
                            platform::InstanceLink,
                            platform::DriveC,
                            platform::RequestLibrary,
                            platform::DialogHost,
                            platform::Registry,
                            platform::Events,
                            platform::ProgressWindow {
  explicit Impl(NullPlatform& owner) : owner_(owner) {}

  int show(platform::BoxOwner, const std::string&, const std::optional<std::string>&,
           unsigned) override {
    ++owner_.boxes_shown;
    return platform::kAnswerOk;
  }
  platform::LocalTime now() override { return {}; }
  void sleep_ms(std::uint32_t) override {}
  platform::OsVersion os_version() override { return {}; }
  platform::PowerStatus power_status() override { return {}; }
  [[noreturn]] void exit_process(int status) override { throw Exit{status}; }
  void flush_all() override {}
  std::optional<std::string> string(int) override { return std::nullopt; }
  std::optional<std::string_view> firmware_text(int id) override {
    auto it = owner_.firmware.find(id);
    if (it == owner_.firmware.end()) return std::nullopt;
    return std::string_view(it->second);
  }
  bool find_running(const std::string&) override { return false; }
  void bring_to_front() override {}
  bool hand_over(int, const std::string&) override { return false; }
  std::string path_of(const std::string& name) override { return "/nonexistent/" + name; }
  bool is_windows_nt() override { return true; }
  bool is_windows_95() override { return false; }
  std::uint32_t os_get_platform_version(std::uint32_t) override { return 5; }
  std::uint32_t get_adapter_registry_info(void*, const char*) override { return 1; }
  platform::AdapterHandle open_adapter(const char*) override { return platform::kInvalidAdapter; }
  std::uint32_t get_last_error() override { return 2; }
  void close_adapter(platform::AdapterHandle) override {}
  std::uint32_t make_ndis_request(platform::AdapterHandle, void*, void*, std::uint32_t) override {
    return 0xC0000001;
  }
  int run_main_dialog(platform::DialogHandler&) override { return -1; }
  bool open_key(platform::RegistryRoot, const std::string&, platform::RegistryKey&) override {
    return false;
  }
  bool open_subkey(platform::RegistryKey, const std::string&, platform::RegistryKey&) override {
    return false;
  }
  bool enum_subkey(platform::RegistryKey, std::uint32_t, std::size_t, std::string&) override {
    return false;
  }
  bool query_value(platform::RegistryKey, const std::string&, std::size_t,
                   std::vector<std::uint8_t>&) override {
    return false;
  }
  void close_key(platform::RegistryKey) override {}
  platform::EventHandle create_event() override { return this; }
  void reset_event(platform::EventHandle) override {}
  void close_event(platform::EventHandle) override {}
  bool create() override { return false; }
  void destroy() override {}
  void center() override {}
  void show() override {}
  void set_text(int, const std::string&) override {}
  void hide_caret(int) override {}
  void set_progress_range(int, int, int) override {}
  void set_progress_position(int, int) override {}
  void paint_now() override {}

  NullPlatform& owner_;
  platform::Services services{*this, *this, *this, *this, *this, *this,
                              *this, *this, *this, *this, *this, *this};
};

NullPlatform::NullPlatform() : impl_(new Impl(*this)) {
  platform::install(impl_->services);
  flash_log().capture(&log);
}

NullPlatform::~NullPlatform() {
  flash_log().capture(nullptr);
  delete impl_;
}

}  // namespace devov::test
