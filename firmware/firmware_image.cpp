// The image memory model: appending, locating, overwriting and the chunk walk
// that flash programming uses.
#include "firmware/firmware_image.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace devov {

namespace {

// Segment ends are computed in 64 bits so that a segment that reaches the
// top of the address space never seems to wrap round to address 0.
std::uint64_t end_of(const ImageSegment& segment) {
  return std::uint64_t{segment.address} + segment.length;
}

}  // namespace

FirmwareImage::FirmwareImage() { reset(); }

FirmwareImage::~FirmwareImage() { clear(); }

void FirmwareImage::reset() {
  fill_page_ = 0;
  fill_offset_ = 0;
  segment_count_ = 0;
  read_page_ = 0;
  read_offset_ = 0;
  read_segment_ = 1;
  read_segment_offset_ = 0;
  has_start_address = false;
}

void FirmwareImage::clear() {
  // Every allocated page goes, not only those up to fill_page: a page opened
  // by an append that was then refused must not leak either.
  for (auto& page : pages_) page.reset();
  reset();
}

bool FirmwareImage::open_page(std::uint16_t index) {
  pages_[index].reset(new (std::nothrow) std::uint8_t[kPageSize]);
  return pages_[index] != nullptr;
}

bool FirmwareImage::append(const std::uint8_t* bytes, std::uint32_t address,
                           std::uint16_t length) {
  if (fill_page_ >= kMaxPages || length == 0) return false;

  bool opened = false;
  if (segment_count_ == 0) {
    if (!open_page(0)) return false;
    fill_offset_ = 0;
    opened = true;
  } else if (address != end_of(segments_[segment_count_])) {
    if (segment_count_ >= kMaxSegments) return false;
    opened = true;
  }
  if (opened) {
    ++segment_count_;
    segments_[segment_count_] = ImageSegment{fill_page_, fill_offset_, 0, address};
  }
  ImageSegment& last = segments_[segment_count_];

  std::uint32_t done = 0;
  while (done < length) {
    // Pages open lazily: a full page stays current until the next byte.
    if (fill_offset_ >= kPageSize) {
      if (fill_page_ + 1u >= kPageTableSize || !open_page(fill_page_ + 1)) {
        // A segment that received no byte is not kept, so that no segment
        // is ever empty.
        if (last.length == 0) --segment_count_;
        return false;
      }
      ++fill_page_;
      fill_offset_ = 0;
    }
    const std::uint32_t run = std::min<std::uint32_t>(length - done, kPageSize - fill_offset_);
    std::memcpy(pages_[fill_page_].get() + fill_offset_, bytes + done, run);
    fill_offset_ += run;
    last.length += run;
    done += run;
  }
  return true;
}

ImageLocation FirmwareImage::locate(std::uint32_t address, std::uint16_t only_segment) const {
  ImageLocation location;
  if (segment_count_ == 0 || only_segment > segment_count_) return location;
  const std::uint16_t first = only_segment != 0 ? only_segment : 1;
  const std::uint16_t last = only_segment != 0 ? only_segment : segment_count_;
  for (std::uint16_t k = first; k <= last; ++k) {
    const ImageSegment& segment = segments_[k];
    if (address < segment.address || address >= end_of(segment)) continue;
    const std::uint32_t offset = address - segment.address;
    const std::uint32_t position = segment.page_offset + offset;
    location.found = true;
    location.segment = k;
    location.offset = offset;
    location.page = static_cast<std::uint16_t>(segment.page + (position >> kPageShift));
    location.page_offset = position & kPageMask;
    return location;
  }
  return location;
}

bool FirmwareImage::covers(std::uint32_t address, std::uint32_t length) const {
  std::uint64_t at = address;
  std::uint64_t remaining = length;
  while (remaining > 0) {
    if (at > UINT32_MAX) return false;
    const ImageLocation location = locate(static_cast<std::uint32_t>(at), 0);
    if (!location.found) return false;
    const std::uint64_t available = segments_[location.segment].length - location.offset;
    if (available >= remaining) return true;
    remaining -= available;
    at += available;
  }
  return true;
}

