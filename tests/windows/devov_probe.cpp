// devov-probe: looks at and works the running 6271DEVOV main dialog from
// another process, for the Wine tests. One command per run; prints what it
// read on standard output and exits 0, or explains on standard error and
// exits 1.
//
//   wait-shown [ms]          wait until the main dialog is visible
//   wait-gone [ms]           wait until no window has the main caption
//   text ID                  a control's text, \r and \n written as escapes
//   state ID                 "shown|hidden enabled|disabled"
//   click ID                 press a visible, enabled button
//   close                    ask the main dialog to close, as its frame would
//   box CAPTION [ms]         wait for a message box, print its text, press OK
//   rows                     the rows of list view 1040, columns joined by "|"
//   copydata COUNT KIND ...  send one hand-over message: "text T" sends T with
//                            its zero; "bytes T N" sends the first N bytes of T,
//                            unterminated; "null N" sends no data and a count N
//   tooltip ID               the tool tip's text for a control
//   template                 compare the dialog's controls with template 102
//   rect [ID]                screen rectangle "x y w h" of a control or the dialog
//   accepts-files            "yes" or "no": WS_EX_ACCEPTFILES of the dialog
//   command ID               send the dialog a button's command, hidden buttons
//                            too, and return once it has been handled
//   list ID                  the entries of a list box, "data|text" each
//   select ID INDEX          select a list-box entry as a click would, with
//                            the change notification; return once handled
//   selection ID             the index of the selected list-box entry, or -1
//   progress-template        compare the progress window with template 130
//   volatile-dword KEY NAME VALUE
//                            set a dword value in HKEY_LOCAL_MACHINE, making
//                            the keys of the path that are missing volatile,
//                            as keys below volatile ones must be
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/main_dialog_template.h"
#include "resources/resource_ids.h"

namespace {

constexpr const char* kCaption = "Velk 6271 Wireless USB Update";
constexpr DWORD kDefaultWaitMs = 20000;
constexpr UINT kSendTimeoutMs = 5000;
// A command may open adapters and read them before it returns.
constexpr UINT kCommandTimeoutMs = 30000;
constexpr int kTextBuffer = 1024;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "devov-probe: %s\n", why.c_str());
  std::exit(1);
}

int number(const char* text) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 0);
  if (!end || *end != '\0') fail(std::string("not a number: ") + text);
  return static_cast<int>(value);
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\\')
      out += "\\\\";
    else
      out += c;
  }
  return out;
}

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
             UINT timeout_ms = kSendTimeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, timeout_ms,
                           &result))
    fail("no answer to message " + std::to_string(message));
  return static_cast<LRESULT>(result);
}

// A top-level window with exactly this caption (and class, when given).
HWND find_top_level(const char* caption, const char* class_name, bool visible_only) {
  for (HWND window = FindWindowExA(nullptr, nullptr, class_name, caption); window;
       window = FindWindowExA(nullptr, window, class_name, caption)) {
    char text[kTextBuffer];
    GetWindowTextA(window, text, sizeof(text));
    if (std::strcmp(text, caption) != 0) continue;
    if (visible_only && !IsWindowVisible(window)) continue;
    return window;
  }
  return nullptr;
}

HWND wait_for(const char* caption, const char* class_name, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = find_top_level(caption, class_name, true)) return window;
    if (GetTickCount() - start > timeout_ms)
      fail(std::string("no visible window \"") + caption + "\"");
    Sleep(100);
  }
}

HWND main_dialog() {
  HWND dialog = find_top_level(kCaption, nullptr, false);
  if (!dialog) fail("the main dialog is not there");
  return dialog;
}

HWND control(HWND dialog, int id) {
  HWND window = GetDlgItem(dialog, id);
  if (!window) fail("no control " + std::to_string(id));
  return window;
}

