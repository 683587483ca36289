// The flash log: one append-only text file written by the whole program.
#include "shell/flash_log.h"

#include "platform/platform.h"
#include "shell/run_options.h"

namespace devov {

std::string format_log_text(std::string_view format,
                            std::initializer_list<LogArg> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 >= format.size()) {
      out += c;
      continue;
    }
    char conversion = format[i + 1];
    if ((conversion != 's' && conversion != 'u' && conversion != 'x') ||
        next == args.end()) {
      out += c;
      continue;
    }
    const LogArg& arg = *next++;
    ++i;
    if (conversion == 's') {
      if (arg.is_text()) out += arg.text();
      else out += std::to_string(arg.number());
    } else if (conversion == 'u') {
      out += arg.is_text() ? std::string(arg.text()) : std::to_string(arg.number());
    } else {
      if (arg.is_text()) {
        out += arg.text();
        continue;
      }
      char digits[9];
      int n = 0;
      std::uint32_t v = arg.number();
      do {
        digits[n++] = "0123456789abcdef"[v & 0xF];
        v >>= 4;
      } while (v != 0);
      while (n > 0) out += digits[--n];
    }
  }
  return out;
}

FlashLog::~FlashLog() { close(); }

void FlashLog::write(const std::string& text) {
  if (sink_) {
    *sink_ += text;
    return;
  }
  if (failed_) return;
  if (!file_) {
    std::string path = platform::services().drive_c.path_of(kLogFileName);
    // Text mode, so that the platform stores its own line ends.
    file_ = std::fopen(path.c_str(), "a");
    if (!file_) {
      failed_ = true;
      return;
    }
  }
  // A write error is ignored: the log never stops the program.
  std::fwrite(text.data(), 1, text.size(), file_);
}

void FlashLog::flush() {
  if (file_) std::fflush(file_);
}

void FlashLog::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void FlashLog::reset() {
  close();
  failed_ = false;
}

FlashLog& flash_log() {
  static FlashLog log;
  return log;
}

void set_log_enabled(bool on) { run_options().log_enabled = on; }

void log_message(std::string_view format, std::initializer_list<LogArg> args) {
  if (!run_options().log_enabled || flash_log().failed()) return;
  flash_log().write(format_log_text(format, args));
}

int show_message(platform::BoxOwner owner, const std::string& text,
                 const std::optional<std::string>& caption, unsigned style) {
  if (caption) log_message("%s:", {*caption});
  log_message("%s\n", {text});
  if (run_options().quiet) return platform::kAnswerCancel;
  return platform::services().boxes.show(owner, text, caption, style);
}

namespace {

constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",
                                   "May",     "June",     "July",      "August",
                                   "September", "October", "November", "December"};

void append_number(std::string& out, int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width)
    out.append(static_cast<std::size_t>(width) - digits.size(), '0');
  out += digits;
}

}  // namespace

std::string format_time(std::string_view pattern, const platform::LocalTime& t) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%' || i + 1 >= pattern.size()) {
      out += pattern[i];
      continue;
    }
    switch (pattern[++i]) {
      case 'A': out += kWeekdays[((t.weekday % 7) + 7) % 7]; break;
      case 'B': out += kMonths[((t.month - 1) % 12 + 12) % 12]; break;
      case 'd': append_number(out, t.day, 2); break;
      case 'Y': append_number(out, t.year, 4); break;
      case 'H': append_number(out, t.hour, 2); break;
      case 'M': append_number(out, t.minute, 2); break;
      case 'S': append_number(out, t.second, 2); break;
      default:
        out += '%';
        out += pattern[i];
    }
  }
  return out;
}

std::string log_time_stamp(std::string_view pattern) {
  std::string text = format_time(pattern, platform::services().clock.now());
  log_message("%s\n", {text});
  return text;
}

}  // namespace devov
