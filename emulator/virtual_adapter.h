// One virtual adapter with its driver: answers every request the program
// sends from the adapter's description and its memory, enforces the flash
// write protocol, injects the description's faults and appends every
// request to the adapter's trace.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "emulator/adapter_description.h"
#include "emulator/adapter_memory.h"

namespace devov::emulator {

class VirtualAdapter {
 public:
  // The adapter in `adapter_folder`: its description and its memory files.
  // Empty, with the reason, when the description does not parse or the
  // memory cannot be made.
  static std::unique_ptr<VirtualAdapter> load(const std::string& adapter_folder,
                                              std::string& error);

  // One request as the request block carries it; answers the NDIS status.
  std::uint32_t request(std::uint32_t type, std::uint32_t oid, void* buffer,
                        std::uint32_t length);

  // A removed adapter answers every request with NDIS_STATUS_ADAPTER_REMOVED
  // and cannot be opened again.
  bool removed() const;

  // Trace lines for what is not a request.
  void trace_open(const std::string& open_name, std::intptr_t handle);
  void trace_open_refused(const std::string& open_name, const std::string& why);
  void trace_close(std::intptr_t handle);

  const AdapterDescription& description() const { return description_; }
  const AdapterMemory& memory() const { return memory_; }
  // What the firmware answers since the adapter last started.
  const RunningFirmware& running() const { return running_; }

 private:
  VirtualAdapter() = default;

  struct Answer {
    std::uint32_t status = 0;
    std::string refused;  // why a request was refused, for the trace
  };
  Answer answer(std::uint32_t type, std::uint32_t oid, std::uint8_t* buffer,
                std::uint32_t length, std::string& fault);
  Answer read_rid(std::uint8_t* buffer, std::uint32_t length, std::string& fault);
  Answer aux_read(std::uint8_t* buffer, std::uint32_t length);
  Answer control_write(const std::uint8_t* buffer, std::uint32_t length);
  Answer aux_write(const std::uint8_t* buffer, std::uint32_t length, std::string& fault);
  void restart();
  void append_trace(const std::string& line) const;

  std::string folder_;
  AdapterDescription description_;
  AdapterMemory memory_;
  RunningFirmware running_;

  // The write session: an aux write is taken only while all three hold.
  bool protocols_blocked_ = false;
  bool aux_enabled_ = false;
  bool control_written_ = false;

  std::uint32_t requests_ = 0;
  std::map<std::uint32_t, std::uint32_t> calls_by_oid_;
  std::uint32_t block_writes_ = 0;
};

}  // namespace devov::emulator
