// The request block and overlapped block handed to W32N_MakeNdisRequest, laid
// out as the request library reads them. On the 32-bit Windows program the
// request block is exactly 4140 bytes and the overlapped block has the layout
// of the platform's OVERLAPPED.
#pragma once

#include <cstddef>
#include <cstdint>

namespace devov {

inline constexpr std::uint32_t kNdisQuery = 0;
inline constexpr std::uint32_t kNdisSet = 1;
inline constexpr std::size_t kRequestBlockSize = 4140;
inline constexpr std::size_t kRequestAreaSize = 4096;

struct NdisRequestBlock {
  std::uint8_t unset[20];
  std::uint32_t request_type;  // kNdisQuery or kNdisSet
  std::uint32_t oid;
  void* buffer;
  std::uint32_t buffer_length;
  std::uint32_t counters[2];  // both 0 on every request
  std::uint8_t area[kRequestAreaSize];
};

struct Overlapped {
  std::uintptr_t internal;
  std::uintptr_t internal_high;
  std::uint32_t offset;
  std::uint32_t offset_high;
  void* event;
};

static_assert(sizeof(void*) != 4 || sizeof(NdisRequestBlock) == kRequestBlockSize,
              "the request block is 4140 bytes on the 32-bit program");
static_assert(sizeof(void*) != 4 || sizeof(Overlapped) == 20,
              "the overlapped block has the platform's layout");

}  // namespace devov
