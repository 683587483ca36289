// The main dialog's view over the real controls.
#include "platform/win32/dialog_view.h"

#include <commctrl.h>

#include <map>
#include <utility>
#include <vector>

#include "resources/resource_ids.h"

namespace devov::win32 {
namespace {

// The queue's small images: 16 by 16 pixels, black marks the transparent
// parts, the list grows ten images at a time.
constexpr int kQueueImageSize = 16;
constexpr int kQueueImageGrowth = 10;
constexpr COLORREF kQueueImageMask = RGB(0, 0, 0);
// Long tips wrap at this width instead of running across the screen.
constexpr int kToolTipWidth = 300;
// Font heights are given in tenths of a point; 720 tenths make an inch.
constexpr int kTenthsPerInch = 720;

// Each distinct font is made once and kept for the life of the process:
// controls keep using a font after the dialog that set it has gone.
HFONT shared_font(const platform::FontSpec& wanted) {
  static std::map<std::pair<std::string, int>, HFONT> fonts;
  auto key = std::make_pair(wanted.face, wanted.tenths_of_point);
  if (auto it = fonts.find(key); it != fonts.end()) return it->second;
  HDC screen = GetDC(nullptr);
  const int height =
      -MulDiv(wanted.tenths_of_point, GetDeviceCaps(screen, LOGPIXELSY), kTenthsPerInch);
  ReleaseDC(nullptr, screen);
  HFONT font =
      CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, wanted.face.c_str());
  if (font) fonts.emplace(key, font);
  return font;
}

// The list-view calls take non-const text pointers though they only read.
char* writable(const std::string& text) { return const_cast<char*>(text.c_str()); }

}  // namespace

Win32DialogView::Win32DialogView(HWND dialog) : dialog_(dialog) {}

void Win32DialogView::set_caption(const std::string& caption) {
  SetWindowTextA(dialog_, caption.c_str());
}

void Win32DialogView::set_text(int control, const std::string& text) {
  SetDlgItemTextA(dialog_, control, text.c_str());
}

