// The recording request library.
#include "tests/support/recording_library.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "adapter/request_block.h"

namespace devov::test {
namespace {

constexpr std::uint32_t kOidReadRid = 0xFF010181;
constexpr std::uint32_t kOidAuxRead = 0xFF010186;
constexpr std::uint32_t kOidPermanentAddress = 0x01010101;
constexpr std::uint32_t kOidDriverVersion = 0x00010116;

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  if (bytes.size() < at + 4) return 0;
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  if (bytes.size() < at + 2) return 0;
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

std::uint32_t SentRequest::aux_address() const { return le32(bytes, 0); }
std::uint16_t SentRequest::aux_length() const { return le16(bytes, 4); }
std::uint16_t SentRequest::rid() const { return le16(bytes, 2); }

std::uint32_t RecordingLibrary::os_get_platform_version(std::uint32_t selector) {
  calls.push_back("os_get_platform_version " + std::to_string(selector));
  return major_version;
}

std::uint32_t RecordingLibrary::get_adapter_registry_info(void* record, const char* subkey) {
  calls.push_back(std::string("get_adapter_registry_info ") + subkey);
  auto it = adapters.find(subkey);
  if (it == adapters.end()) return 1;
  auto* bytes = static_cast<std::uint8_t*>(record);
  std::memset(bytes, 0, platform::kAdapterRecordSize);
  std::memcpy(bytes, it->second.display_name.c_str(),
              std::min<std::size_t>(it->second.display_name.size(),
                                    platform::kAdapterRecordInstanceOffset - 1));
  std::memcpy(bytes + platform::kAdapterRecordInstanceOffset, it->second.instance_name.c_str(),
              std::min<std::size_t>(it->second.instance_name.size(),
                                    platform::kAdapterRecordSize -
                                        platform::kAdapterRecordInstanceOffset - 1));
  return 0;
}

platform::AdapterHandle RecordingLibrary::open_adapter(const char* open_name) {
  calls.push_back(std::string("open_adapter ") + open_name);
  if (std::string(open_name) == kCheckName) {
    last_error_ = check_error;
    return platform::kInvalidAdapter;
  }
  if (openable.count(open_name) == 0) {
    last_error_ = kOpenError;
    return platform::kInvalidAdapter;
  }
  auto it = handles.find(open_name);
  if (it == handles.end())
    it = handles.emplace(open_name, kHandle + static_cast<platform::AdapterHandle>(handles.size()))
             .first;
  return it->second;
}

std::uint32_t RecordingLibrary::get_last_error() {
  calls.push_back("get_last_error");
  ++last_error_reads;
  return last_error_;
}

void RecordingLibrary::close_adapter(platform::AdapterHandle handle) {
  calls.push_back("close_adapter " + std::to_string(handle));
}

RecordingLibrary::RidAnswer RecordingLibrary::rid_words(const std::vector<std::uint16_t>& words) {
  RidAnswer answer;
  answer.length = static_cast<std::uint16_t>(words.size() + 1);
  for (std::uint16_t w : words) {
    answer.data.push_back(static_cast<std::uint8_t>(w));
    answer.data.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  return answer;
}

std::uint32_t RecordingLibrary::status_for(const SentRequest& request) {
  if (answer)
    if (auto status = answer(request)) return *status;
  auto queued = statuses.find(request.oid);
  if (queued != statuses.end() && !queued->second.empty()) {
    const std::uint32_t status = queued->second.front();
    queued->second.pop_front();
    return status;
  }
  auto fixed = always.find(request.oid);
  return fixed == always.end() ? 0 : fixed->second;
}

std::uint32_t RecordingLibrary::make_ndis_request(platform::AdapterHandle handle,
                                                  void* request_block, void* overlapped,
                                                  std::uint32_t wait) {
  const auto& block = *static_cast<const NdisRequestBlock*>(request_block);
  SentRequest sent;
  sent.handle = handle;
  sent.type = block.request_type;
  sent.oid = block.oid;
  sent.has_buffer = block.buffer != nullptr;
  sent.length = block.buffer_length;
  sent.counters[0] = block.counters[0];
  sent.counters[1] = block.counters[1];
  sent.wait = wait;
  sent.event = overlapped ? static_cast<const Overlapped*>(overlapped)->event : nullptr;
  auto* buffer = static_cast<std::uint8_t*>(block.buffer);
  if (buffer) sent.bytes.assign(buffer, buffer + block.buffer_length);
  calls.push_back("request " + hex(sent.oid));
  sent.status = status_for(sent);

  if (sent.status == 0 && buffer) {
    if (sent.oid == kOidReadRid && sent.length >= 4) {
      auto it = rids.find(sent.rid());
      if (it != rids.end()) {
        buffer[0] = static_cast<std::uint8_t>(it->second.length);
        buffer[1] = static_cast<std::uint8_t>(it->second.length >> 8);
        std::memcpy(buffer + 4, it->second.data.data(),
                    std::min<std::size_t>(it->second.data.size(), sent.length - 4));
      }
    } else if (sent.oid == kOidAuxRead && sent.length >= 6) {
      const std::size_t count = std::min<std::size_t>(sent.aux_length(), sent.length - 6);
      auto it = memory.find(sent.aux_address());
      for (std::size_t i = 0; i < count; ++i)
        buffer[6 + i] = it != memory.end() && i < it->second.size() ? it->second[i] : 0xFF;
    } else if (sent.oid == kOidPermanentAddress && sent.length == 6) {
      std::memcpy(buffer, permanent_address, 6);
    } else if (sent.oid == kOidDriverVersion && sent.length == 4) {
      for (int i = 0; i < 4; ++i) buffer[i] = static_cast<std::uint8_t>(driver_version >> (8 * i));
    }
  }
  requests.push_back(sent);
  return sent.status;
}

std::vector<SentRequest> RecordingLibrary::requests_of(std::uint32_t oid) const {
  std::vector<SentRequest> found;
  for (const auto& r : requests)
    if (r.oid == oid) found.push_back(r);
  return found;
}

std::vector<std::uint32_t> RecordingLibrary::oids() const {
  std::vector<std::uint32_t> found;
  for (const auto& r : requests) found.push_back(r.oid);
  return found;
}

}  // namespace devov::test
