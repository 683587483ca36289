// The virtual adapter's driver.
#include "emulator/virtual_adapter.h"
#include "emulator/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "emulator/driver_requests.h"
#include "emulator/virtual_host.h"

namespace devov::emulator {
namespace {

// What the probe answers in its second word: the write session's state.
constexpr std::uint16_t kProbeBlocked = 1;
constexpr std::uint16_t kProbeAuxEnabled = 2;
constexpr std::uint16_t kProbeControlWritten = 4;

// The supplier range record: role, interface id, variant, bottom, top. The
// primary supplies interface 3 as variant 1.
constexpr std::uint16_t kSupplierRole = 0;
constexpr std::uint16_t kSupplierInterface = 3;
constexpr std::uint16_t kSupplierVariant = 1;
constexpr std::uint16_t kPlatformVariant = 1;

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0] | p[1] << 8 | p[2] << 16) |
         static_cast<std::uint32_t>(p[3]) << 24;
}
void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

bool is_aux_oid(std::uint32_t oid) {
  return oid == OID_AUX_READ || oid == OID_CONTROL_WRITE || oid == OID_AUX_WRITE;
}

// The direction each request is made in; 0 for an OID the driver lacks.
int direction_of(std::uint32_t oid) {
  switch (oid) {
    case OID_READ_RID:
    case OID_PROBE:
    case OID_AUX_READ:
    case OID_802_3_PERMANENT_ADDRESS:
    case OID_GEN_VENDOR_DRIVER_VERSION: return 1;
    case OID_ENABLE_AUX:
    case OID_BLOCK_PROTOCOLS:
    case OID_UNBLOCK_PROTOCOLS:
    case OID_CONTROL_WRITE:
    case OID_AUX_WRITE:
    case OID_FINISH: return 2;
    default: return 0;
  }
}

std::string fault_text(const StatusFault& f) {
  switch (f.when) {
    case FaultWhen::Always: return "status always";
    case FaultWhen::Once: return "status once";
    case FaultWhen::From: return "status from call " + std::to_string(f.from_call);
  }
  return "status";
}

}  // namespace

std::unique_ptr<VirtualAdapter> VirtualAdapter::load(const std::string& adapter_folder,
                                                     std::string& error) {
  std::unique_ptr<VirtualAdapter> adapter(new VirtualAdapter);
  adapter->folder_ = adapter_folder;
  if (!read_adapter_description(adapter_folder + "/" + kDescriptionFileName,
                                adapter->description_, error))
    return nullptr;
  if (!adapter->memory_.open(adapter_folder, adapter->description_.platform_type, error))
    return nullptr;
  adapter->running_ = running_firmware(adapter->memory_.flash(), adapter->description_);
  return adapter;
}

bool VirtualAdapter::removed() const {
  return description_.removed_after != 0 && requests_ >= description_.removed_after;
}

void VirtualAdapter::append_trace(const std::string& line) const {
  std::ofstream out(folder_ + "/" + kTraceFileName, std::ios::binary | std::ios::app);
  out << line << "\n";
}

void VirtualAdapter::trace_open(const std::string& open_name, std::intptr_t handle) {
  append_trace("open name=\"" + open_name + "\" handle=" + std::to_string(handle));
}

void VirtualAdapter::trace_open_refused(const std::string& open_name, const std::string& why) {
  append_trace("open name=\"" + open_name + "\" refused=\"" + why + "\"");
}

void VirtualAdapter::trace_close(std::intptr_t handle) {
  append_trace("close handle=" + std::to_string(handle));
}

void VirtualAdapter::restart() {
  protocols_blocked_ = false;
  aux_enabled_ = false;
  control_written_ = false;
  running_ = running_firmware(memory_.flash(), description_);
  append_trace("restart primary=" + version_text(running_.primary) +
               " station=" + version_text(running_.station) + " files=\"" +
               running_.firmware_files + "\"");
}

