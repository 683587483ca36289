// The .pda reader: one pass over the file's bytes, a number at a time.
#include "production/pda_file.h"

#include <cstdio>

#include "production/pda_list.h"

namespace devov {
namespace {

bool is_separator(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' ||
         c == ',';
}

bool is_comment_mark(int c) { return c == ';' || c == '#'; }

// Only ASCII letters fold; bytes above 0x7F stay what they are.
int fold_to_lower(int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

// Closes the file on every way out of the reader.
class InputFile {
 public:
  explicit InputFile(const std::string& path) : file_(std::fopen(path.c_str(), "r")) {}
  ~InputFile() {
    if (file_) std::fclose(file_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  std::FILE* get() const { return file_; }

 private:
  std::FILE* file_;
};

}  // namespace

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::uint16_t read_pda_file(std::uint16_t* words, const std::string& path) {
  InputFile file(path);
  if (!file.get()) return 0;

  int digits = 0;
  std::size_t index = 0;
  bool in_comment = false;
  bool prefixed = false;
  // Where the next record's length word is due; a wider type than a word so
  // that a huge length word cannot wrap it back into reach.
  std::size_t next_record = 0;
  int value = 0;
  bool at_end = false;

  while (index < kPdaWords && !at_end) {
    int c = std::fgetc(file.get());
    if (c == EOF) {
      // The end of the file ends the last line, and with it the last number.
      c = '\n';
      at_end = true;
    }
    c = fold_to_lower(c);

    const bool separator = is_separator(c);
    const int digit = hex_digit_value(static_cast<char>(c));
    const bool other = !separator && digit < 0 && c != 'x';
    const bool comment_mark = is_comment_mark(c);
    if (digit >= 0) value = digit;

    if (other) {
      in_comment = true;
      // Only ';' and '#' may end a number; anything else glued to it spoils it.
      if (digits > 0 && !comment_mark) return 0;
    }
    if (c == '\n') in_comment = false;
    if (in_comment && digits == 0) continue;

    std::uint16_t& word = words[index];
    if (separator || comment_mark) {
      if (digits > 0) {
        if ((digits > kPdaNumberMaxDigits && !prefixed) ||
            digits > kPdaPrefixedNumberMaxDigits)
          return 0;
        if (next_record == index) next_record = index + word + 1;
        ++index;
        digits = 0;
        prefixed = false;
      }
    } else if (digits == 0) {
      // An 'x' with no digit before it gives the number no value to start
      // from; such a file is refused.
      if (c == 'x') return 0;
      word = static_cast<std::uint16_t>(value);
      digits = 1;
    } else if (c == 'x') {
      // The prefix may follow zeros only.
      if (word > 0) return 0;
      prefixed = true;
    } else {
      word = static_cast<std::uint16_t>((word * 16u + static_cast<unsigned>(value)) & 0xFFFFu);
      ++digits;
    }
  }
  return next_record == index ? static_cast<std::uint16_t>(index) : 0;
}

}  // namespace devov