std::string window_text(HWND window) {
  std::vector<char> buffer(kTextBuffer);
  const LRESULT length =
      send(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// Memory inside the dialog's process, for the messages whose parameters
// point at structures the system does not carry across processes.
class RemoteMemory {
 public:
  RemoteMemory(HWND window, std::size_t size) : size_(size) {
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                           FALSE, process_id);
    if (!process_) fail("cannot open the dialog's process");
    base_ = static_cast<char*>(
        VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!base_) fail("cannot allocate memory in the dialog's process");
  }
  ~RemoteMemory() {
    VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  char* at(std::size_t offset) const { return base_ + offset; }
  void write(std::size_t offset, const void* data, std::size_t size) {
    if (!WriteProcessMemory(process_, base_ + offset, data, size, nullptr))
      fail("cannot write the dialog's memory");
  }
  void read(std::size_t offset, void* data, std::size_t size) {
    if (!ReadProcessMemory(process_, base_ + offset, data, size, nullptr))
      fail("cannot read the dialog's memory");
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
  std::size_t size_;
};

int print_rows() {
  HWND list = control(main_dialog(), IDC_FILE_QUEUE);
  HWND header = reinterpret_cast<HWND>(send(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(send(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
  const int rows = static_cast<int>(send(list, LVM_GETITEMCOUNT, 0, 0));
  RemoteMemory memory(list, sizeof(LVITEMA) + kTextBuffer);
  for (int row = 0; row < rows; ++row) {
    std::string line;
    for (int column = 0; column < columns; ++column) {
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iSubItem = column;
      item.pszText = memory.at(sizeof(LVITEMA));
      item.cchTextMax = kTextBuffer;
      memory.write(0, &item, sizeof(item));
      const LRESULT length =
          send(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(memory.at(0)));
      std::vector<char> text(kTextBuffer);
      memory.read(sizeof(LVITEMA), text.data(), text.size());
      if (column > 0) line += "|";
      line += std::string(text.data(), static_cast<std::size_t>(length));
    }
    std::printf("%s\n", escaped(line).c_str());
  }
  return 0;
}

int print_tooltip(int id) {
  HWND dialog = main_dialog();
  HWND target = control(dialog, id);
  HWND tip = nullptr;
  for (HWND window = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); window;
       window = FindWindowExA(nullptr, window, TOOLTIPS_CLASSA, nullptr)) {
    if (GetWindow(window, GW_OWNER) == dialog) tip = window;
  }
  if (!tip) fail("the dialog has no tool tip");
  RemoteMemory memory(tip, sizeof(TTTOOLINFOW) + kTextBuffer * sizeof(wchar_t));
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = dialog;
  tool.uId = reinterpret_cast<UINT_PTR>(target);
  tool.lpszText = reinterpret_cast<wchar_t*>(memory.at(sizeof(TTTOOLINFOW)));
  const wchar_t empty = L'\0';
  memory.write(0, &tool, sizeof(tool));
  memory.write(sizeof(TTTOOLINFOW), &empty, sizeof(empty));
  send(tip, TTM_GETTEXTW, kTextBuffer, reinterpret_cast<LPARAM>(memory.at(0)));
  std::vector<wchar_t> text(kTextBuffer);
  memory.read(sizeof(TTTOOLINFOW), text.data(), text.size() * sizeof(wchar_t));
  text.back() = L'\0';
  char narrow[kTextBuffer * 2];
  WideCharToMultiByte(CP_ACP, 0, text.data(), -1, narrow, sizeof(narrow), nullptr,
                      nullptr);
  std::printf("%s\n", escaped(narrow).c_str());
  return 0;
}

int send_copy_data(int argc, char** argv) {
  if (argc < 4) fail("copydata COUNT text T | bytes T N | null N");
  const int count = number(argv[2]);
  const std::string kind = argv[3];
  COPYDATASTRUCT data{};
  data.dwData = static_cast<ULONG_PTR>(count);
  std::string text;
  if (kind == "text" && argc == 5) {
    text = argv[4];
    data.lpData = text.data();
    data.cbData = static_cast<DWORD>(text.size() + 1);
  } else if (kind == "bytes" && argc == 6) {
    text = argv[4];
    data.lpData = text.data();
    data.cbData = static_cast<DWORD>(number(argv[5]));
    if (data.cbData > text.size()) fail("more bytes than the text has");
  } else if (kind == "null" && argc == 5) {
    data.lpData = nullptr;
    data.cbData = static_cast<DWORD>(number(argv[4]));
  } else {
    fail("copydata COUNT text T | bytes T N | null N");
  }
  const LRESULT handled =
      send(main_dialog(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  std::printf("%ld\n", static_cast<long>(handled));
  return 0;
}

const char* class_of(devov::resources::ControlKind kind) {
  using devov::resources::ControlKind;
  switch (kind) {
    case ControlKind::PushButton:
    case ControlKind::GroupBox:
      return "Button";
    case ControlKind::Edit:
      return "Edit";
    case ControlKind::Label:
    case ControlKind::Icon:
      return "Static";
    case ControlKind::ListBox:
      return "ListBox";
    case ControlKind::ListView:
      return "SysListView32";
    case ControlKind::ProgressBar:
      return "msctls_progress32";
  }
  return "?";
}

// Every control of the shared list, in its order, with its id, class, style
// bits, start-up visibility and state, caption text and place: what the
// resource compiler made of the list is what the program shows.
int check_template() {
  using devov::resources::ControlKind;
  HWND dialog = main_dialog();
  RECT client;
  GetClientRect(dialog, &client);
  // Pixels per dialog unit, from the dialog's own size in units.
  const double unit_x =
      client.right / static_cast<double>(devov::resources::kMainDialogWidth);
  const double unit_y =
      client.bottom / static_cast<double>(devov::resources::kMainDialogHeight);
  std::vector<std::string> faults;
  HWND child = GetWindow(dialog, GW_CHILD);
  int index = 0;
  for (const auto& expected : devov::resources::main_dialog_controls()) {
    const std::string where = "control #" + std::to_string(index++) + " (id " +
                              std::to_string(expected.id) + "): ";
    if (!child) {
      faults.push_back(where + "missing");
      continue;
    }
    const int id = static_cast<int>(GetWindowLongA(child, GWL_ID));
    if (id != expected.id && !(expected.id == IDC_LABEL && id == 0xFFFF))
      faults.push_back(where + "id is " + std::to_string(id));
    char class_name[64];
    GetClassNameA(child, class_name, sizeof(class_name));
    if (lstrcmpiA(class_name, class_of(expected.kind)) != 0)
      faults.push_back(where + "class is " + class_name);
    DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    // A dialog of the 3-D look draws a bordered control with a sunken edge
    // instead of its flat border, a progress bar with a static edge.
    if (GetWindowLongA(child, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))
      style |= WS_BORDER;
    DWORD wanted = expected.kind == ControlKind::Icon ? SS_ICON : expected.style;
    // An empty list box takes its scroll bar away until lines need it; the
    // progress bar draws its own frame in place of a border.
    if (expected.kind == ControlKind::ListBox) wanted &= ~static_cast<DWORD>(WS_VSCROLL);
    if (expected.kind == ControlKind::ProgressBar)
      wanted &= ~static_cast<DWORD>(WS_BORDER);
    if ((style & wanted) != wanted) {
      char bits[16];
      std::snprintf(bits, sizeof(bits), "%#lx",
                    static_cast<unsigned long>(wanted & ~style));
      faults.push_back(where + "style bits missing: " + bits);
    }
    if ((expected.kind == ControlKind::Label || expected.kind == ControlKind::Icon) &&
        (style & SS_TYPEMASK) != (wanted & SS_TYPEMASK))
      faults.push_back(where + "wrong static type");
    if (((style & WS_VISIBLE) != 0) != expected.shown)
      faults.push_back(where + (expected.shown ? "hidden" : "shown"));
    if (((style & WS_DISABLED) == 0) != expected.enabled)
      faults.push_back(where + (expected.enabled ? "disabled" : "enabled"));
    if (expected.kind == ControlKind::PushButton ||
        expected.kind == ControlKind::GroupBox || expected.kind == ControlKind::Label) {
      const std::string text = window_text(child);
      if (text != expected.text) faults.push_back(where + "text is \"" + text + "\"");
    }
    if (expected.kind != ControlKind::Icon) {  // icons take the icon's size
      RECT box;
      GetWindowRect(child, &box);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
      const double place[4] = {expected.x * unit_x, expected.y * unit_y,
                               expected.width * unit_x, expected.height * unit_y};
      const double actual[4] = {static_cast<double>(box.left),
                                static_cast<double>(box.top),
                                static_cast<double>(box.right - box.left),
                                static_cast<double>(box.bottom - box.top)};
      // A list box keeps to a whole number of lines in height.
      const int checked = expected.kind == ControlKind::ListBox ? 3 : 4;
      for (int i = 0; i < checked; ++i) {
        if (std::fabs(place[i] - actual[i]) > 2.5) {
          faults.push_back(where + "placed at " + std::to_string(box.left) + "," +
                           std::to_string(box.top) + " size " +
                           std::to_string(box.right - box.left) + "x" +
                           std::to_string(box.bottom - box.top));
          break;
        }
      }
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  for (; child; child = GetWindow(child, GW_HWNDNEXT))
    faults.push_back("a control that the list does not have: id " +
                     std::to_string(GetWindowLongA(child, GWL_ID)));
  for (const auto& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
  if (!faults.empty()) return 1;
  std::printf("template matches: %d controls\n", index);
  return 0;
}

int print_list(int id) {
  HWND list = control(main_dialog(), id);
  const int count = static_cast<int>(send(list, LB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    const LRESULT data = send(list, LB_GETITEMDATA, index, 0);
    // Asked in the list box's own character set: Wine carries the text of
    // LB_GETTEXT across processes, but an ANSI request for it comes back
    // as wide characters.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &length) ||
        static_cast<LRESULT>(length) < 0)
      fail("no text for entry " + std::to_string(index));
    std::vector<wchar_t> wide(length + 1);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
      fail("no text for entry " + std::to_string(index));
    wide.back() = L'\0';
    std::vector<char> text(wide.size() * 2 + 1);
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()),
                        nullptr, nullptr);
    std::printf("%ld|%s\n", static_cast<long>(data), escaped(text.data()).c_str());
  }
  return 0;
}

// The list box tells its dialog of a change only when the user makes it.
int select_entry(int id, int index) {
  HWND dialog = main_dialog();
  HWND list = control(dialog, id);
  if (send(list, LB_SETCURSEL, index, 0) != index) fail("no entry " + std::to_string(index));
  send(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list),
       kCommandTimeoutMs);
  return 0;
}

// The progress window: a top-level dialog with the firmware line, in any
// process.
BOOL CALLBACK find_progress_window(HWND window, LPARAM found) {
  char class_name[16];
  GetClassNameA(window, class_name, sizeof(class_name));
  if (std::strcmp(class_name, "#32770") != 0 || !GetDlgItem(window, 1058)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND progress_window() {
  HWND found = nullptr;
  EnumWindows(find_progress_window, reinterpret_cast<LPARAM>(&found));
  if (!found) fail("there is no progress window");
  return found;
}

// Template 130 as the window shows it, read without sending the window a
// message: its thread is busy writing the flash. A dialog unit is measured
// on the main dialog, which has the same font. The progress bar's border is
// not looked at: the bar draws its own frame and takes the style bit away.
int check_progress_template() {
  struct Expected {
    int id;
    const char* class_name;
    DWORD style;  // bits that must be set
    bool edit;
    const char* text;  // checked when not null
    int x, y, width, height;
  };
  const Expected controls[] = {
      {1033, "Edit", ES_AUTOHSCROLL | ES_READONLY, true, nullptr, 7, 7, 232, 12},
      {1035, "msctls_progress32", PBS_SMOOTH, false, "Progress1", 7, 50, 232, 16},
      {1057, "Edit", ES_AUTOHSCROLL | ES_READONLY, true, nullptr, 7, 19, 232, 12},
      {1058, "Edit", ES_AUTOHSCROLL | ES_READONLY, true, nullptr, 7, 30, 232, 12},
  };
  constexpr int kWidth = 246, kHeight = 73;
  HWND main = main_dialog();
  RECT main_client;
  GetClientRect(main, &main_client);
  const double unit_x =
      main_client.right / static_cast<double>(devov::resources::kMainDialogWidth);
  const double unit_y =
      main_client.bottom / static_cast<double>(devov::resources::kMainDialogHeight);
  HWND window = progress_window();
  std::vector<std::string> faults;
  const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
  if (!(style & WS_POPUP)) faults.push_back("the window is not a pop-up");
  if ((style & WS_CAPTION) == WS_CAPTION) faults.push_back("the window has a caption");
  if (!(ex_style & WS_EX_DLGMODALFRAME)) faults.push_back("the window has no modal frame");
  if (GetWindow(window, GW_OWNER)) faults.push_back("the window has an owner");
  RECT client;
  GetClientRect(window, &client);
  if (std::fabs(client.right - kWidth * unit_x) > 2.5 ||
      std::fabs(client.bottom - kHeight * unit_y) > 2.5)
    faults.push_back("the window's inside is " + std::to_string(client.right) + "x" +
                     std::to_string(client.bottom));
  HWND child = GetWindow(window, GW_CHILD);
  int index = 0;
  for (const auto& expected : controls) {
    const std::string where = "control #" + std::to_string(index++) + " (id " +
                              std::to_string(expected.id) + "): ";
    if (!child) {
      faults.push_back(where + "missing");
      continue;
    }
    if (GetDlgCtrlID(child) != expected.id)
      faults.push_back(where + "id is " + std::to_string(GetDlgCtrlID(child)));
    char class_name[64];
    GetClassNameA(child, class_name, sizeof(class_name));
    if (lstrcmpiA(class_name, expected.class_name) != 0)
      faults.push_back(where + "class is " + class_name);
    const DWORD child_style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    if ((child_style & expected.style) != expected.style)
      faults.push_back(where + "style bits missing");
    if (expected.edit &&
        ((child_style & (WS_BORDER | WS_TABSTOP)) ||
         (GetWindowLongA(child, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE))))
      faults.push_back(where + "a border or a tab stop");
    if (!(child_style & WS_VISIBLE)) faults.push_back(where + "hidden");
    if (expected.text) {
      char text[kTextBuffer];
      GetWindowTextA(child, text, sizeof(text));
      if (std::strcmp(text, expected.text) != 0)
        faults.push_back(where + "text is \"" + text + "\"");
    }
    RECT box;
    GetWindowRect(child, &box);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
    const double place[4] = {expected.x * unit_x, expected.y * unit_y,
                             expected.width * unit_x, expected.height * unit_y};
    const double actual[4] = {static_cast<double>(box.left), static_cast<double>(box.top),
                              static_cast<double>(box.right - box.left),
                              static_cast<double>(box.bottom - box.top)};
    for (int i = 0; i < 4; ++i) {
      if (std::fabs(place[i] - actual[i]) > 2.5) {
        faults.push_back(where + "placed at " + std::to_string(box.left) + "," +
                         std::to_string(box.top) + " size " +
                         std::to_string(box.right - box.left) + "x" +
                         std::to_string(box.bottom - box.top));
        break;
      }
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  for (; child; child = GetWindow(child, GW_HWNDNEXT))
    faults.push_back("a control that template 130 does not have: id " +
                     std::to_string(GetDlgCtrlID(child)));
  for (const auto& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
  if (!faults.empty()) return 1;
  std::printf("template 130 matches: %d controls\n", index);
  return 0;
}

int set_volatile_dword(const std::string& path, const char* name, DWORD value) {
  HKEY key = HKEY_LOCAL_MACHINE;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    HKEY next = nullptr;
    if (RegCreateKeyExA(key, part.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &next, nullptr) != ERROR_SUCCESS)
      fail("cannot make the key " + part);
    if (key != HKEY_LOCAL_MACHINE) RegCloseKey(key);
    key = next;
  }
  const LONG written = RegSetValueExA(key, name, 0, REG_DWORD,
                                      reinterpret_cast<const BYTE*>(&value), sizeof(value));
  if (key != HKEY_LOCAL_MACHINE) RegCloseKey(key);
  if (written != ERROR_SUCCESS) fail(std::string("cannot set ") + name);
  return 0;
}

int press_message_box(const char* caption, DWORD timeout_ms) {
  HWND box = wait_for(caption, "#32770", timeout_ms);
  // The message text is the box's static with id 0xFFFF.
  HWND text = GetDlgItem(box, 0xFFFF);
  std::printf("%s\n", escaped(text ? window_text(text) : std::string()).c_str());
  std::fflush(stdout);
  HWND ok = GetDlgItem(box, IDOK);
  if (!ok) fail("the box has no OK button");
  PostMessageA(ok, BM_CLICK, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 2) fail("no command");
  const std::string command = argv[1];
  auto wait_ms = [&](int at) {
    return argc > at ? static_cast<DWORD>(number(argv[at])) : kDefaultWaitMs;
  };
  if (command == "wait-shown") {
    wait_for(kCaption, nullptr, wait_ms(2));
    return 0;
  }
  if (command == "wait-gone") {
    const DWORD start = GetTickCount();
    while (find_top_level(kCaption, nullptr, false)) {
      if (GetTickCount() - start > wait_ms(2)) fail("the main dialog is still there");
      Sleep(100);
    }
    return 0;
  }
  if (command == "text" && argc == 3) {
    std::printf("%s\n",
                escaped(window_text(control(main_dialog(), number(argv[2])))).c_str());
    return 0;
  }
  if (command == "state" && argc == 3) {
    const DWORD style = static_cast<DWORD>(
        GetWindowLongA(control(main_dialog(), number(argv[2])), GWL_STYLE));
    std::printf("%s %s\n", (style & WS_VISIBLE) ? "shown" : "hidden",
                (style & WS_DISABLED) ? "disabled" : "enabled");
    return 0;
  }
  if (command == "click" && argc == 3) {
    HWND button = control(main_dialog(), number(argv[2]));
    if (!IsWindowVisible(button) || !IsWindowEnabled(button))
      fail("the button cannot be pressed");
    PostMessageA(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "close") {
    PostMessageA(main_dialog(), WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == "box" && argc >= 3) return press_message_box(argv[2], wait_ms(3));
  if (command == "rows") return print_rows();
  if (command == "copydata") return send_copy_data(argc, argv);
  if (command == "tooltip" && argc == 3) return print_tooltip(number(argv[2]));
  if (command == "template") return check_template();
  if (command == "rect") {
    HWND dialog = main_dialog();
    HWND window = argc > 2 ? control(dialog, number(argv[2])) : dialog;
    RECT box;
    GetWindowRect(window, &box);
    std::printf("%ld %ld %ld %ld\n", box.left, box.top, box.right - box.left,
                box.bottom - box.top);
    return 0;
  }
  if (command == "accepts-files") {
    const LONG ex_style = GetWindowLongA(main_dialog(), GWL_EXSTYLE);
    std::printf("%s\n", (ex_style & WS_EX_ACCEPTFILES) ? "yes" : "no");
    return 0;
  }
  if (command == "command" && argc == 3) {
    HWND dialog = main_dialog();
    const int id = number(argv[2]);
    send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
         reinterpret_cast<LPARAM>(control(dialog, id)), kCommandTimeoutMs);
    return 0;
  }
  if (command == "list" && argc == 3) return print_list(number(argv[2]));
  if (command == "select" && argc == 4) return select_entry(number(argv[2]), number(argv[3]));
  if (command == "selection" && argc == 3) {
    HWND list = control(main_dialog(), number(argv[2]));
    std::printf("%ld\n", static_cast<long>(send(list, LB_GETCURSEL, 0, 0)));
    return 0;
  }
  if (command == "progress-template") return check_progress_template();
  if (command == "volatile-dword" && argc == 5)
    return set_volatile_dword(argv[2], argv[3],
                              static_cast<DWORD>(std::strtoul(argv[4], nullptr, 0)));
  fail("unknown command or arguments: " + command);
}
