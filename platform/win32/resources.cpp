// Resources of the executable through the Win32 resource calls.
#include "platform/win32/resources.h"

#include <windows.h>

namespace devov::win32 {
namespace {

// The longest string-table text the program reads, without its terminator.
constexpr int kMaxStringLength = 511;
constexpr const char* kFirmwareType = "FIRMWARE";

}  // namespace

std::optional<std::string> load_string(int id) {
  char buffer[kMaxStringLength + 1];
  const int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), buffer,
                                 sizeof(buffer));
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::optional<std::string> Win32Resources::string(int id) { return load_string(id); }

std::optional<std::string_view> Win32Resources::firmware_text(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), kFirmwareType);
  if (!found) return std::nullopt;
  // A loaded resource of the executable stays mapped until the process
  // ends, so the view needs no copy.
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return std::nullopt;
  const void* data = LockResource(loaded);
  if (!data) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), SizeofResource(module, found));
}

}  // namespace devov::win32
