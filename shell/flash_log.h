// The flash log "c:\flash.log" and the program's one message-box operation.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/message_boxes.h"

namespace devov {

inline constexpr const char* kLogFileName = "flash.log";

// One argument of a log format: a text for %s, a number for %u and %x.
class LogArg {
 public:
  LogArg(std::string_view text) : text_(text), is_text_(true) {}
  LogArg(const std::string& text) : text_(text), is_text_(true) {}
  LogArg(const char* text) : text_(text ? text : ""), is_text_(true) {}
  LogArg(std::uint32_t number) : number_(number) {}
  LogArg(std::int32_t number) : number_(static_cast<std::uint32_t>(number)) {}

  bool is_text() const { return is_text_; }
  std::string_view text() const { return text_; }
  std::uint32_t number() const { return number_; }

 private:
  std::string_view text_;
  std::uint32_t number_ = 0;
  bool is_text_ = false;
};

// Replaces each %s, %u and %x of `format` by the next argument (%x in lower
// case without leading zeros). Anything else after a "%" is copied as it
// stands, and so is a conversion without an argument left for it.
std::string format_log_text(std::string_view format,
                            std::initializer_list<LogArg> args);

// The log file of the process: opened for appending on the first line, kept
// open, never retried after a failed open.
class FlashLog {
 public:
  ~FlashLog();
  void write(const std::string& text);
  void flush();
  void close();
  bool failed() const { return failed_; }
  // Forgets the open file and the failure flag; for tests that run several
  // programs in one process.
  void reset();
  // Sends the log's text to `sink` instead of the file, or back to the file
  // with nullptr: for tools that show what the log would carry.
  void capture(std::string* sink) { sink_ = sink; }

 private:
  std::string* sink_ = nullptr;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

FlashLog& flash_log();

void set_log_enabled(bool on);

// Formats and appends to the log, unless logging is off or the log failed.
// Texts that are not the caller's own format go in as a "%s" argument.
void log_message(std::string_view format, std::initializer_list<LogArg> args = {});

// Logs caption + ":" + text (or the text alone), then shows the box unless
// quiet mode is on, when it answers Cancel (2).
int show_message(platform::BoxOwner owner, const std::string& text,
                 const std::optional<std::string>& caption, unsigned style);

// Formats a local time with %A, %B, %d, %Y, %H, %M and %S, with the English
// weekday and month names whatever the locale.
std::string format_time(std::string_view pattern, const platform::LocalTime& time);

// Logs the current local time in one of the time-stamp patterns.
std::string log_time_stamp(std::string_view pattern);

}  // namespace devov
