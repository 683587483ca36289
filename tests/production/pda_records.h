// What the production tests read back from a PdaList: its records in list
// order, each as its words, length word first.
#pragma once

#include <cstdint>
#include <vector>

#include "production/pda_list.h"

namespace devov::test {

using Words = std::vector<std::uint16_t>;

inline std::vector<Words> records_of(const PdaList& list) {
  std::vector<Words> records;
  for (const PdaNode* node = list.first_node(); node; node = node->next_node.get())
    records.push_back(node->record_words);
  return records;
}

}  // namespace devov::test
