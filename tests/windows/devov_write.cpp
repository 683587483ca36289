// devov-write: the Windows program with a workflow of its own for the Wine
// tests of flash programming. The main dialog, the Win32 services and the
// request library are the program's; at start-up the dialog detects and
// selects the single adapter, and a programming request writes one image
// with program_image and ends the write session as the program does.
//
//   devov-write [--image FILE.HEX] [--hold REPORT RELEASE] PROGRAM-OPTIONS...
//
// Without --image it writes the embedded station firmware SU010503.HEX. With
// --hold, the write stops once the progress bar stands at half its range:
// the progress window's state goes to REPORT, and the write goes on when
// RELEASE exists. Nothing paints the window meanwhile; what a screenshot
// then shows is what the program painted itself. The exit status is the
// program's: 0 after a completed quiet run.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "platform/platform.h"
#include "platform/win32/dialog_host.h"
#include "platform/win32/events.h"
#include "platform/win32/instance_link.h"
#include "platform/win32/message_boxes.h"
#include "platform/win32/progress_window.h"
#include "platform/win32/registry.h"
#include "platform/win32/request_library.h"
#include "platform/win32/resources.h"
#include "platform/win32/system_services.h"
#include "resources/resource_ids.h"
#include "shell/update_app.h"
#include "shell/update_flash_dialog.h"
#include "shell/update_steps.h"

namespace {

using devov::UpdateFlashDialog;

constexpr int kPlanNotReady = 0;
constexpr int kPlanStationOnly = 1;
constexpr DWORD kHoldPollMs = 50;
// A hold that is never released ends, so a failed case cannot hang the run.
constexpr DWORD kHoldLimitMs = 30000;
constexpr int kTextBuffer = 512;

struct Options {
  std::string image;  // empty: the embedded station firmware
  std::string report;
  std::string release;
  std::vector<std::string> program_arguments;
};

class WriteSteps : public devov::UpdateSteps {
 public:
  explicit WriteSteps(std::string image) : image_(std::move(image)) {}

  void add_file(UpdateFlashDialog&, const std::string&, int) override {}
  void show_manifest(UpdateFlashDialog&) override {}
  void select_embedded_firmware(UpdateFlashDialog&) override {}

  int pre_check(UpdateFlashDialog& dialog) override {
    dialog.detect_adapters(true);
    return dialog.adapter_selected ? kPlanStationOnly : kPlanNotReady;
  }

  void on_continue(UpdateFlashDialog& dialog) override {
    devov::FirmwareFile file;
    devov::FirmwareImage image;
    const bool loaded = image_.empty()
                            ? file.load_resource(IDR_FIRMWARE_SU, &image, nullptr) != 0
                            : file.load_file(image_, &image, nullptr) != 0;
    if (!loaded || !dialog.open_selected(true)) return;
    const bool station = file.station_identity.present;
    const std::string revision =
        station ? file.station_identity.to_text() : file.primary_identity.to_text();
    const bool ok = dialog.program_image(image, station, revision,
                                         image_.empty() ? "SU010503.HEX" : image_);
    dialog.adapter.block_protocols(false);
    dialog.adapter.finish();
    dialog.close_selected();
    if (ok) dialog.last_result = 1;
  }

 private:
  std::string image_;
};

std::string text_of(HWND window, int control) {
  char text[kTextBuffer] = {};
  GetDlgItemTextA(window, control, text, sizeof(text));
  return text;
}

std::string rect_of(HWND window) {
  RECT box{};
  GetWindowRect(window, &box);
  return std::to_string(box.left) + " " + std::to_string(box.top) + " " +
         std::to_string(box.right - box.left) + " " + std::to_string(box.bottom - box.top);
}

// The program's progress window, stopping the write once at half the bar.
class HoldingProgressWindow : public devov::platform::ProgressWindow {
 public:
  HoldingProgressWindow(devov::win32::Win32ProgressWindow& window,
                        const devov::win32::Win32DialogHost& dialogs, const Options& options)
      : window_(window), dialogs_(dialogs), options_(options) {}

