// PdaList: the adapter's production data records (PDRs) in ascending code
// order, with the CRC bookkeeping that tells a sound PDA from a damaged one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace devov {

// A record is its length word L, its code and L - 1 data words; data word k
// is record word k + 2. All words little-endian wherever they are bytes.
inline constexpr std::size_t kPdrLengthWord = 0;
inline constexpr std::size_t kPdrCodeWord = 1;
inline constexpr std::size_t kPdrFirstDataWord = 2;

// The PDA area on the card, and the most a .pda file contributes.
inline constexpr std::uint16_t kPdaWords = 512;

// The end record closes a PDA: L = 2, code 0, the PDA's CRC as its data word.
inline constexpr std::uint16_t kEndRecordLength = 2;
inline constexpr std::uint16_t kEndRecordCode = 0x0000;
// A delete record (a code without data) removes that code when loaded.
inline constexpr std::uint16_t kDeleteRecordLength = 1;

// The most `serialise` ever writes: at most 511 record words, then the three
// end-record words.
inline constexpr std::size_t kPdaSerialisedMaxWords = kPdaWords - 1 + 3;

// What `put` answers.
inline constexpr int kPutReplaced = 0;
inline constexpr int kPutInserted = 1;
inline constexpr int kPutAppended = 2;
// A record whose length word is 0 has no code to file it under; it is
// refused and nothing changes.
inline constexpr int kPutRefused = -1;

struct PdaNode {
  std::unique_ptr<PdaNode> next_node;
  // The record's L + 1 words, length word first.
  std::vector<std::uint16_t> record_words;
};

class PdaList {
 public:
  PdaList() = default;
  PdaList(const PdaList&) = delete;
  PdaList& operator=(const PdaList&) = delete;
  ~PdaList();

  // Frees every record; both CRC fields go back to 0.
  void clear();

  // Walks `count` words as records, feeding each to `put` (or, for a delete
  // record, to `remove`) up to and including the first end record. Stops
  // before a record that reaches past the words and before a record whose
  // length word is 0. Answers the number of records processed.
  int load_words(const std::uint16_t* words, std::uint16_t count);

  // Stores a copy of the record that starts at `record` (its length word) in
  // code order: kPutReplaced, kPutInserted or kPutAppended. An end record
  // only sets stored_crc (kPutInserted); a zero length word gives kPutRefused.
  int put(const std::uint16_t* record);

  // Removes the record with that code: answers the code, or 0 if none.
  std::uint16_t remove(std::uint16_t code);

  // The record with that code (its length word first), or nullptr.
  const std::uint16_t* find(std::uint16_t code) const;

  // CRC-16/ARC over every record in list order, then over the end record's
  // first two words.
  std::uint16_t compute_crc() const;
  // running_crc continued over the end record's first two words: the CRC the
  // card's PDA should carry if the records were loaded from it.
  std::uint16_t received_crc() const;
  // The CRC word of the last end record put.
  std::uint16_t stored_crc() const { return stored_crc_; }

  // Writes the records, then 0x0002, 0x0000 and compute_crc(); answers the
  // number of words written. If the records reach 512 words it logs the
  // overflow and answers 0. Never writes more than kPdaSerialisedMaxWords.
  std::uint16_t serialise(std::uint16_t* destination) const;

  const PdaNode* first_node() const { return first_node_.get(); }

 private:
  std::unique_ptr<PdaNode> first_node_;
  std::uint16_t stored_crc_ = 0;
  std::uint16_t running_crc_ = 0;
};

}  // namespace devov
