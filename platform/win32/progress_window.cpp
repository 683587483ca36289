// The progress window of template 130.
#include "platform/win32/progress_window.h"

#include <commctrl.h>

#include "resources/resource_ids.h"

namespace devov::win32 {
namespace {

// The resource script names the controls the program speaks of.
static_assert(IDC_PROGRESS_MESSAGE == platform::kProgressMessageLine);
static_assert(IDC_PROGRESS_ADAPTER_LINE == platform::kProgressAdapterLine);
static_assert(IDC_PROGRESS_FIRMWARE_LINE == platform::kProgressFirmwareLine);
static_assert(IDC_PROGRESS == platform::kProgressBarControl);

// The window handles no message of its own; the dialog manager does the
// rest.
INT_PTR CALLBACK progress_proc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

Win32ProgressWindow::~Win32ProgressWindow() { destroy(); }

bool Win32ProgressWindow::create() {
  destroy();
  // The template's progress bar is a common control; its class must be
  // there before the window is made.
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&classes);
  window_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROGRESS),
                               nullptr, progress_proc, 0);
  return window_ != nullptr;
}

void Win32ProgressWindow::destroy() {
  if (!window_) return;
  DestroyWindow(window_);
  window_ = nullptr;
}

// On the work area of the screen the window is on, so a task bar does not
// cover it.
void Win32ProgressWindow::center() {
  if (!window_) return;
  RECT box;
  GetWindowRect(window_, &box);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  RECT area;
  if (GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor))
    area = monitor.rcWork;
  else
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  const int x = area.left + (area.right - area.left - width) / 2;
  const int y = area.top + (area.bottom - area.top - height) / 2;
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32ProgressWindow::show() {
  if (window_) ShowWindow(window_, SW_SHOW);
}

void Win32ProgressWindow::set_text(int control, const std::string& text) {
  if (window_) SetDlgItemTextA(window_, control, text.c_str());
}

void Win32ProgressWindow::hide_caret(int control) {
  if (HWND edit = item(control)) HideCaret(edit);
}

void Win32ProgressWindow::set_progress_range(int control, int low, int high) {
  if (HWND bar = item(control)) SendMessageA(bar, PBM_SETRANGE32, low, high);
}

// The bar is painted at once: during the write it is the only sign of
// progress, and no message loop would paint it later.
void Win32ProgressWindow::set_progress_position(int control, int position) {
  HWND bar = item(control);
  if (!bar) return;
  SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  UpdateWindow(bar);
}

void Win32ProgressWindow::paint_now() {
  if (!window_) return;
  RedrawWindow(window_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace devov::win32
