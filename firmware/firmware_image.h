// FirmwareImage: a loaded file's data bytes by target address, kept in the
// order they arrived as address-contiguous segments stored back to back in
// 2048-byte pages.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

namespace devov {

inline constexpr std::uint32_t kPageSize = 2048;
inline constexpr unsigned kPageShift = 11;
inline constexpr std::uint32_t kPageMask = 0x7FF;
// An append is refused once the page being filled has reached this index.
inline constexpr std::uint16_t kMaxPages = 100;
inline constexpr std::size_t kPageTableSize = 256;
// Entry 0 is never used, so 255 segments are usable.
inline constexpr std::size_t kSegmentTableSize = 256;
inline constexpr std::uint16_t kMaxSegments = kSegmentTableSize - 1;

// One run of consecutive addresses.
struct ImageSegment {
  // The page that holds (or precedes) the first byte.
  std::uint16_t page = 0;
  // Offset of the first byte in `page`; 2048 stands for offset 0 of the
  // next page.
  std::uint32_t page_offset = 0;
  std::uint32_t length = 0;
  std::uint32_t address = 0;
};

// Where `locate` found an address.
struct ImageLocation {
  bool found = false;
  std::uint16_t segment = 0;
  std::uint32_t offset = 0;  // in the segment
  std::uint16_t page = 0;
  std::uint32_t page_offset = 0;
};

class FirmwareImage {
 public:
  FirmwareImage();
  ~FirmwareImage();
  FirmwareImage(const FirmwareImage&) = delete;
  FirmwareImage& operator=(const FirmwareImage&) = delete;

  // Frees every page and empties the image; start_address is kept but no
  // longer valid.
  void clear();

  // Adds `length` bytes whose first belongs at `address`, continuing the last
  // segment when the address follows on, else opening a new one. False for a
  // zero length, once page 100 is being filled, when a page beyond the table
  // or a 256th segment would be needed, or when a page cannot be allocated;
  // bytes stored before the refusal stay.
  bool append(const std::uint8_t* bytes, std::uint32_t address, std::uint16_t length);

  // Replaces bytes the image already holds, in every segment that holds a
  // copy of them. All or nothing: false, and nothing written, if any byte of
  // the range lies outside every segment. A zero length is true.
  bool overwrite(const std::uint8_t* bytes, std::uint32_t address, std::uint16_t length);

  // True when every byte of the range lies in some segment, possibly across
  // segments that join end to start; the test that `overwrite` makes first.
  bool covers(std::uint32_t address, std::uint32_t length) const;

  // The first segment (or only `only_segment` when it is not 0) that holds
  // the address.
  ImageLocation locate(std::uint32_t address, std::uint16_t only_segment) const;

  // Puts the chunk cursor at the start of segment 1; answers segment_count.
  std::uint16_t rewind();

  // Hands out the next chunk: at most `max_length` bytes of one segment that
  // never cross a multiple of `boundary` (0: none). `buffer` may be null to
  // only measure. False when the image is exhausted, and for a `max_length`
  // of 0, which could never make progress.
  bool next_chunk(std::uint8_t* buffer, std::uint32_t& address, std::uint16_t& length,
                  std::uint16_t max_length, std::uint32_t boundary);

  // The number of chunks a full walk with the same limits yields, cut to 16
  // bits.
  std::uint16_t count_chunks(std::uint16_t max_length, std::uint32_t boundary) const;

  std::uint16_t segment_count() const { return segment_count_; }
  // Segment 1 to segment_count().
  const ImageSegment& segment(std::uint16_t index) const { return segments_[index]; }
  std::uint16_t fill_page() const { return fill_page_; }
  std::uint32_t fill_offset() const { return fill_offset_; }
  // The bytes of a page, or nullptr when it is not allocated.
  const std::uint8_t* page(std::uint16_t index) const {
    return index < kPageTableSize ? pages_[index].get() : nullptr;
  }

  // Taken from the file's end record; means something only while
  // has_start_address is set. The reader sets both directly.
  std::uint32_t start_address = 0;
  bool has_start_address = false;

 private:
  void reset();
  bool open_page(std::uint16_t index);
  void copy_into_pages(std::uint16_t page, std::uint32_t page_offset,
                       const std::uint8_t* bytes, std::uint32_t count);

  std::uint16_t fill_page_ = 0;
  std::uint32_t fill_offset_ = 0;
  std::uint16_t segment_count_ = 0;
  std::uint16_t read_page_ = 0;
  std::uint32_t read_offset_ = 0;
  std::uint16_t read_segment_ = 1;
  std::uint32_t read_segment_offset_ = 0;
  std::array<std::unique_ptr<std::uint8_t[]>, kPageTableSize> pages_;
  std::array<ImageSegment, kSegmentTableSize> segments_;
};

}  // namespace devov
