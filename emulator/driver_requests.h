// The requests the adapter's driver answers, the records they carry and the
// statuses it gives, as the driver spells them. The emulator keeps its own
// copy of these numbers on purpose: a slip on the program's side then shows
// as a refused request instead of being shared by both ends.
#pragma once

#include <cstdint>

namespace devov::emulator {

// Private requests.
inline constexpr std::uint32_t OID_READ_RID = 0xFF010181;
inline constexpr std::uint32_t OID_PROBE = 0xFF010183;
inline constexpr std::uint32_t OID_ENABLE_AUX = 0xFF010184;
inline constexpr std::uint32_t OID_AUX_READ = 0xFF010186;
inline constexpr std::uint32_t OID_BLOCK_PROTOCOLS = 0xFF010187;
inline constexpr std::uint32_t OID_UNBLOCK_PROTOCOLS = 0xFF010188;
inline constexpr std::uint32_t OID_CONTROL_WRITE = 0xFF01018B;
inline constexpr std::uint32_t OID_AUX_WRITE = 0xFF01018C;
inline constexpr std::uint32_t OID_FINISH = 0xFF020198;
// Public requests.
inline constexpr std::uint32_t OID_802_3_PERMANENT_ADDRESS = 0x01010101;
inline constexpr std::uint32_t OID_GEN_VENDOR_DRIVER_VERSION = 0x00010116;

// Request types of the request block.
inline constexpr std::uint32_t kRequestQuery = 0;
inline constexpr std::uint32_t kRequestSet = 1;

// Statuses.
inline constexpr std::uint32_t NDIS_STATUS_SUCCESS = 0x00000000;
inline constexpr std::uint32_t NDIS_STATUS_FAILURE = 0xC0000001;
inline constexpr std::uint32_t NDIS_STATUS_NOT_SUPPORTED = 0xC00000BB;
inline constexpr std::uint32_t NDIS_STATUS_INVALID_LENGTH = 0xC0010014;
inline constexpr std::uint32_t NDIS_STATUS_INVALID_DATA = 0xC0010015;
inline constexpr std::uint32_t NDIS_STATUS_BUFFER_TOO_SHORT = 0xC0010016;
inline constexpr std::uint32_t NDIS_STATUS_INVALID_OID = 0xC0010017;
inline constexpr std::uint32_t NDIS_STATUS_ADAPTER_REMOVED = 0xC0010018;

// Configuration records.
inline constexpr std::uint16_t RID_PRI_IDENTITY = 0xFD02;
inline constexpr std::uint16_t RID_PRI_SUPPLIER_RANGE = 0xFD03;
inline constexpr std::uint16_t RID_PLATFORM = 0xFD04;
inline constexpr std::uint16_t RID_STA_IDENTITY = 0xFD20;
inline constexpr std::uint16_t RID_FIRMWARE_FILES = 0xFFFF;

// The RID record: length word, RID word, then room for 250 data words.
inline constexpr std::uint32_t kRidRecordSize = 504;
inline constexpr std::uint32_t kRidHeaderBytes = 4;
// The aux record: u32 address, u16 length n, then n data bytes.
inline constexpr std::uint32_t kAuxHeaderBytes = 6;
inline constexpr std::uint32_t kAuxMaxData = 2042;

// Bit 31 of an aux address reaches the PDA's second copy; on platform type 1
// the read decoder takes bits 17 and 18 as set.
inline constexpr std::uint32_t kCopyBBit = 0x80000000;
inline constexpr std::uint32_t kType1ReadBits = 0x00060000;

// The control write that opens a write session: two bytes at the
// platform's control address.
inline constexpr std::uint8_t kControlData[2] = {0x00, 0xE1};

// Component ids of the identity records.
inline constexpr std::uint16_t kPrimaryComponent = 21;
inline constexpr std::uint16_t kStationComponent = 31;

}  // namespace devov::emulator
