// The plug list: a singly linked list in ascending target address.
#include "firmware/plug_list.h"

#include <new>

namespace devov {

PlugList::~PlugList() { clear(); }

void PlugList::clear() {
  while (head_) {
    PlugEntry* next = head_->next;
    delete head_;
    head_ = next;
  }
  tail_ = nullptr;
  cursor_ = nullptr;
}

std::uint8_t PlugList::add(std::uint32_t address, std::uint32_t code, std::uint16_t length) {
  PlugEntry* entry = new (std::nothrow) PlugEntry{code, address, length, nullptr};
  if (!entry) return kPlugNotAdded;

  if (!head_) {
    head_ = tail_ = entry;
    return kPlugInserted;
  }
  if (address > tail_->address) {
    tail_->next = entry;
    tail_ = entry;
    return kPlugAppended;
  }

  PlugEntry** link = &head_;
  while ((*link)->address < address) link = &(*link)->next;
  PlugEntry* found = *link;
  if (found->address != address) {
    entry->next = found;
    *link = entry;
    return kPlugInserted;
  }
  entry->next = found->next;
  *link = entry;
  if (tail_ == found) tail_ = entry;
  if (cursor_ == found) cursor_ = entry;
  delete found;
  return kPlugReplaced;
}

const PlugEntry* PlugList::next() {
  const PlugEntry* entry = cursor_;
  if (cursor_) cursor_ = cursor_->next;
  return entry;
}

}  // namespace devov
