// The main dialog's view over the real window: every DialogView call maps
// onto the control of template 102 with that id.
#pragma once

#include <windows.h>

#include "platform/dialog.h"

namespace devov::win32 {

class Win32DialogView : public platform::DialogView {
 public:
  explicit Win32DialogView(HWND dialog);
  Win32DialogView(const Win32DialogView&) = delete;
  Win32DialogView& operator=(const Win32DialogView&) = delete;

  void set_caption(const std::string& caption) override;
  void set_text(int control, const std::string& text) override;
  std::string text(int control) override;
  void show(int control, bool visible) override;
  bool is_visible(int control) override;
  void enable(int control, bool enabled) override;
  bool is_enabled(int control) override;
  void set_focus(int control) override;
  void set_status_color(std::uint32_t color) override;
  void set_font(int control, const platform::FontSpec& font) override;
  void set_icon(int icon_resource) override;
  void set_cursor(platform::CursorShape cursor) override;
  void add_system_menu_item(int command, const std::string& text) override;
  void enable_tool_tips() override;
  void accept_dropped_files(bool accept) override;
  void repaint_now() override;
  void set_progress_range(int control, int low, int high) override;
  void set_progress_position(int control, int position) override;
  void set_image_list(int control, int bitmap_resource) override;
  void add_list_column(int control, int column, const std::string& heading,
                       int width) override;
  int insert_row(int control, int index, const std::string& text, int image,
                 std::intptr_t data) override;
  void set_row_text(int control, int row, int column, const std::string& text) override;
  void remove_row(int control, int row) override;
  int row_count(int control) override;
  void end_dialog(int outcome) override;
  void show_dialog(bool visible) override;
  void enable_dialog(bool enabled) override;
  int add_list_string(int control, const std::string& text) override;
  void set_list_item_data(int control, int index, std::intptr_t data) override;
  std::intptr_t list_item_data(int control, int index) override;
  std::string list_text(int control, int index) override;
  void delete_list_string(int control, int index) override;
  void clear_list(int control) override;
  int list_count(int control) override;
  int list_selection(int control) override;
  void select_list_item(int control, int index) override;

  // Read by the dialog procedure when it paints and answers the system.
  COLORREF status_color() const { return status_color_; }
  HCURSOR cursor() const;
  HICON icon() const { return icon_; }

 private:
  HWND item(int control) const { return GetDlgItem(dialog_, control); }

  HWND dialog_;
  COLORREF status_color_ = RGB(0, 0, 0);
  platform::CursorShape cursor_ = platform::CursorShape::Arrow;
  HICON icon_ = nullptr;
  HWND tool_tip_ = nullptr;
};

}  // namespace devov::win32
