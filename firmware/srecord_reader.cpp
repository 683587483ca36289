// The S-record reader: FirmwareFile's loading of a file from disk or of an
// embedded text, line by line, and the acting half of read_record.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "firmware/firmware_file.h"
#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "firmware/srecord_line.h"
#include "platform/platform.h"
#include "shell/flash_log.h"

namespace devov {

namespace {

// The word 0xC0DE, least significant byte first, placed right below a CRC
// area whose marker is requested.
constexpr std::uint8_t kCrcMarker[2] = {0xDE, 0xC0};
constexpr std::uint32_t kCrcMarkerSize = 2;

// One line as a read hands it out: its characters, and whether this read
// met the end of the text (the last line).
struct TextLine {
  std::string_view text;
  bool last = false;
};

// A file on disk read in large blocks. Each read takes at most
// kMaxLineLength characters, or up to the next line feed, which is consumed
// with a line that fits; a carriage return right before a line feed is
// dropped, as text mode does.
class FileLines {
 public:
  bool open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return false;
    buffer_.reset(new (std::nothrow) char[kBufferSize]);
    if (!buffer_) return false;
    fill();
    // A path that opens but cannot be read (a folder, on some systems) is a
    // file that cannot be opened.
    return !failed_;
  }

  ~FileLines() {
    if (file_) std::fclose(file_);
  }

  bool failed() const { return failed_; }

  TextLine read() {
    // Look ahead far enough to see a line feed that ends a line of full
    // length, even after a carriage return.
    if (end_ - begin_ < kLookahead && !at_eof_) fill();
    const char* start = buffer_.get() + begin_;
    const std::size_t available = end_ - begin_;
    const std::size_t window = std::min(available, kLookahead);
    const char* feed = static_cast<const char*>(std::memchr(start, '\n', window));
    if (feed) {
      std::size_t length = static_cast<std::size_t>(feed - start);
      const bool carriage_return = length > 0 && start[length - 1] == '\r';
      const std::size_t content = length - (carriage_return ? 1 : 0);
      if (content <= kMaxLineLength) {
        begin_ += length + 1;
        return {std::string_view(start, content), false};
      }
    } else if (available <= kMaxLineLength) {
      // The buffer holds the whole rest of the file: this read meets its end.
      begin_ = end_;
      return {std::string_view(start, available), true};
    }
    begin_ += kMaxLineLength;
    return {std::string_view(start, kMaxLineLength), false};
  }

 private:
  static constexpr std::size_t kBufferSize = 1 << 16;
  static constexpr std::size_t kLookahead = kMaxLineLength + 2;

  void fill() {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    while (end_ < kBufferSize && !at_eof_) {
      const std::size_t got = std::fread(buffer_.get() + end_, 1, kBufferSize - end_, file_);
      end_ += got;
      if (got == 0) {
        at_eof_ = true;
        failed_ = std::ferror(file_) != 0;
      }
    }
  }

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_eof_ = false;
  bool failed_ = false;
};

// An embedded text cut at line feeds. Carriage returns belong to no line; a
// line longer than kMaxLineLength characters goes on as the next line.
class TextLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}

  bool next(std::string_view& line) {
    if (position_ >= text_.size()) return false;
    const std::string_view rest = text_.substr(position_);
    const std::size_t feed = rest.find('\n');
    const std::string_view raw = rest.substr(0, feed);
    const std::size_t consumed = feed == std::string_view::npos ? raw.size() : feed + 1;

    if (raw.size() <= kMaxLineLength && raw.find('\r') == std::string_view::npos) {
      position_ += consumed;
      line = raw;
      return true;
    }
    // Rare: a line with carriage returns in it, or one too long. Collect
    // what belongs to this line.
    std::size_t kept = 0;
    std::size_t i = 0;
    for (; i < raw.size() && kept < kMaxLineLength; ++i)
      if (raw[i] != '\r') scratch_[kept++] = raw[i];
    while (i < raw.size() && raw[i] == '\r') ++i;
    position_ += i < raw.size() ? i : consumed;
    line = std::string_view(scratch_, kept);
    return true;
  }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
  char scratch_[kMaxLineLength];
};

// A line count as the load operations answer it: never 0 for a load that
// succeeded.
std::uint16_t load_result(std::uint32_t counter) {
  return static_cast<std::uint16_t>(
      std::min<std::uint32_t>(counter, std::numeric_limits<std::uint16_t>::max()));
}

// Ends the process: an image that cannot be held in memory cannot be written.
void memory_exhausted() {
  platform::services().boxes.show(platform::BoxOwner::None,
                                  "Memory allocation error. Cannot continue", "Internal Error.",
                                  platform::kBoxOk);
  platform::services().process.exit_process(1);
}

