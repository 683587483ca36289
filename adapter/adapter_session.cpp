// AdapterSession: the start-up check of the request library, opening and
// closing the adapter, and every request of the session with the records it
// carries.
#include "adapter/adapter_session.h"

#include <cstring>
#include <string>

#include "adapter/discovery.h"
#include "adapter/requests.h"
#include "platform/platform.h"
#include "shell/flash_log.h"

namespace devov {
namespace {

// The open name the check uses; no adapter carries it, so the library's last
// error tells whether the library and its driver part could be loaded.
constexpr const char* kCheckName = "Check for VXD...";
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;

// A write of 54 to 56 bytes goes to the driver as two requests, the first
// 30 bytes and the rest.
constexpr std::uint16_t kSplitLengthLow = 54;
constexpr std::uint16_t kSplitLengthHigh = 56;
constexpr std::uint16_t kSplitFirst = 30;

std::string upper_hex(std::uint32_t value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return digits;
}

}  // namespace

bool AdapterSession::check_library() {
  auto& library = platform::services().library;
  library.open_adapter(kCheckName);
  std::uint32_t error = library.get_last_error();
  const unsigned style = platform::kBoxIconError;
  if (error == kErrorAccessDenied) {
    show_message(platform::BoxOwner::MainWindow,
                 "The system reports that you have insufficient privileges to load the "
                 "required driver. \r\n\r\n 1. You may need to log on as an "
                 "administrator.\r\n\r\n 2. Ensure the system files are not being accessed "
                 "from a network drive. (search for \"ISW32N50\" in the registry)",
                 "Startup Error", style);
    return false;
  }
  if (error == kErrorFileNotFound) {
    show_message(platform::BoxOwner::MainWindow,
                 "Error loading system files: File Not Found.", "Startup Error", style);
    return false;
  }
  if ((error & 0xFF) == kErrorInvalidHandle) return true;
  show_message(platform::BoxOwner::MainWindow, "W32N error code: " + upper_hex(error),
               "Unable to load necessary system files.", style);
  return false;
}

AdapterSession::~AdapterSession() { close(); }

std::uint32_t AdapterSession::request(std::uint32_t type, std::uint32_t oid, void* buffer,
                                      std::uint32_t length) {
  // The header's first 20 bytes and the trailing area are the library's own
  // and stay as they are.
  NdisRequestBlock block;
  block.request_type = type;
  block.oid = oid;
  block.buffer = buffer;
  block.buffer_length = length;
  block.counters[0] = 0;
  block.counters[1] = 0;
  return platform::services().library.make_ndis_request(handle, &block, &overlapped, 1);
}

bool AdapterSession::open(std::int32_t index, bool read_platform_now) {
  if (is_open()) return true;
  auto& library = platform::services().library;
  std::string open_name;
  if (!resolve_adapter(index, open_name)) {
    library.get_last_error();
    return false;
  }
  handle = library.open_adapter(open_name.c_str());
  if (handle == platform::kInvalidAdapter) {
    library.get_last_error();
    return false;
  }
  platform::EventHandle event = platform::services().events.create_event();
  if (!event) {
    library.close_adapter(handle);
    handle = platform::kInvalidAdapter;
    show_message(platform::BoxOwner::MainWindow, "Could not create Overlapped Event", "Error",
                 platform::kBoxOk);
    return false;
  }
  overlapped = Overlapped{};
  overlapped.event = event;
  // Only the adapter's own driver accepts this private request.
  if (!enable_aux()) {
    close();
    return false;
  }
  if (read_platform_now) read_platform();
  return true;
}

void AdapterSession::close() {
  if (!is_open()) return;
  platform::services().library.close_adapter(handle);
  handle = platform::kInvalidAdapter;
  if (overlapped.event) platform::services().events.close_event(overlapped.event);
  overlapped.event = nullptr;
}

bool AdapterSession::read_rid(RidRecord& record, std::uint16_t rid) {
  if (!is_open()) return false;
  record.set_word(0, 0);
  record.set_word(1, rid);
  const std::uint32_t status =
      request(kNdisQuery, OID_PRIVATE_READ_RID, record.bytes.data(), kRidRecordSize);
  return status == NDIS_STATUS_SUCCESS && record.length() != 0;
}

bool AdapterSession::probe(std::uint8_t* buffer) {
  if (!is_open()) return false;
  const std::uint32_t status = request(kNdisQuery, OID_PRIVATE_PROBE, buffer, kProbeBufferSize);
  if (status == NDIS_STATUS_INVALID_OID) {
    show_message(platform::BoxOwner::MainWindow,
                 "Your current WLAN driver does not support this version of this utility. "
                 "You may need to upgrade the driver.",
                 "Incompatible Driver Error", platform::kBoxIconWarning);
    return false;
  }
  return status == NDIS_STATUS_SUCCESS;
}

bool AdapterSession::probe() {
  std::uint8_t buffer[kProbeBufferSize] = {};
  return probe(buffer);
}

bool AdapterSession::enable_aux() {
  if (!is_open()) return false;
  return request(kNdisSet, OID_PRIVATE_ENABLE_AUX, nullptr, 0) == NDIS_STATUS_SUCCESS;
}

bool AdapterSession::block_protocols(bool block) {
  if (!is_open()) return false;
  const std::uint32_t oid = block ? OID_PRIVATE_BLOCK_PROTOCOLS : OID_PRIVATE_UNBLOCK_PROTOCOLS;
  return request(kNdisSet, oid, nullptr, 0) == NDIS_STATUS_SUCCESS;
}

bool AdapterSession::aux_read(AuxRecord& record) {
  if (!is_open()) return false;
  const std::uint32_t address = record.address();
  if (platform_type == kPlatformType1) record.set_address(address & kType1ReadAddressMask);
  enable_aux();
  if (record.length() > kMaxChunk) record.set_length(kMaxChunk);
  record.data()[0] = 0xDE;
  record.data()[1] = 0xAD;
  const std::uint32_t status =
      request(kNdisQuery, OID_PRIVATE_AUX_READ, record.bytes.data(),
              static_cast<std::uint32_t>(record.length() + kAuxHeaderSize));
  if (platform_type == kPlatformType1) record.set_address(address);
  return status == NDIS_STATUS_SUCCESS;
}

std::uint32_t AdapterSession::send_aux_write(AuxRecord& record) {
  return request(kNdisSet, OID_PRIVATE_AUX_WRITE, record.bytes.data(),
                 static_cast<std::uint32_t>(record.length() + kAuxHeaderSize));
}

bool AdapterSession::aux_write(AuxRecord& record) {
  if (!is_open()) return false;
  const std::uint16_t length = record.length();
  // The driver would read past the record's 2048 bytes.
  if (length > kMaxChunk) return false;
  if (length < kSplitLengthLow || length > kSplitLengthHigh)
    return send_aux_write(record) == NDIS_STATUS_SUCCESS;
  AuxRecord first;
  first.set_address(record.address());
  first.set_length(kSplitFirst);
  std::memcpy(first.data(), record.data(), kSplitFirst);
  if (send_aux_write(first) != NDIS_STATUS_SUCCESS) return false;
  AuxRecord rest;
  rest.set_address(record.address() + kSplitFirst);
  rest.set_length(static_cast<std::uint16_t>(length - kSplitFirst));
  std::memcpy(rest.data(), record.data() + kSplitFirst, length - kSplitFirst);
  return send_aux_write(rest) == NDIS_STATUS_SUCCESS;
}

bool AdapterSession::write_block(AuxRecord& record) {
  if (!is_open()) return false;
  if (aux_write(record)) return true;
  return aux_write(record);
}

bool AdapterSession::finish() {
  if (!is_open()) return false;
  return request(kNdisSet, OID_PRIVATE_FINISH, nullptr, 0) == NDIS_STATUS_SUCCESS;
}

bool AdapterSession::get_permanent_address(std::uint8_t* address) {
  if (!is_open()) return false;
  return request(kNdisQuery, OID_802_3_PERMANENT_ADDRESS, address, kPermanentAddressSize) ==
         NDIS_STATUS_SUCCESS;
}

std::uint32_t AdapterSession::get_driver_version() {
  if (!is_open()) return 0;
  std::uint8_t value[kDriverVersionSize] = {};
  if (request(kNdisQuery, OID_GEN_VENDOR_DRIVER_VERSION, value, kDriverVersionSize) !=
      NDIS_STATUS_SUCCESS)
    return 0;
  return load_le32(value);
}

void AdapterSession::read_platform() {
  if (!is_open()) return;
  RidRecord record;
  constexpr std::size_t kPlatformTypeWord = 2;
  platform_type = read_rid(record, RID_PLATFORM) ? record.data_word(kPlatformTypeWord) : 0;
  if (platform_type == kPlatformType1) {
    pda_address = kPdaAddressType1;
  } else if (platform_type == kPlatformType2) {
    pda_address = kPdaAddressType2;
  } else {
    platform_type = kPlatformUnknown;
    pda_address = 0;
  }
}

}  // namespace devov
