// Fuzz target: a .pda file through the reader's state machine, then the words
// it gives into a PdaList as the dialog merges them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "production/pda_file.h"
#include "production/pda_list.h"
#include "tests/support/null_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/devov-pda-fuzz-" +
           std::to_string(getpid()) + ".pda";
  }();
  devov::test::NullPlatform platform;
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
  std::vector<std::uint16_t> words(devov::kPdaWords);
  const std::uint16_t count = devov::read_pda_file(words.data(), path);
  if (count > devov::kPdaWords) std::abort();
  if (count == 0) return 0;
  words.resize(count);
  devov::PdaList list;
  list.load_words(words.data(), count);
  std::vector<std::uint16_t> out(1021);
  (void)list.serialise(out.data());
  return 0;
}
