// The main dialog's procedure: initialisation, commands, hand-over, system
// commands, text colours of the status and caution boxes, cursor, tool tips.
#include "platform/win32/dialog_host.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <memory>

#include "platform/win32/dialog_view.h"
#include "resources/resource_ids.h"

namespace devov::win32 {
namespace {

// System commands compared as whole values: the About box, and the
// registration of the ".hex" and ".pda" file types.
constexpr WPARAM kSysCommandAbout = IDM_ABOUT;
constexpr WPARAM kSysCommandRegisterHex = 17;
constexpr WPARAM kSysCommandRegisterPda = 18;
constexpr COLORREF kCautionColor = RGB(255, 0, 0);
// Tool-tip texts are string resources of at most 511 characters.
constexpr int kTipLength = 512;

// What one run of the dialog needs besides its window.
struct DialogContext {
  Win32DialogHost* host = nullptr;
  platform::DialogHandler* handler = nullptr;
  std::unique_ptr<Win32DialogView> view;
  // Background of the status and caution boxes; the boxes paint with it for
  // as long as the dialog exists.
  HBRUSH box_brush = nullptr;
  // The tool tip reads the text after the request has been answered.
  char tip[kTipLength] = {};
  wchar_t tip_wide[kTipLength] = {};
};

DialogContext* context_of(HWND dialog) {
  return reinterpret_cast<DialogContext*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

INT_PTR answer(HWND dialog, LRESULT result) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

// The control a tool-tip request is about, or 0 when the tool is not
// identified by its window.
int tip_control(UINT flags, UINT_PTR tool) {
  if (!(flags & TTF_IDISHWND)) return 0;
  return GetDlgCtrlID(reinterpret_cast<HWND>(tool));
}

// Answers a tool tip's request for text with the string resource numbered
// like the control; a control without one gets an empty tip.
bool on_tip_text(DialogContext& context, NMHDR* header) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (header->code == TTN_GETDISPINFOA) {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    const int control = tip_control(info->uFlags, info->hdr.idFrom);
    if (control == 0) return false;
    if (LoadStringA(module, static_cast<UINT>(control), context.tip, kTipLength) <= 0)
      context.tip[0] = '\0';
    info->hinst = nullptr;
    info->lpszText = context.tip;
    return true;
  }
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const int control = tip_control(info->uFlags, info->hdr.idFrom);
    if (control == 0) return false;
    if (LoadStringW(module, static_cast<UINT>(control), context.tip_wide, kTipLength) <=
        0)
      context.tip_wide[0] = L'\0';
    info->hinst = nullptr;
    info->lpszText = context.tip_wide;
    return true;
  }
  return false;
}

// The status box in the colour last set, the caution box always red, both
// on the scroll-bar colour; every other control as the system draws it.
INT_PTR on_static_color(DialogContext& context, HDC dc, HWND control) {
  const int id = GetDlgCtrlID(control);
  if (id != IDC_CAUTION_BOX && id != IDC_STATUS_BOX) return FALSE;
  const COLORREF background = GetSysColor(COLOR_SCROLLBAR);
  if (!context.box_brush) context.box_brush = CreateSolidBrush(background);
  SetTextColor(dc, id == IDC_CAUTION_BOX ? kCautionColor : context.view->status_color());
  // The text cells take the brush's colour too, so a box is one even colour.
  SetBkColor(dc, background);
  return reinterpret_cast<INT_PTR>(context.box_brush);
}

// The dialog cannot be minimised from its caption, but the system may still
// do it; it then shows its icon in the middle of what is left.
bool paint_minimised(DialogContext& context, HWND dialog) {
  if (!IsIconic(dialog) || !context.view->icon()) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(dialog, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, context.view->icon());
  EndPaint(dialog, &paint);
  return true;
}

INT_PTR on_command(DialogContext& context, WPARAM wparam, LPARAM lparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  // Menus and keys send no control window; buttons send BN_CLICKED.
  const bool command = lparam == 0 || code == BN_CLICKED;
  if (id == IDCANCEL || id == IDC_CANCEL) {
    if (command) context.handler->on_cancel();
  } else if (command) {
    context.handler->on_command(id);
  } else if (id == IDC_ADAPTER_LIST && code == LBN_SELCHANGE) {
    context.handler->on_command(id);
  }
  return TRUE;
}

INT_PTR CALLBACK main_dialog_proc(HWND dialog, UINT message, WPARAM wparam,
                                  LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* context = reinterpret_cast<DialogContext*>(lparam);
    SetWindowLongPtrA(dialog, GWLP_USERDATA, lparam);
    context->host->set_main_dialog(dialog);
    context->view = std::make_unique<Win32DialogView>(dialog);
    context->handler->on_init(*context->view);
    return TRUE;
  }
  DialogContext* context = context_of(dialog);
  if (!context || !context->view) return FALSE;

  switch (message) {
    case WM_COMMAND:
      return on_command(*context, wparam, lparam);
    case WM_SYSCOMMAND:
      if (wparam == kSysCommandAbout || wparam == kSysCommandRegisterHex ||
          wparam == kSysCommandRegisterPda) {
        context->handler->on_system_command(static_cast<int>(wparam));
        return TRUE;
      }
      return FALSE;
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
      context->handler->on_copy_data(data ? copy_data_text(data->lpData, data->cbData)
                                          : std::string());
      return answer(dialog, TRUE);
    }
    case WM_CTLCOLORSTATIC:
      return on_static_color(*context, reinterpret_cast<HDC>(wparam),
                             reinterpret_cast<HWND>(lparam));
    case WM_SETCURSOR:
      SetCursor(context->view->cursor());
      return answer(dialog, TRUE);
    case WM_NOTIFY:
      return on_tip_text(*context, reinterpret_cast<NMHDR*>(lparam)) ? TRUE : FALSE;
    case WM_DROPFILES:
      // Dropped files are switched off at initialisation; a drop that still
      // arrives is released unread.
      DragFinish(reinterpret_cast<HDROP>(wparam));
      return TRUE;
    case WM_PAINT:
      return paint_minimised(*context, dialog) ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(context->view->icon());
    default:
      return FALSE;
  }
}

void init_common_controls() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof(classes);
  classes.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);
}

}  // namespace

std::string copy_data_text(const void* data, DWORD size) {
  if (!data || size == 0) return {};
  const char* text = static_cast<const char*>(data);
  const void* end = std::memchr(text, '\0', size);
  return std::string(text, end ? static_cast<const char*>(end) - text : size);
}

int Win32DialogHost::run_main_dialog(platform::DialogHandler& handler) {
  init_common_controls();
  DialogContext context;
  context.host = this;
  context.handler = &handler;
  const INT_PTR outcome =
      DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr,
                      main_dialog_proc, reinterpret_cast<LPARAM>(&context));
  dialog_ = nullptr;
  if (context.box_brush) DeleteObject(context.box_brush);
  return outcome == -1 ? -1 : static_cast<int>(outcome);
}

}  // namespace devov::win32
