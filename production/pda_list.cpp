// PdaList: a singly linked list of PDR copies kept in ascending code order.
#include "production/pda_list.h"

#include <algorithm>
#include <utility>

#include "production/crc16.h"
#include "shell/flash_log.h"

namespace devov {
namespace {

// The end record's first two words, covered by the CRC; its CRC word is not.
constexpr std::uint16_t kEndRecordHead[] = {kEndRecordLength, kEndRecordCode};

std::uint16_t code_of(const PdaNode& node) { return node.record_words[kPdrCodeWord]; }

}  // namespace

PdaList::~PdaList() { clear(); }

void PdaList::clear() {
  // Unlinked one node at a time, so a long list never recurses in the
  // destructors of its links.
  while (first_node_) first_node_ = std::move(first_node_->next_node);
  stored_crc_ = 0;
  running_crc_ = 0;
}

int PdaList::load_words(const std::uint16_t* words, std::uint16_t count) {
  int processed = 0;
  std::size_t i = 0;
  // A record is taken only if its last word lies inside the words.
  while (i < count && i + words[i] < count) {
    const std::uint16_t length = words[i];
    // A zero length word leaves no code to act on, and nothing after it can
    // be trusted to start a record: stop here.
    if (length == 0) break;
    if (length == kDeleteRecordLength)
      remove(words[i + kPdrCodeWord]);
    else
      put(&words[i]);
    ++processed;
    if (length == kEndRecordLength && words[i + kPdrCodeWord] == kEndRecordCode)
      return processed;
    i += static_cast<std::size_t>(length) + 1;
  }
  return processed;
}

int PdaList::put(const std::uint16_t* record) {
  const std::uint16_t length = record[kPdrLengthWord];
  if (length == 0) return kPutRefused;
  const std::uint16_t code = record[kPdrCodeWord];
  if (length == kEndRecordLength && code == kEndRecordCode) {
    stored_crc_ = record[kPdrFirstDataWord];
    return kPutInserted;
  }
  const std::size_t size = static_cast<std::size_t>(length) + 1;
  auto node = std::make_unique<PdaNode>();
  node->record_words.assign(record, record + size);

  if (!first_node_) {
    first_node_ = std::move(node);
    running_crc_ = crc16_update_words(0, record, size);
    return kPutInserted;
  }

  // `link` is the pointer that leads to the node reached: first_node_ itself
  // before the first node, else the predecessor's next_node.
  std::unique_ptr<PdaNode>* link = &first_node_;
  while ((*link)->next_node && code_of(**link) < code) link = &(*link)->next_node;

  int result;
  PdaNode& reached = **link;
  if (code_of(reached) == code) {
    node->next_node = std::move(reached.next_node);
    *link = std::move(node);
    result = kPutReplaced;
  } else if (code_of(reached) > code) {
    node->next_node = std::move(*link);
    *link = std::move(node);
    result = kPutInserted;
  } else {
    reached.next_node = std::move(node);
    result = kPutAppended;
  }
  running_crc_ = crc16_update_words(running_crc_, record, size);
  return result;
}

std::uint16_t PdaList::remove(std::uint16_t code) {
  std::unique_ptr<PdaNode>* link = &first_node_;
  while (*link && code_of(**link) < code) link = &(*link)->next_node;
  if (!*link || code_of(**link) != code) return 0;
  *link = std::move((*link)->next_node);
  return code;
}

const std::uint16_t* PdaList::find(std::uint16_t code) const {
  for (const PdaNode* node = first_node_.get(); node; node = node->next_node.get())
    if (code_of(*node) == code) return node->record_words.data();
  return nullptr;
}

std::uint16_t PdaList::compute_crc() const {
  std::uint16_t crc = 0;
  for (const PdaNode* node = first_node_.get(); node; node = node->next_node.get())
    crc = crc16_update_words(crc, node->record_words.data(), node->record_words.size());
  return crc16_update_words(crc, kEndRecordHead, std::size(kEndRecordHead));
}

std::uint16_t PdaList::received_crc() const {
  return crc16_update_words(running_crc_, kEndRecordHead, std::size(kEndRecordHead));
}

std::uint16_t PdaList::serialise(std::uint16_t* destination) const {
  std::size_t count = 0;
  for (const PdaNode* node = first_node_.get(); node; node = node->next_node.get()) {
    const std::size_t size = node->record_words.size();
    // The records may fill at most 511 words. Checking before the copy keeps
    // the destination from ever receiving more than that.
    if (count + size >= kPdaWords) {
      log_message("PDA OVERFLOW. PDA EXCEEDS %u WORD LIMIT.\n",
                  {static_cast<std::uint32_t>(kPdaWords)});
      return 0;
    }
    std::copy(node->record_words.begin(), node->record_words.end(), destination + count);
    count += size;
  }
  destination[count++] = kEndRecordLength;
  destination[count++] = kEndRecordCode;
  destination[count++] = compute_crc();
  return static_cast<std::uint16_t>(count);
}

}  // namespace devov
