// The adapter test fixtures.
#include "tests/adapter/adapter_fixture.h"

#include "production/pda_list.h"

namespace devov::test {

std::vector<std::uint16_t> pda_words(const std::vector<std::vector<std::uint16_t>>& records) {
  PdaList list;
  for (const auto& record : records) list.put(record.data());
  std::vector<std::uint16_t> words(kPdaSerialisedMaxWords);
  words.resize(list.serialise(words.data()));
  return words;
}

std::vector<std::uint8_t> pda_area(const std::vector<std::uint16_t>& words) {
  std::vector<std::uint8_t> bytes(2 * kPdaWords, 0xFF);
  for (std::size_t i = 0; i < words.size() && i < kPdaWords; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(words[i]);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
  }
  return bytes;
}

std::vector<std::uint16_t> text_record(std::uint16_t code, const std::string& text) {
  std::vector<std::uint16_t> record{0, code};
  for (std::size_t i = 0; i < text.size(); i += 2)
    record.push_back(static_cast<std::uint16_t>(
        static_cast<std::uint8_t>(text[i]) |
        (i + 1 < text.size() ? static_cast<std::uint8_t>(text[i + 1]) << 8 : 0)));
  record[0] = static_cast<std::uint16_t>(record.size() - 1);
  return record;
}

void AdapterTest::add_adapters(int count, bool openable) {
  std::string text = "REGEDIT4\n\n";
  for (int k = 0; k < count; ++k) {
    const std::string subkey = "000" + std::to_string(k);
    text += std::string("[HKEY_LOCAL_MACHINE\\") + kNt5ClassKey + "\\" + subkey + "]\n";
    library.adapters[subkey] = {"Adapter " + std::to_string(k), "{" + std::to_string(k) + "}"};
    if (openable) library.openable.insert("\\Device\\{" + std::to_string(k) + "}");
  }
  load_registry(text);
}

void AdapterTest::add_one_adapter() {
  load_registry(std::string("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\") + kNt5ClassKey +
                "\\0000]\n\"MatchingDeviceId\"=\"usb\\\\vid_6271&pid_0001\"\n");
  library.adapters["0000"] = {"Velk 6271 Wireless USB Adapter", "{6271}"};
  library.openable.insert("\\Device\\{6271}");
}

DialogTest::DialogTest() {
  dialog.on_init(view);
  fake.boxes.calls.clear();
  library.calls.clear();
  library.requests.clear();
  log_mark_ = log_text().size();
}

}  // namespace devov::test
