// PlugList: the plug entries of one firmware file, places in the image that
// receive per-unit production data, kept in ascending target address.
#pragma once

#include <cstdint>

namespace devov {

// The code of the entry that receives the image file's name.
inline constexpr std::uint32_t kFileNamePlugCode = 0xFFFFFFFF;

struct PlugEntry {
  std::uint32_t code = 0;
  std::uint32_t address = 0;
  std::uint16_t length = 0;
  PlugEntry* next = nullptr;
};

// What `add` answers.
inline constexpr std::uint8_t kPlugReplaced = 0;
inline constexpr std::uint8_t kPlugInserted = 1;
inline constexpr std::uint8_t kPlugAppended = 2;
// The entry could not be allocated; the list is unchanged.
inline constexpr std::uint8_t kPlugNotAdded = 3;

class PlugList {
 public:
  PlugList() = default;
  ~PlugList();
  PlugList(const PlugList&) = delete;
  PlugList& operator=(const PlugList&) = delete;

  void clear();

  // Inserts in address order; an entry with the same address is replaced in
  // its place. kPlugInserted (before a higher address, or into an empty
  // list), kPlugAppended or kPlugReplaced.
  std::uint8_t add(std::uint32_t address, std::uint32_t code, std::uint16_t length);

  void rewind() { cursor_ = head_; }
  // The entry at the cursor, which then moves on; nullptr at the end.
  const PlugEntry* next();

  const PlugEntry* head() const { return head_; }

 private:
  PlugEntry* head_ = nullptr;
  // The last entry, so that entries arriving in address order are appended
  // without a walk.
  PlugEntry* tail_ = nullptr;
  PlugEntry* cursor_ = nullptr;
};

}  // namespace devov