void log_fault(LineFault fault, std::uint32_t line_number) {
  switch (fault) {
    case LineFault::None:
      break;
    case LineFault::BadCharacter:
      log_message("Error: Line %u: Bad character found. Cannot process file.\n", {line_number});
      break;
    case LineFault::NoLeadingS:
      log_message("Error: Line %u: record does not begin with 'S'\n", {line_number});
      break;
    case LineFault::UnsupportedType:
      log_message("ERROR: Line %u: record type invalid or unsupported.\n", {line_number});
      break;
    case LineFault::BadLength:
    case LineFault::ShortSpecialRecord:
      log_message("ERROR: Line %u: line length invalid.\n", {line_number});
      break;
    case LineFault::BadChecksum:
      log_message("ERROR: Line %u: Checksum failed.\n", {line_number});
      break;
    case LineFault::UnknownAddress:
      log_message("Line %u: Unknown record type\n", {line_number});
      break;
  }
}

}  // namespace

bool FirmwareFile::read_record(std::string_view line, std::uint32_t line_number,
                               FirmwareImage* image, PlugList* plugs) {
  SRecordLine record;
  const LineFault fault = check_srecord_line(line, record);
  // Header and count records announce themselves as soon as their type is
  // known, before their length and checksum are tested.
  if (record.kind == RecordKind::Ignored) log_message("%s", {"Info records ignored.\n"});
  if (fault != LineFault::None) {
    log_fault(fault, line_number);
    return false;
  }

  switch (record.kind) {
    case RecordKind::None:
    case RecordKind::Ignored:
      return true;

    case RecordKind::End:
      if (!image) return true;
      if (!image->has_start_address) {
        image->start_address = record.address;
        image->has_start_address = true;
        return true;
      }
      if (image->start_address != record.address) {
        log_message("ERROR: Line %u: 2nd execution address found!\n", {line_number});
        return false;
      }
      return true;

    case RecordKind::Data:
      // A record without data bytes adds nothing; it is not an allocation
      // failure, which is what a refused append means here.
      if (!image || record.data_count == 0) return true;
      if (!image->append(record.data.data(), record.address, record.data_count)) {
        memory_exhausted();
        return false;
      }
      return true;

    case RecordKind::Plug:
      if (plugs)
        plugs->add(record.special_value(1), record.special_value(0),
                   static_cast<std::uint16_t>(record.special_value(2)));
      return true;

    case RecordKind::Crc:
      crc_areas.push_back({record.special_value(0), record.special_value(1),
                           record.special_value(2) != 0});
      if (image && record.special_value(2) != 0) {
        const std::uint32_t at = record.special_value(0) - kCrcMarkerSize;
        // A refused append of the marker is not fatal: the marker is only a
        // request of the firmware's own check.
        if (!image->overwrite(kCrcMarker, at, kCrcMarkerSize))
          image->append(kCrcMarker, at, kCrcMarkerSize);
      }
      return true;

    case RecordKind::Info:
      return decode_info_record(record.data.data(), record.data_count, line_number);
  }
  return true;
}

std::uint16_t FirmwareFile::load_file(const std::string& path, FirmwareImage* image,
                                      PlugList* plugs) {
  clear_info();
  if (image) image->has_start_address = false;

  FileLines lines;
  if (!lines.open(path)) {
    log_message("%s", {"File not found. "});
    return 0;
  }

  std::uint32_t counter = 0;
  for (;;) {
    const TextLine line = lines.read();
    if (lines.failed()) {
      // A file that stops being readable part way is as unreadable as one
      // that never opened; what was read is not a whole image.
      log_message("%s", {"File not found. "});
      return 0;
    }
    ++counter;
    if (!line.text.empty()) {
      if (!read_record(line.text, counter, image, plugs)) return 0;
      if (counter > kMaxFileLines) break;
    }
    if (line.last) break;
  }

  if (image && !image->has_start_address) {
    log_message("Error: Line %u: End reached without an execution address record.\n",
                {counter});
    return 0;
  }
  return load_result(counter);
}

std::uint16_t FirmwareFile::load_resource(int resource_id, FirmwareImage* image,
                                          PlugList* plugs) {
  clear_info();
  if (image) image->has_start_address = false;

  const std::optional<std::string_view> text =
      platform::services().resources.firmware_text(resource_id);
  if (!text) {
    platform::services().boxes.show(platform::BoxOwner::None,
                                    "Internal Error - Resource could not be loaded.",
                                    "Firmware Resource Not Found.", platform::kBoxOk);
    return 0;
  }

  TextLines lines(*text);
  std::uint32_t counter = 0;
  std::string_view line;
  while (lines.next(line)) {
    ++counter;
    if (!line.empty() && !read_record(line, counter, image, plugs)) return 0;
  }
  if (image && !image->has_start_address) return 0;
  return load_result(counter);
}

}  // namespace devov
