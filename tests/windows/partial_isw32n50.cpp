// An ISW32N50.dll that lacks W32N_MakeNdisRequest but otherwise answers as
// a present library would: the program must still count it as not found.
#include <windows.h>

#include "platform/win32/w32n_abi.h"

namespace {
// What a present library reports after the start-up check's open.
constexpr DWORD kErrorInvalidHandle = 6;
}  // namespace

#define W32N_EXPORT extern "C" __declspec(dllexport)

W32N_EXPORT BOOL WINAPI W32N_IsWindowsNT() { return TRUE; }
W32N_EXPORT BOOL WINAPI W32N_IsWindows95() { return FALSE; }
W32N_EXPORT DWORD WINAPI W32N_OSGetPlatformVersion(DWORD) { return 5; }
W32N_EXPORT DWORD WINAPI W32N_GetAdapterRegistryInfo(void*, const char*) { return 1; }
W32N_EXPORT HANDLE WINAPI W32N_OpenAdapterA(const char*) { return INVALID_HANDLE_VALUE; }
W32N_EXPORT DWORD WINAPI W32N_GetLastError() { return kErrorInvalidHandle; }
W32N_EXPORT void WINAPI W32N_CloseAdapter(HANDLE) {}