void FirmwareImage::copy_into_pages(std::uint16_t page, std::uint32_t page_offset,
                                    const std::uint8_t* bytes, std::uint32_t count) {
  while (count > 0) {
    if (page_offset >= kPageSize) {
      ++page;
      page_offset = 0;
    }
    const std::uint32_t run = std::min(count, kPageSize - page_offset);
    std::memcpy(pages_[page].get() + page_offset, bytes, run);
    page_offset += run;
    bytes += run;
    count -= run;
  }
}

bool FirmwareImage::overwrite(const std::uint8_t* bytes, std::uint32_t address,
                              std::uint16_t length) {
  if (length == 0) return true;
  if (!covers(address, length)) return false;

  const std::uint64_t end = std::uint64_t{address} + length;
  for (std::uint16_t k = 1; k <= segment_count_; ++k) {
    const ImageSegment& segment = segments_[k];
    if (segment.address >= end || end_of(segment) <= address) continue;
    const std::uint32_t lo = std::max(address, segment.address);
    const std::uint64_t hi = std::min(end, end_of(segment));
    const ImageLocation location = locate(lo, k);
    copy_into_pages(location.page, location.page_offset, bytes + (lo - address),
                    static_cast<std::uint32_t>(hi - lo));
  }
  return true;
}

std::uint16_t FirmwareImage::rewind() {
  read_segment_ = 1;
  read_segment_offset_ = 0;
  read_page_ = segments_[1].page;
  read_offset_ = segments_[1].page_offset;
  return segment_count_;
}

bool FirmwareImage::next_chunk(std::uint8_t* buffer, std::uint32_t& address,
                               std::uint16_t& length, std::uint16_t max_length,
                               std::uint32_t boundary) {
  address = 0;
  length = 0;
  if (segment_count_ == 0 || max_length == 0) return false;
  if (read_segment_ == 0 || read_segment_ > segment_count_) return false;

  while (read_segment_offset_ >= segments_[read_segment_].length) {
    if (read_segment_ >= segment_count_) return false;
    ++read_segment_;
    read_segment_offset_ = 0;
    read_page_ = segments_[read_segment_].page;
    read_offset_ = segments_[read_segment_].page_offset;
  }

  const ImageSegment& segment = segments_[read_segment_];
  const std::uint32_t start = segment.address + read_segment_offset_;
  std::uint32_t take = std::min<std::uint32_t>(max_length, segment.length - read_segment_offset_);
  if (boundary != 0) take = std::min(take, boundary - start % boundary);

  std::uint32_t taken = 0;
  while (taken < take) {
    if (read_offset_ >= kPageSize) {
      ++read_page_;
      read_offset_ = 0;
    }
    const std::uint32_t run = std::min(take - taken, kPageSize - read_offset_);
    if (buffer) std::memcpy(buffer + taken, pages_[read_page_].get() + read_offset_, run);
    read_offset_ += run;
    read_segment_offset_ += run;
    taken += run;
  }
  address = start;
  length = static_cast<std::uint16_t>(taken);
  return true;
}

std::uint16_t FirmwareImage::count_chunks(std::uint16_t max_length,
                                          std::uint32_t boundary) const {
  if (max_length == 0) return 0;
  std::uint32_t count = 0;
  for (std::uint16_t k = 1; k <= segment_count_; ++k) {
    std::uint32_t remaining = segments_[k].length;
    std::uint32_t at = segments_[k].address;
    while (remaining > 0) {
      std::uint32_t chunk = max_length;
      if (boundary != 0) chunk = std::min(boundary - at % boundary, chunk);
      chunk = std::min(chunk, remaining);
      remaining -= chunk;
      at += chunk;
      ++count;
    }
  }
  return static_cast<std::uint16_t>(count);
}

}  // namespace devov
