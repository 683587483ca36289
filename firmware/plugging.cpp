// Plugging an image from the plug list, the PDA and the file name.
#include "firmware/plugging.h"

#include <algorithm>
#include <array>

#include "firmware/firmware_image.h"
#include "firmware/plug_list.h"
#include "production/pda_list.h"
#include "shell/flash_log.h"

namespace devov {

namespace {

// PDR data goes to the image through a buffer of this many bytes at a time,
// after the whole target range has been found in the image, so that the
// plug stays all or nothing without a buffer the size of the record.
constexpr std::size_t kPlugBlock = 256;

bool plug_pdr_data(FirmwareImage& image, const std::uint16_t* data_words,
                   std::uint32_t address, std::uint16_t length) {
  if (!image.covers(address, length)) return false;
  std::array<std::uint8_t, kPlugBlock> block;
  for (std::uint32_t done = 0; done < length;) {
    const std::uint32_t run = std::min<std::uint32_t>(kPlugBlock, length - done);
    for (std::uint32_t k = 0; k < run; ++k) {
      const std::uint32_t byte = done + k;
      const std::uint16_t word = data_words[byte / 2];
      block[k] = static_cast<std::uint8_t>(byte % 2 == 0 ? word & 0xFF : word >> 8);
    }
    image.overwrite(block.data(), address + done, static_cast<std::uint16_t>(run));
    done += run;
  }
  return true;
}

}  // namespace

std::string name_plug_text(std::string_view name, std::uint16_t length) {
  const std::size_t cut = name.find_last_of("\\:");
  std::string_view base = cut == std::string_view::npos ? name : name.substr(cut + 1);
  const std::size_t size = std::min(length, kMaxNamePlugLength);
  std::string text(size, '\0');
  for (std::size_t i = 0; i < size && i < base.size(); ++i) {
    const char c = base[i];
    text[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return text;
}

void plug_image(FirmwareImage& image, PlugList& plugs, const PdaList& pda,
                std::string_view name) {
  log_message("%s", {"Plugging:  "});
  unsigned tried = 0;
  unsigned plugged = 0;

  plugs.rewind();
  while (const PlugEntry* entry = plugs.next()) {
    if (entry->code == kFileNamePlugCode) {
      const std::string text = name_plug_text(name, entry->length);
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
      if (image.overwrite(bytes, entry->address, static_cast<std::uint16_t>(text.size())))
        log_message("%s", {"[filename]  "});
      else
        log_message("%s", {"Warning: file name plug does not fit!\n"});
      continue;
    }

    ++tried;
    const std::uint16_t* record = pda.find(static_cast<std::uint16_t>(entry->code & 0xFFFF));
    if (!record) {
      log_message("(Warning: PDR %x NOT in PDA)\n", {entry->code});
      continue;
    }
    // A length word of 0 gives -2 here and so never matches a plug length.
    const long data_length = 2L * record[kPdrLengthWord] - 2;
    if (data_length != entry->length) {
      log_message("(Warning: Length mismatch on PDR %x)", {entry->code});
      continue;
    }
    if (!plug_pdr_data(image, record + kPdrFirstDataWord, entry->address, entry->length)) {
      log_message("Warning: Invalid plug record 0x%x. Target area does not exist.\n",
                  {entry->code});
      continue;
    }
    log_message("(%x ok) ", {entry->code});
    ++plugged;
  }

  if (tried == plugged) log_message("%s", {"All Entries Plugged!"});
  log_message("%s", {"\n"});
}

}  // namespace devov
