// The stand-in ISW32N50.dll: exports the request library's eight functions
// and answers them from the emulated library, so the Windows program can run
// without the closed library, its driver or an adapter. Network-class
// subkeys come from the system's own registry; the adapters from the host
// folder that DEVOV_PREFIX names.
#include <windows.h>

#include <string>
#include <type_traits>

#include "emulator/emulated_library.h"
#include "emulator/host_config.h"
#include "platform/win32/registry.h"
#include "platform/win32/w32n_abi.h"

namespace {

using devov::emulator::EmulatedLibrary;
using devov::emulator::HostConfig;

// Under Wine the host folder may be given as a Unix path; Wine reaches the
// Unix root as drive Z.
std::string windows_path(const std::string& folder) {
  if (!folder.empty() && folder.front() == '/') return "Z:" + folder;
  return folder;
}

std::string host_folder() {
  return windows_path(devov::emulator::host_folder_from_environment());
}

// The system this DLL runs on answers the version questions; the host
// folder's description answers the rest.
HostConfig host_config() {
  HostConfig config = devov::emulator::read_host_config(host_folder());
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (GetVersionExA(&info)) {
    config.os_family = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? "9x" : "nt";
    config.os_major = info.dwMajorVersion;
    config.os_minor = info.dwMinorVersion;
  }
  return config;
}

// Made on the first call rather than when the DLL is loaded: reading files
// is not allowed while the loader holds its lock.
EmulatedLibrary& library() {
  static devov::win32::Win32Registry registry;
  static EmulatedLibrary instance(host_config(), host_folder(), registry);
  return instance;
}

}  // namespace

#define W32N_EXPORT extern "C" __declspec(dllexport)

W32N_EXPORT BOOL WINAPI W32N_IsWindowsNT() { return library().is_windows_nt(); }

W32N_EXPORT BOOL WINAPI W32N_IsWindows95() { return library().is_windows_95(); }

W32N_EXPORT DWORD WINAPI W32N_OSGetPlatformVersion(DWORD selector) {
  return library().os_get_platform_version(selector);
}

W32N_EXPORT DWORD WINAPI W32N_GetAdapterRegistryInfo(void* record, const char* subkey) {
  return library().get_adapter_registry_info(record, subkey);
}

W32N_EXPORT HANDLE WINAPI W32N_OpenAdapterA(const char* open_name) {
  return reinterpret_cast<HANDLE>(library().open_adapter(open_name));
}

W32N_EXPORT DWORD WINAPI W32N_GetLastError() { return library().get_last_error(); }

W32N_EXPORT void WINAPI W32N_CloseAdapter(HANDLE adapter) {
  library().close_adapter(reinterpret_cast<devov::platform::AdapterHandle>(adapter));
}

W32N_EXPORT DWORD WINAPI W32N_MakeNdisRequest(HANDLE adapter, void* request_block,
                                              OVERLAPPED* overlapped, DWORD wait) {
  const DWORD status = library().make_ndis_request(
      reinterpret_cast<devov::platform::AdapterHandle>(adapter), request_block, overlapped,
      wait);
  // Every request completes before the call returns, as an overlapped
  // request does once its event is signalled.
  if (overlapped && overlapped->hEvent) SetEvent(overlapped->hEvent);
  return status;
}

// The exports must match the types the program's loader calls them through.
namespace w32n = devov::w32n;
static_assert(std::is_same_v<decltype(&W32N_IsWindowsNT), w32n::IsWindowsNtFn>);
static_assert(std::is_same_v<decltype(&W32N_IsWindows95), w32n::IsWindows95Fn>);
static_assert(
    std::is_same_v<decltype(&W32N_OSGetPlatformVersion), w32n::OsGetPlatformVersionFn>);
static_assert(std::is_same_v<decltype(&W32N_GetAdapterRegistryInfo),
                             w32n::GetAdapterRegistryInfoFn>);
static_assert(std::is_same_v<decltype(&W32N_OpenAdapterA), w32n::OpenAdapterAFn>);
static_assert(std::is_same_v<decltype(&W32N_GetLastError), w32n::GetLastErrorFn>);
static_assert(std::is_same_v<decltype(&W32N_CloseAdapter), w32n::CloseAdapterFn>);
static_assert(std::is_same_v<decltype(&W32N_MakeNdisRequest), w32n::MakeNdisRequestFn>);