  bool create() override { return window_.create(); }
  void destroy() override { window_.destroy(); }
  void center() override { window_.center(); }
  void show() override { window_.show(); }
  void set_text(int control, const std::string& text) override {
    window_.set_text(control, text);
  }
  void hide_caret(int control) override { window_.hide_caret(control); }
  void paint_now() override { window_.paint_now(); }
  void set_progress_range(int control, int low, int high) override {
    window_.set_progress_range(control, low, high);
    high_ = high;
  }
  void set_progress_position(int control, int position) override {
    window_.set_progress_position(control, position);
    if (held_ || options_.report.empty() || high_ <= 1 || position != high_ / 2) return;
    held_ = true;
    write_report();
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(options_.release.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < kHoldLimitMs)
      Sleep(kHoldPollMs);
  }

 private:
  // Written under another name first, so the reader never sees half of it.
  void write_report() {
    HWND window = window_.window();
    HWND main = dialogs_.main_dialog();
    HWND bar = window ? GetDlgItem(window, IDC_PROGRESS) : nullptr;
    const std::string partial = options_.report + ".part";
    {
      std::ofstream out(partial, std::ios::binary | std::ios::trunc);
      out << "window " << (window && IsWindowVisible(window) ? "shown" : "hidden") << "\n";
      out << "main-dialog " << (main && IsWindowVisible(main) ? "shown" : "hidden") << " "
          << (main && IsWindowEnabled(main) ? "enabled" : "disabled") << "\n";
      if (window) {
        out << "rect " << rect_of(window) << "\n";
        for (int control : {IDC_PROGRESS_MESSAGE, IDC_PROGRESS_ADAPTER_LINE,
                            IDC_PROGRESS_FIRMWARE_LINE, IDC_PROGRESS})
          out << "control " << control << " " << rect_of(GetDlgItem(window, control)) << "\n";
        for (int control :
             {IDC_PROGRESS_MESSAGE, IDC_PROGRESS_ADAPTER_LINE, IDC_PROGRESS_FIRMWARE_LINE})
          out << "text " << control << " " << text_of(window, control) << "\n";
      }
      if (bar) {
        PBRANGE range{};
        SendMessageA(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        out << "range " << range.iLow << " " << range.iHigh << "\n";
        out << "position " << SendMessageA(bar, PBM_GETPOS, 0, 0) << "\n";
      }
    }
    MoveFileExA(partial.c_str(), options_.report.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

  devov::win32::Win32ProgressWindow& window_;
  const devov::win32::Win32DialogHost& dialogs_;
  const Options& options_;
  int high_ = 0;
  bool held_ = false;
};

bool parse(int argc, char** argv, Options& options) {
  options.program_arguments.push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--image") && i + 1 < argc) {
      options.image = argv[++i];
    } else if (!std::strcmp(argv[i], "--hold") && i + 2 < argc) {
      options.report = argv[++i];
      options.release = argv[++i];
    } else if (!std::strncmp(argv[i], "--", 2)) {
      std::fprintf(stderr, "devov-write: unknown option %s\n", argv[i]);
      return false;
    } else {
      options.program_arguments.push_back(argv[i]);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) return 2;
  using namespace devov::win32;
  Win32DialogHost dialogs;
  Win32MessageBoxes boxes(dialogs);
  Win32Clock clock;
  Win32SystemInfo system;
  Win32ProcessControl process;
  Win32Resources resources;
  Win32InstanceLink link;
  Win32DriveC drive_c;
  Win32RequestLibrary library;
  Win32Registry registry;
  Win32Events events;
  Win32ProgressWindow window;
  HoldingProgressWindow progress(window, dialogs, options);
  devov::platform::Services services{boxes,   clock,   system,   process, resources, link,
                                     drive_c, library, dialogs, registry, events,    progress};
  devov::platform::install(services);

  WriteSteps steps(options.image);
  const int status = devov::UpdateApp().run(options.program_arguments, steps);
  process.flush_all();
  return status;
}