std::uint32_t VirtualAdapter::request(std::uint32_t type, std::uint32_t oid, void* buffer,
                                      std::uint32_t length) {
  auto* bytes = static_cast<std::uint8_t*>(buffer);
  // What the trace shows of the request, taken before the answer fills it.
  std::string line = type == kRequestQuery ? "request query"
                     : type == kRequestSet ? "request set"
                                           : "request type=" + std::to_string(type);
  line += " oid=" + hex_text(oid, 8) + " len=" + std::to_string(length);
  if (bytes && oid == OID_READ_RID && length >= kRidHeaderBytes)
    line += " rid=" + hex_text(get16(bytes + 2), 4);
  if (bytes && is_aux_oid(oid) && length >= kAuxHeaderBytes)
    line += " addr=" + hex_text(get32(bytes), 8) + " n=" + std::to_string(get16(bytes + 4));

  Answer result;
  std::string fault;
  if (removed()) {
    result.status = NDIS_STATUS_ADAPTER_REMOVED;
    fault = "adapter removed";
  } else {
    ++requests_;
    const std::uint32_t call = ++calls_by_oid_[oid];
    for (const auto& f : description_.status_faults) {
      if (f.oid != oid) continue;
      const bool fires = f.when == FaultWhen::Always ||
                         (f.when == FaultWhen::Once && call == 1) ||
                         (f.when == FaultWhen::From && call >= f.from_call);
      if (fires) {
        result.status = f.status;
        fault = fault_text(f);
        break;
      }
    }
    if (fault.empty()) result = answer(type, oid, bytes, length, fault);
  }

  line += " status=" + hex_text(result.status, 8);
  if (!result.refused.empty()) line += " refused=\"" + result.refused + "\"";
  if (!fault.empty()) line += " fault=\"" + fault + "\"";
  append_trace(line);
  if (oid == OID_FINISH && result.status == NDIS_STATUS_SUCCESS) restart();
  return result.status;
}

VirtualAdapter::Answer VirtualAdapter::answer(std::uint32_t type, std::uint32_t oid,
                                              std::uint8_t* buffer, std::uint32_t length,
                                              std::string& fault) {
  const int direction = direction_of(oid);
  if (direction == 0) return {NDIS_STATUS_INVALID_OID, ""};
  if (type != kRequestQuery && type != kRequestSet)
    return {NDIS_STATUS_NOT_SUPPORTED, "request type is neither query nor set"};
  if ((direction == 1) != (type == kRequestQuery))
    return {NDIS_STATUS_NOT_SUPPORTED, direction == 1 ? "this request is a query"
                                                      : "this request is a set"};
  if (!buffer && length > 0) return {NDIS_STATUS_INVALID_DATA, "no buffer"};

  switch (oid) {
    case OID_READ_RID: return read_rid(buffer, length, fault);
    case OID_PROBE:
      if (!description_.probe_supported) return {NDIS_STATUS_INVALID_OID, ""};
      if (length < 2) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
      if (length >= 4)
        put16(buffer + 2, static_cast<std::uint16_t>(
                              (protocols_blocked_ ? kProbeBlocked : 0) |
                              (aux_enabled_ ? kProbeAuxEnabled : 0) |
                              (control_written_ ? kProbeControlWritten : 0)));
      return {};
    case OID_ENABLE_AUX:
      if (!description_.enable_aux_accepted)
        return {NDIS_STATUS_FAILURE, "driver refuses enable-aux"};
      aux_enabled_ = true;
      return {};
    case OID_AUX_READ: return aux_read(buffer, length);
    case OID_BLOCK_PROTOCOLS: protocols_blocked_ = true; return {};
    case OID_UNBLOCK_PROTOCOLS:
      // Unblocking ends a write session.
      protocols_blocked_ = false;
      control_written_ = false;
      return {};
    case OID_CONTROL_WRITE: return control_write(buffer, length);
    case OID_AUX_WRITE: return aux_write(buffer, length, fault);
    case OID_FINISH: return {};
    case OID_802_3_PERMANENT_ADDRESS:
      if (length < description_.mac_address.size()) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
      std::copy(description_.mac_address.begin(), description_.mac_address.end(), buffer);
      return {};
    case OID_GEN_VENDOR_DRIVER_VERSION:
      if (length < 4) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
      put32(buffer, description_.driver_version);
      return {};
    default: return {NDIS_STATUS_INVALID_OID, ""};
  }
}

