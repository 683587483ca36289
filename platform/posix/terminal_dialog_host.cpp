// The main dialog's modal loop in the terminal.
#include "platform/posix/terminal_dialog_host.h"

#include <poll.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/posix/terminal.h"
#include "resources/resource_ids.h"

namespace devov::posix {

// The control state, drawn once the dialog is shown, and the receiving end
// of the single-instance link, which opens when the dialog takes its caption.
class TerminalDialogHost::View : public platform::ViewState {
 public:
  View(const std::string& folder, std::FILE* out) : listener_(folder), out_(out) {
    if (const char* dump = std::getenv("DEVOV_VIEW_DUMP"); dump && *dump) dump_path_ = dump;
    color_ = isatty(fileno(out)) != 0;
  }

  void set_caption(const std::string& caption) override {
    platform::ViewState::set_caption(caption);
    listener_.listen(caption);
  }
  void repaint_now() override {
    platform::ViewState::repaint_now();
    if (shown_) draw();
  }

  void draw() {
    if (color_) std::fputs("\x1b[H\x1b[2J", out_);
    else std::fputs("\n", out_);
    std::fputs(render_dialog(*this, color_).c_str(), out_);
    std::fflush(out_);
    write_dump();
  }
  void write_dump() {
    if (dump_path_.empty()) return;
    std::string temporary = dump_path_ + ".new";
    {
      std::ofstream dump(temporary, std::ios::trunc);
      dump << describe();
    }
    std::rename(temporary.c_str(), dump_path_.c_str());
  }

  SocketListener listener_;
  bool shown_ = false;

 private:
  std::FILE* out_;
  std::string dump_path_;
  bool color_ = false;
};

TerminalDialogHost::TerminalDialogHost(std::string host_folder, int in, std::FILE* out)
    : folder_(std::move(host_folder)), in_(in), out_(out) {}

int TerminalDialogHost::run_main_dialog(platform::DialogHandler& handler) {
  View view(folder_, out_);
  handler.on_init(view);
  if (view.outcome()) {
    view.write_dump();
    return *view.outcome();
  }
  view.shown_ = true;
  bool input_open = true;
  while (!view.outcome()) {
    view.draw();
    pollfd fds[2] = {{in_, POLLIN, 0}, {view.listener_.fd(), POLLIN, 0}};
    int count = view.listener_.fd() >= 0 ? 2 : 1;
    if (!input_open) fds[0].fd = -1;
    if (poll(fds, static_cast<nfds_t>(count), -1) < 0) continue;
    if (count == 2 && (fds[1].revents & POLLIN)) {
      view.listener_.serve_one([&](const std::string& text) { handler.on_copy_data(text); });
      continue;
    }
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    std::string line;
    if (!read_line(in_, line)) {
      // Standard input has ended: a close request, under the Cancel rule.
      input_open = false;
      handler.on_cancel();
      if (!view.outcome() && view.listener_.fd() < 0) break;
      continue;
    }
    if (line == "\x1b") {
      handler.on_cancel();
    } else if ((line.empty() || line == "c" || line == "r") && button_key(view, IDC_CONTINUE)) {
      handler.on_command(IDC_CONTINUE);
    } else if (line == "x" && button_key(view, IDC_CANCEL)) {
      handler.on_cancel();
    } else if (int command = hidden_command_for_key(view, line)) {
      // Selecting stands for a click on the list's first entry.
      if (command == IDC_ADAPTER_LIST) {
        if (view.list_count(IDC_ADAPTER_LIST) == 0) continue;
        view.select_list_item(IDC_ADAPTER_LIST, 0);
      }
      handler.on_command(command);
    }
  }
  view.write_dump();
  return view.outcome().value_or(platform::kOutcomeCancel);
}

}  // namespace devov::posix
