// The command-line grammar and its echo.
#include "shell/command_line.h"

#include <cctype>
#include <climits>
#include <cstdint>

#include "shell/flash_log.h"
#include "shell/run_options.h"
#include "shell/update_flash_dialog.h"
#include "shell/version.h"

namespace devov {
namespace {

bool same_option(const std::string& argument, const char* option) {
  std::size_t i = 0;
  for (; argument[i] != '\0' && option[i] != '\0'; ++i) {
    if (std::tolower(static_cast<unsigned char>(argument[i])) !=
        std::tolower(static_cast<unsigned char>(option[i])))
      return false;
  }
  return i == argument.size() && option[i] == '\0';
}

bool takes_value(const std::string& argument) {
  return same_option(argument, "-repeat") || same_option(argument, "-delay");
}

}  // namespace

int read_option_value(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      value = static_cast<std::int64_t>(INT_MAX) + 1;
      break;
    }
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

void parse_command_line(UpdateFlashDialog& dialog) {
  const auto& args = dialog.arguments();
  RunOptions& options = run_options();
  log_message("Command Line: %s", {args.empty() ? std::string() : args[0]});
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (takes_value(arg)) {
      // The value is consumed whatever it says; without one the option
      // still counts, with the value 0.
      const bool has_value = i + 1 < args.size();
      const std::string value = has_value ? args[i + 1] : std::string();
      log_message(" %s%s", {arg, value});
      if (has_value) ++i;
      if (same_option(arg, "-repeat")) {
        options.repeat_requested = true;
        options.repeat_count = read_option_value(value);
      } else {
        options.delay_requested = true;
        options.delay_seconds = read_option_value(value);
      }
      continue;
    }
    log_message(" %s", {arg});
    if (same_option(arg, "-log")) {
      set_log_enabled(true);
    } else if (same_option(arg, "-nolog")) {
      set_log_enabled(false);
    } else if (same_option(arg, "-batteryOK")) {
      options.battery_ok = true;
    } else if (same_option(arg, "-quiet")) {
      options.quiet = true;
    } else if (same_option(arg, "-verbose")) {
      options.quiet = false;
    } else if (same_option(arg, "-manifest")) {
      options.manifest_requested = true;
    } else if (same_option(arg, "-debug")) {
      log_message("Command Line:");
      for (const auto& each : args) log_message("%s ", {each});
      log_message("\n");
      log_message("%s\n", {version_text()});
    } else if (same_option(arg, "-ForceUpdate")) {
      options.force_update = true;
    } else if (same_option(arg, "-RefreshPrimary")) {
      options.refresh_primary = true;
    } else {
      dialog.add_file(arg, 0);
      options.files_on_command_line = true;
    }
  }
  log_message("\n");
  log_message("\n");
}

void add_command_line_files(UpdateFlashDialog& dialog) {
  const auto& args = dialog.arguments();
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (takes_value(arg)) {
      ++i;
      continue;
    }
    if (!arg.empty() && arg[0] == '-') continue;
    dialog.add_file(arg, 0);
    run_options().files_on_command_line = true;
  }
}

}  // namespace devov
