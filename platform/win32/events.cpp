#include "platform/win32/events.h"

#include <windows.h>

namespace devov::win32 {

platform::EventHandle Win32Events::create_event() {
  return CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

void Win32Events::reset_event(platform::EventHandle event) { ResetEvent(event); }

void Win32Events::close_event(platform::EventHandle event) { CloseHandle(event); }

}  // namespace devov::win32
