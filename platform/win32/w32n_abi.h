// The binary interface of ISW32N50.dll: its eight exports, their calling
// convention and their undecorated names. Shared by the program's loader and
// the stand-in DLL, so both sides agree on every signature.
#pragma once

#include <windows.h>

namespace devov::w32n {

// Every export is __stdcall and exported under its plain name (no leading
// underscore, no "@n" suffix), so GetProcAddress finds it by these names.
using IsWindowsNtFn = BOOL(WINAPI*)();
using IsWindows95Fn = BOOL(WINAPI*)();
using OsGetPlatformVersionFn = DWORD(WINAPI*)(DWORD selector);
// Fills the 780-byte adapter record for a network-class subkey; 0 when the
// subkey is an adapter.
using GetAdapterRegistryInfoFn = DWORD(WINAPI*)(void* record, const char* subkey);
// A handle to the adapter, or INVALID_HANDLE_VALUE.
using OpenAdapterAFn = HANDLE(WINAPI*)(const char* open_name);
using GetLastErrorFn = DWORD(WINAPI*)();
using CloseAdapterFn = void(WINAPI*)(HANDLE adapter);
// 0 on success, else an NDIS status; complete when it returns.
using MakeNdisRequestFn = DWORD(WINAPI*)(HANDLE adapter, void* request_block,
                                         OVERLAPPED* overlapped, DWORD wait);

inline constexpr const char* kLibraryName = "ISW32N50.dll";
inline constexpr const char* kIsWindowsNt = "W32N_IsWindowsNT";
inline constexpr const char* kIsWindows95 = "W32N_IsWindows95";
inline constexpr const char* kOsGetPlatformVersion = "W32N_OSGetPlatformVersion";
inline constexpr const char* kGetAdapterRegistryInfo = "W32N_GetAdapterRegistryInfo";
inline constexpr const char* kOpenAdapterA = "W32N_OpenAdapterA";
inline constexpr const char* kGetLastError = "W32N_GetLastError";
inline constexpr const char* kCloseAdapter = "W32N_CloseAdapter";
inline constexpr const char* kMakeNdisRequest = "W32N_MakeNdisRequest";

}  // namespace devov::w32n
