// A request library that records every call and every request the program
// sends, byte for byte, and answers from what the test sets: the adapters
// the registry lists, RID records, adapter memory, statuses by OID.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/request_library.h"

namespace devov::test {

// One request as the library saw it when it was made.
struct SentRequest {
  platform::AdapterHandle handle = 0;
  std::uint32_t type = 0;
  std::uint32_t oid = 0;
  bool has_buffer = false;
  std::uint32_t length = 0;
  std::uint32_t counters[2] = {};
  std::uint32_t wait = 0;
  void* event = nullptr;
  // The buffer's bytes as they were sent.
  std::vector<std::uint8_t> bytes;
  std::uint32_t status = 0;

  // For aux records: the address and data length in the buffer.
  std::uint32_t aux_address() const;
  std::uint16_t aux_length() const;
  // For RID records: the RID asked for.
  std::uint16_t rid() const;
};

class RecordingLibrary : public platform::RequestLibrary {
 public:
  // The handle of the first name opened; each further name gets the next.
  static constexpr platform::AdapterHandle kHandle = 0x51;
  static constexpr std::uint32_t kOpenError = 2;
  // The start-up check's open name, which leaves `check_error` as the last
  // error: by default that of a library that is present.
  static constexpr const char* kCheckName = "Check for VXD...";

  struct Adapter {
    std::string display_name;
    std::string instance_name;
  };
  struct RidAnswer {
    std::uint16_t length = 0;  // the length word the driver puts in word 0
    std::vector<std::uint8_t> data;
  };

  bool is_windows_nt() override { return nt; }
  bool is_windows_95() override { return !nt; }
  std::uint32_t os_get_platform_version(std::uint32_t selector) override;
  std::uint32_t get_adapter_registry_info(void* record, const char* subkey) override;
  platform::AdapterHandle open_adapter(const char* open_name) override;
  std::uint32_t get_last_error() override;
  void close_adapter(platform::AdapterHandle handle) override;
  std::uint32_t make_ndis_request(platform::AdapterHandle handle, void* request_block,
                                  void* overlapped, std::uint32_t wait) override;

  // A RID answer whose data are these words.
  static RidAnswer rid_words(const std::vector<std::uint16_t>& words);

  // The requests of one OID, in order.
  std::vector<SentRequest> requests_of(std::uint32_t oid) const;
  // The OIDs of every request, in order.
  std::vector<std::uint32_t> oids() const;

  // The operating system the library reports.
  bool nt = true;
  std::uint32_t major_version = 5;
  // The network-class subkeys the library knows, by name.
  std::map<std::string, Adapter> adapters;
  // Open names that open.
  std::set<std::string> openable;
  std::uint32_t check_error = 6;
  // Handles by open name, given on first open.
  std::map<std::string, platform::AdapterHandle> handles;
  // Statuses by OID: each request of the OID takes the next one queued,
  // then `always` if set, else 0.
  std::map<std::uint32_t, std::deque<std::uint32_t>> statuses;
  std::map<std::uint32_t, std::uint32_t> always;
  // Decides the status of a request before the queues do, when set and it
  // answers a value.
  std::function<std::optional<std::uint32_t>(const SentRequest&)> answer;
  std::map<std::uint16_t, RidAnswer> rids;
  // Adapter memory read by aux reads, by the exact address asked for;
  // addresses without an entry read as 0xFF.
  std::map<std::uint32_t, std::vector<std::uint8_t>> memory;
  std::uint32_t driver_version = 0x00010203;
  std::uint8_t permanent_address[6] = {0x00, 0x90, 0x4B, 0x12, 0x34, 0x56};

  // Every call, in order: "open_adapter <name>", "close_adapter <h>",
  // "get_last_error", "get_adapter_registry_info <subkey>", "request <oid>".
  std::vector<std::string> calls;
  std::vector<SentRequest> requests;
  int last_error_reads = 0;

 private:
  std::uint32_t status_for(const SentRequest& request);
  std::uint32_t last_error_ = 0;
};

}  // namespace devov::test