std::string Win32DialogView::text(int control) {
  HWND window = item(control);
  if (!window) return {};
  std::vector<char> buffer(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1);
  const int length =
      GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32DialogView::show(int control, bool visible) {
  if (HWND window = item(control)) ShowWindow(window, visible ? SW_SHOW : SW_HIDE);
}

// The control's own visibility, also while the dialog itself is still hidden.
bool Win32DialogView::is_visible(int control) {
  HWND window = item(control);
  return window && (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32DialogView::enable(int control, bool enabled) {
  if (HWND window = item(control)) EnableWindow(window, enabled ? TRUE : FALSE);
}

bool Win32DialogView::is_enabled(int control) {
  HWND window = item(control);
  return window && IsWindowEnabled(window);
}

void Win32DialogView::set_focus(int control) {
  if (HWND window = item(control)) SetFocus(window);
}

void Win32DialogView::set_status_color(std::uint32_t color) {
  status_color_ = static_cast<COLORREF>(color);
  if (HWND box = item(IDC_STATUS_BOX)) InvalidateRect(box, nullptr, TRUE);
}

void Win32DialogView::set_font(int control, const platform::FontSpec& font) {
  HWND window = item(control);
  if (!window) return;
  if (HFONT handle = shared_font(font))
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

void Win32DialogView::set_icon(int icon_resource) {
  icon_ = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon_resource));
  SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

HCURSOR Win32DialogView::cursor() const {
  return LoadCursorA(nullptr,
                     cursor_ == platform::CursorShape::Wait ? IDC_WAIT : IDC_ARROW);
}

// Shown at once as well when the mouse is over the dialog: during a long
// write no cursor request is handled.
void Win32DialogView::set_cursor(platform::CursorShape cursor) {
  cursor_ = cursor;
  POINT mouse;
  if (!GetCursorPos(&mouse)) return;
  HWND under = WindowFromPoint(mouse);
  if (under == dialog_ || IsChild(dialog_, under)) SetCursor(this->cursor());
}

void Win32DialogView::add_system_menu_item(int command, const std::string& text) {
  HMENU menu = GetSystemMenu(dialog_, FALSE);
  if (!menu) return;
  if (command == 0)
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  else
    AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command), text.c_str());
}

// One tool per child control, identified by its window; the tool tip asks the
// dialog for each text when it is about to show it.
void Win32DialogView::enable_tool_tips() {
  if (tool_tip_) return;
  tool_tip_ =
      CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_,
                      nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!tool_tip_) return;
  SendMessageA(tool_tip_, TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
  for (HWND child = GetWindow(dialog_, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(tool_tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageA(tool_tip_, TTM_ACTIVATE, TRUE, 0);
}

void Win32DialogView::accept_dropped_files(bool accept) {
  DragAcceptFiles(dialog_, accept ? TRUE : FALSE);
}

void Win32DialogView::repaint_now() {
  RedrawWindow(dialog_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32DialogView::set_progress_range(int control, int low, int high) {
  if (HWND bar = item(control)) SendMessageA(bar, PBM_SETRANGE32, low, high);
}

void Win32DialogView::set_progress_position(int control, int position) {
  if (HWND bar = item(control)) SendMessageA(bar, PBM_SETPOS, position, 0);
}

void Win32DialogView::set_image_list(int control, int bitmap_resource) {
  HWND list = item(control);
  if (!list) return;
  HIMAGELIST images = ImageList_Create(kQueueImageSize, kQueueImageSize,
                                       ILC_COLOR | ILC_MASK, 0, kQueueImageGrowth);
  if (!images) return;
  HBITMAP strip =
      LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmap_resource));
  if (strip) {
    ImageList_AddMasked(images, strip, kQueueImageMask);
    DeleteObject(strip);
  }
  // The list view owns the image list from here and destroys it with itself.
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void Win32DialogView::add_list_column(int control, int column, const std::string& heading,
                                      int width) {
  HWND list = item(control);
  if (!list) return;
  LVCOLUMNA entry{};
  entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  entry.fmt = LVCFMT_LEFT;
  entry.cx = width;
  entry.pszText = writable(heading);
  entry.iSubItem = column;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&entry));
}

int Win32DialogView::insert_row(int control, int index, const std::string& text,
                                int image, std::intptr_t data) {
  HWND list = item(control);
  if (!list) return -1;
  const int count = row_count(control);
  LVITEMA row{};
  row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  row.iItem = (index < 0 || index > count) ? count : index;
  row.pszText = writable(text);
  row.iImage = image;
  row.lParam = data;
  return static_cast<int>(
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

void Win32DialogView::set_row_text(int control, int row, int column,
                                   const std::string& text) {
  HWND list = item(control);
  if (!list) return;
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = writable(text);
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&cell));
}

void Win32DialogView::remove_row(int control, int row) {
  if (HWND list = item(control))
    SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

int Win32DialogView::row_count(int control) {
  HWND list = item(control);
  return list ? static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

// Called from inside initialisation too: the dialog then ends without ever
// being shown, as the template is not visible by itself.
void Win32DialogView::end_dialog(int outcome) { EndDialog(dialog_, outcome); }

void Win32DialogView::show_dialog(bool visible) {
  ShowWindow(dialog_, visible ? SW_SHOW : SW_HIDE);
}

void Win32DialogView::enable_dialog(bool enabled) {
  EnableWindow(dialog_, enabled ? TRUE : FALSE);
}

// The list box answers LB_ERR (-1) and LB_ERRSPACE (-2) for what it cannot
// do; the view answers -1 for both.
int Win32DialogView::add_list_string(int control, const std::string& text) {
  HWND list = item(control);
  if (!list) return -1;
  const LRESULT index =
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return index < 0 ? -1 : static_cast<int>(index);
}

void Win32DialogView::set_list_item_data(int control, int index, std::intptr_t data) {
  if (index < 0) return;
  if (HWND list = item(control))
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

// Checked against the count first: LB_ERR (-1) is also a datum an entry may
// hold.
std::intptr_t Win32DialogView::list_item_data(int control, int index) {
  HWND list = item(control);
  if (!list || index < 0 || index >= list_count(control)) return -1;
  return static_cast<std::intptr_t>(
      SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

std::string Win32DialogView::list_text(int control, int index) {
  HWND list = item(control);
  if (!list || index < 0) return {};
  const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  const LRESULT copied = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(buffer.data()));
  if (copied < 0) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(copied));
}

void Win32DialogView::delete_list_string(int control, int index) {
  if (index < 0) return;
  if (HWND list = item(control))
    SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32DialogView::clear_list(int control) {
  if (HWND list = item(control)) SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

int Win32DialogView::list_count(int control) {
  HWND list = item(control);
  if (!list) return 0;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  return count < 0 ? 0 : static_cast<int>(count);
}

int Win32DialogView::list_selection(int control) {
  HWND list = item(control);
  if (!list) return -1;
  const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : static_cast<int>(index);
}

// Selecting from the program sends no notification: the dialog hears of a
// change of selection only when the user makes it.
void Win32DialogView::select_list_item(int control, int index) {
  if (HWND list = item(control))
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index < 0 ? -1 : index), 0);
}

}  // namespace devov::win32