VirtualAdapter::Answer VirtualAdapter::read_rid(std::uint8_t* buffer, std::uint32_t length,
                                                std::string& fault) {
  if (length < kRidHeaderBytes) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  const std::uint16_t rid = get16(buffer + 2);
  if (std::find(description_.rid_length_zero.begin(), description_.rid_length_zero.end(), rid) !=
      description_.rid_length_zero.end()) {
    put16(buffer, 0);
    fault = "rid length 0";
    return {};
  }
  std::vector<std::uint16_t> data;
  switch (rid) {
    case RID_PRI_IDENTITY:
      data = {kPrimaryComponent, running_.primary.variant, running_.primary.major,
              running_.primary.minor};
      break;
    case RID_STA_IDENTITY:
      data = {kStationComponent, running_.station.variant, running_.station.major,
              running_.station.minor};
      break;
    case RID_PRI_SUPPLIER_RANGE:
      data = {kSupplierRole, kSupplierInterface, kSupplierVariant, description_.supplier_bottom,
              description_.supplier_top};
      break;
    case RID_PLATFORM: data = {0, kPlatformVariant, description_.platform_type, 0}; break;
    case RID_FIRMWARE_FILES: {
      // The text, zero-padded to whole words, then one zero word: the
      // reader takes 2 x L - 4 characters from a record of length L.
      const std::string& text = running_.firmware_files;
      data.assign((text.size() + 1) / 2 + 1, 0);
      for (std::size_t i = 0; i < text.size(); ++i)
        data[i / 2] = static_cast<std::uint16_t>(
            data[i / 2] | static_cast<std::uint8_t>(text[i]) << (8 * (i % 2)));
      break;
    }
    default:
      put16(buffer, 0);
      return {NDIS_STATUS_INVALID_DATA, "no such record"};
  }
  if (length < kRidHeaderBytes + 2 * data.size()) {
    put16(buffer, 0);
    return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  }
  put16(buffer, static_cast<std::uint16_t>(data.size() + 1));
  for (std::size_t i = 0; i < data.size(); ++i) put16(buffer + kRidHeaderBytes + 2 * i, data[i]);
  return {};
}

VirtualAdapter::Answer VirtualAdapter::aux_read(std::uint8_t* buffer, std::uint32_t length) {
  if (length < kAuxHeaderBytes) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  const std::uint32_t address = get32(buffer);
  const std::uint16_t n = get16(buffer + 4);
  if (n > kAuxMaxData) return {NDIS_STATUS_INVALID_LENGTH, "more than 2042 bytes"};
  if (length < kAuxHeaderBytes + n) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  if (!aux_enabled_) return {NDIS_STATUS_FAILURE, "aux port not enabled"};
  auto place = memory_.place(address, n, true);
  if (!place) return {NDIS_STATUS_INVALID_DATA, "address outside the adapter's memory"};
  auto data = memory_.read(*place, n, description_.pda_a, description_.pda_b);
  std::copy(data.begin(), data.end(), buffer + kAuxHeaderBytes);
  return {};
}

VirtualAdapter::Answer VirtualAdapter::control_write(const std::uint8_t* buffer,
                                                     std::uint32_t length) {
  if (length < kAuxHeaderBytes) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  const std::uint32_t address = get32(buffer);
  const std::uint16_t n = get16(buffer + 4);
  if (length < kAuxHeaderBytes + n) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  if (!aux_enabled_) return {NDIS_STATUS_FAILURE, "aux port not enabled"};
  const std::uint32_t expected = control_write_address(description_.platform_type);
  if (address != expected)
    return {NDIS_STATUS_INVALID_DATA, "control write belongs at " + hex_text(expected, 8)};
  if (n != sizeof kControlData || std::memcmp(buffer + kAuxHeaderBytes, kControlData, n) != 0)
    return {NDIS_STATUS_INVALID_DATA, "control write data must be 00 E1"};
  control_written_ = true;
  return {};
}

VirtualAdapter::Answer VirtualAdapter::aux_write(const std::uint8_t* buffer,
                                                 std::uint32_t length, std::string& fault) {
  if (length < kAuxHeaderBytes) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  const std::uint32_t address = get32(buffer);
  const std::uint16_t n = get16(buffer + 4);
  if (n > kAuxMaxData) return {NDIS_STATUS_INVALID_LENGTH, "more than 2042 bytes"};
  if (length < kAuxHeaderBytes + n) return {NDIS_STATUS_BUFFER_TOO_SHORT, ""};
  if (!aux_enabled_) return {NDIS_STATUS_FAILURE, "aux port not enabled"};
  // An empty write only resets the port's write pointer; it needs no session.
  if (n == 0) return {};
  std::string missing;
  if (!protocols_blocked_) missing += ", protocols not blocked";
  if (!control_written_) missing += ", no control write";
  if (!missing.empty()) return {NDIS_STATUS_FAILURE, missing.substr(2)};
  auto place = memory_.place(address, n, false);
  if (!place)
    return {NDIS_STATUS_INVALID_DATA, "address outside the adapter's memory"};

  ++block_writes_;
  const std::uint32_t at = description_.block_write_fault_at;
  const bool fails =
      (description_.block_write_fault != BlockWriteFault::None && block_writes_ == at) ||
      (description_.block_write_fault == BlockWriteFault::FailTwice && block_writes_ == at + 1);
  if (fails) {
    fault = "block write " + std::to_string(block_writes_) + " fails";
    return {NDIS_STATUS_FAILURE, ""};
  }
  if (!memory_.write(*place, buffer + kAuxHeaderBytes, n))
    return {NDIS_STATUS_FAILURE, "flash file cannot be written"};
  return {};
}

}  // namespace devov::emulator
