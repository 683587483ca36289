// Reading the command line into RunOptions, with its echo in the log.
#pragma once

#include <string>
#include <vector>

namespace devov {

class UpdateFlashDialog;

// Reads a value argument: leading blanks, an optional sign, then the leading
// decimal digits; no digits read as 0. Values beyond 32 bits are clamped.
int read_option_value(const std::string& text);

// The first reading: every argument into RunOptions; file arguments are
// queued as they are read.
void parse_command_line(UpdateFlashDialog& dialog);

// The second reading: queues the file arguments again, skipping the options.
void add_command_line_files(UpdateFlashDialog& dialog);

}  // namespace devov
