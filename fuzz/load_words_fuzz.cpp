// Fuzz target: PDA words as a card holds them, loaded, looked up and
// serialised; what is serialised must load back to the same records.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "production/pda_list.h"
#include "tests/support/null_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  devov::test::NullPlatform platform;
  // Exactly the words the input holds, at most a card's PDA.
  std::size_t count = std::min<std::size_t>(size / 2, devov::kPdaWords);
  std::vector<std::uint16_t> words(count);
  for (std::size_t i = 0; i < count; ++i)
    words[i] = static_cast<std::uint16_t>(data[2 * i] | data[2 * i + 1] << 8);
  devov::PdaList list;
  list.load_words(words.data(), static_cast<std::uint16_t>(count));
  (void)list.find(0x0101);
  (void)list.received_crc();

  std::vector<std::uint16_t> out(1021);
  const std::uint16_t written = list.serialise(out.data());
  if (written > devov::kPdaSerialisedMaxWords) std::abort();
  if (written == 0) return 0;
  devov::PdaList again;
  again.load_words(out.data(), written);
  if (again.compute_crc() != list.compute_crc()) std::abort();
  if (again.received_crc() != again.stored_crc()) std::abort();
  return 0;
}
