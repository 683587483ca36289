// The program's one connection to the adapter's driver, through the request
// library: every request the program sends goes out here.
#pragma once

#include <cstdint>
#include <string>

#include "adapter/records.h"
#include "adapter/request_block.h"
#include "platform/request_library.h"

namespace devov {

class FirmwareImage;
class PdaList;
class ProgressBar;

// Flash writes go in blocks of at most kMaxChunk bytes that never cross a
// multiple of kChunkBoundary.
inline constexpr std::uint32_t kChunkBoundary = 0x10000;
// The pause after the control write that prepares the flash.
inline constexpr std::uint32_t kControlWriteSettleMs = 5;

class AdapterSession {
 public:
  AdapterSession() = default;
  AdapterSession(const AdapterSession&) = delete;
  AdapterSession& operator=(const AdapterSession&) = delete;
  ~AdapterSession();

  bool is_open() const { return handle != platform::kInvalidAdapter; }

  // Start-up check of the request library: true when it is present. On
  // failure it has shown why.
  bool check_library();

  // Opens the adapter at `index` of the adapter list: resolves its open
  // name, opens it, makes the event and enables the aux port; reads the
  // platform when asked. An open adapter stays as it is.
  bool open(std::int32_t index, bool read_platform_now);
  void close();

  // Every operation below sends nothing and fails on a closed adapter.
  bool read_rid(RidRecord& record, std::uint16_t rid);
  // The first word of `buffer` (kProbeBufferSize bytes) is the caller's 0.
  bool probe(std::uint8_t* buffer);
  bool probe();
  bool enable_aux();
  bool block_protocols(bool block);
  // Reads the record's length (clamped to kMaxChunk in the record) from its
  // address into its data.
  bool aux_read(AuxRecord& record);
  bool aux_write(AuxRecord& record);
  // aux_write, once more if it fails.
  bool write_block(AuxRecord& record);
  bool finish();
  bool get_permanent_address(std::uint8_t* address);
  // The driver's version, 0 on failure.
  std::uint32_t get_driver_version();
  // Sets platform_type and pda_address from the adapter's platform record.
  void read_platform();

  // Flash programming.
  bool prepare_write();
  bool write_flash(FirmwareImage& image, ProgressBar* progress, bool ask_on_error);
  bool write_pda(const PdaList& list);

  // Identity.
  bool read_pda(PdaList& list);
  void read_identity_texts(std::int32_t index, std::string& primary, std::string& station);
  // At most size - 1 characters, as if copied into `size` characters with the
  // terminating zero.
  bool get_firmware_text(std::string& out, std::size_t size, std::int32_t index);
  bool get_firmware_files(std::string& first, std::string& second);

  platform::AdapterHandle handle = platform::kInvalidAdapter;
  Overlapped overlapped{};
  std::uint16_t platform_type = 0;
  std::uint32_t pda_address = 0;

 private:
  // One request through the request block; answers the status.
  std::uint32_t request(std::uint32_t type, std::uint32_t oid, void* buffer,
                        std::uint32_t length);
  std::uint32_t send_aux_write(AuxRecord& record);
};

}  // namespace devov
