// Takes the firmware texts into the program as they are, byte for byte, from
// the folder the build names (DEVOV_FIRMWARE_DIR).
#include "platform/posix/embedded_firmware.h"

#include "resources/resource_ids.h"

#define DEVOV_EMBED(symbol, file)                                         \
  asm(".section .rodata\n"                                                \
      ".global " #symbol "_begin\n" #symbol "_begin:\n"                   \
      ".incbin \"" DEVOV_FIRMWARE_DIR "/" file "\"\n"                     \
      ".global " #symbol "_end\n" #symbol "_end:\n"                       \
      ".byte 0\n"                                                         \
      ".previous\n");                                                     \
  extern "C" const char symbol##_begin[];                                 \
  extern "C" const char symbol##_end[];

DEVOV_EMBED(devov_firmware_po, "PO010103.HEX")
DEVOV_EMBED(devov_firmware_pu, "PU010103.HEX")
DEVOV_EMBED(devov_firmware_su, "SU010503.HEX")

namespace devov::posix {
namespace {

std::string_view between(const char* begin, const char* end) {
  return {begin, static_cast<std::size_t>(end - begin)};
}

}  // namespace

std::span<const EmbeddedText> embedded_firmware() {
  static const EmbeddedText texts[] = {
      {IDR_FIRMWARE_PO, between(devov_firmware_po_begin, devov_firmware_po_end)},
      {IDR_FIRMWARE_PU, between(devov_firmware_pu_begin, devov_firmware_pu_end)},
      {IDR_FIRMWARE_SU, between(devov_firmware_su_begin, devov_firmware_su_end)},
  };
  return texts;
}

}  // namespace devov::posix
