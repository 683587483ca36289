// A main-dialog view that keeps the state of every control of template 102 in
// memory. The POSIX terminal view draws from it; tests assert on it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "resources/main_dialog_template.h"

namespace devov::platform {

struct ListColumn {
  std::string heading;
  int width = 0;
};

struct ListRow {
  std::vector<std::string> columns;
  int image = 0;
  std::intptr_t data = 0;
};

struct ControlState {
  const resources::ControlTemplate* control = nullptr;
  std::string text;
  bool visible = false;
  bool enabled = true;
  std::optional<FontSpec> font;
  int progress_low = 0, progress_high = 100, progress_position = 0;
  int image_list = 0;
  std::vector<ListColumn> columns;
  // The rows of a list view, or the entries of a list box (one column each).
  std::vector<ListRow> rows;
  // The selected entry of a list box, or -1.
  int selection = -1;
};

class ViewState : public DialogView {
 public:
  ViewState();

  void set_caption(const std::string& caption) override;
  void set_text(int control, const std::string& text) override;
  std::string text(int control) override;
  void show(int control, bool visible) override;
  bool is_visible(int control) override;
  void enable(int control, bool enabled) override;
  bool is_enabled(int control) override;
  void set_focus(int control) override;
  void set_status_color(std::uint32_t color) override;
  void set_font(int control, const FontSpec& font) override;
  void set_icon(int icon_resource) override;
  void set_cursor(CursorShape cursor) override;
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
  void set_row_text(int control, int row, int column,
                    const std::string& text) override;
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

  // Read back by the views and the tests.
  const std::string& caption() const { return caption_; }
  std::uint32_t status_color() const { return status_color_; }
  int icon() const { return icon_; }
  CursorShape cursor() const { return cursor_; }
  int focus() const { return focus_; }
  bool accepts_dropped_files() const { return accepts_drops_; }
  bool tool_tips_enabled() const { return tool_tips_; }
  const std::vector<std::pair<int, std::string>>& system_menu() const {
    return system_menu_;
  }
  std::optional<int> outcome() const { return outcome_; }
  int repaint_count() const { return repaints_; }
  bool dialog_visible() const { return dialog_visible_; }
  bool dialog_enabled() const { return dialog_enabled_; }
  // The state of a control with an id of its own; nullptr for unknown ids.
  const ControlState* control(int id) const;
  // Every control in template order, the unnamed labels included.
  const std::vector<ControlState>& controls() const { return controls_; }
  // A plain-text account of the whole state, one line per item.
  std::string describe() const;

 private:
  ControlState* find(int id);
  // The list entry at `index`, or nullptr.
  ListRow* entry(int control, int index);

  std::vector<ControlState> controls_;
  std::map<int, std::size_t> index_;
  std::string caption_ = resources::kMainDialogTemplateCaption;
  std::uint32_t status_color_ = 0;
  int icon_ = 0;
  CursorShape cursor_ = CursorShape::Arrow;
  int focus_ = 0;
  bool accepts_drops_ = true;
  bool tool_tips_ = false;
  std::vector<std::pair<int, std::string>> system_menu_;
  std::optional<int> outcome_;
  int repaints_ = 0;
  bool dialog_visible_ = true;
  bool dialog_enabled_ = true;
};

}  // namespace devov::platform
