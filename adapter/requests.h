// The requests the driver answers: the private OIDs, the two public NDIS
// OIDs the program queries, the RIDs it reads and the statuses it tells
// apart.
#pragma once

#include <cstdint>

namespace devov {

inline constexpr std::uint32_t OID_PRIVATE_READ_RID = 0xFF010181;
inline constexpr std::uint32_t OID_PRIVATE_PROBE = 0xFF010183;
inline constexpr std::uint32_t OID_PRIVATE_ENABLE_AUX = 0xFF010184;
inline constexpr std::uint32_t OID_PRIVATE_AUX_READ = 0xFF010186;
inline constexpr std::uint32_t OID_PRIVATE_BLOCK_PROTOCOLS = 0xFF010187;
inline constexpr std::uint32_t OID_PRIVATE_UNBLOCK_PROTOCOLS = 0xFF010188;
inline constexpr std::uint32_t OID_PRIVATE_CONTROL_WRITE = 0xFF01018B;
inline constexpr std::uint32_t OID_PRIVATE_AUX_WRITE = 0xFF01018C;
inline constexpr std::uint32_t OID_PRIVATE_FINISH = 0xFF020198;
inline constexpr std::uint32_t OID_802_3_PERMANENT_ADDRESS = 0x01010101;
inline constexpr std::uint32_t OID_GEN_VENDOR_DRIVER_VERSION = 0x00010116;

inline constexpr std::uint32_t NDIS_STATUS_SUCCESS = 0;
inline constexpr std::uint32_t NDIS_STATUS_INVALID_OID = 0xC0010017;

inline constexpr std::uint16_t RID_PRI_IDENTITY = 0xFD02;
inline constexpr std::uint16_t RID_PRI_SUPPLIER_RANGE = 0xFD03;
inline constexpr std::uint16_t RID_PLATFORM = 0xFD04;
inline constexpr std::uint16_t RID_STA_IDENTITY = 0xFD20;
inline constexpr std::uint16_t RID_FIRMWARE_FILES = 0xFFFF;

// Buffer sizes of the fixed-size requests.
inline constexpr std::uint32_t kProbeBufferSize = 8;
inline constexpr std::uint32_t kPermanentAddressSize = 6;
inline constexpr std::uint32_t kDriverVersionSize = 4;

// The adapter's memory layout by platform type.
inline constexpr std::uint16_t kPlatformType1 = 1;
inline constexpr std::uint16_t kPlatformType2 = 2;
inline constexpr std::uint16_t kPlatformUnknown = 0xFFFF;
inline constexpr std::uint32_t kPdaAddressType1 = 0x3F0000;
inline constexpr std::uint32_t kPdaAddressType2 = 0x7F0000;
inline constexpr std::uint32_t kControlWriteAddressType1 = 0x1FEE66;
inline constexpr std::uint32_t kControlWriteAddress = 0x7FDE66;
// Aux reads on platform type 1 go out with address bits 17 and 18 cleared.
inline constexpr std::uint32_t kType1ReadAddressMask = 0xFFF9FFFF;
// The second copy of the PDA lies behind bit 31 of its address.
inline constexpr std::uint32_t kPdaCopyB = 0x80000000;

}  // namespace devov
