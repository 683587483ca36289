// The in-memory state of the main dialog's controls.
#include "platform/view_state.h"

#include <sstream>

namespace devov::platform {

ViewState::ViewState() {
  for (const auto& tmpl : resources::main_dialog_controls()) {
    ControlState state;
    state.control = &tmpl;
    state.text = tmpl.text;
    state.visible = tmpl.shown;
    state.enabled = tmpl.enabled;
    if (tmpl.id != IDC_LABEL) index_[tmpl.id] = controls_.size();
    controls_.push_back(state);
  }
}

ControlState* ViewState::find(int id) {
  auto it = index_.find(id);
  return it == index_.end() ? nullptr : &controls_[it->second];
}

const ControlState* ViewState::control(int id) const {
  auto it = index_.find(id);
  return it == index_.end() ? nullptr : &controls_[it->second];
}

void ViewState::set_caption(const std::string& caption) { caption_ = caption; }

void ViewState::set_text(int control, const std::string& text) {
  if (auto* c = find(control)) c->text = text;
}

std::string ViewState::text(int control) {
  auto* c = find(control);
  return c ? c->text : std::string();
}

void ViewState::show(int control, bool visible) {
  if (auto* c = find(control)) c->visible = visible;
}

bool ViewState::is_visible(int control) {
  auto* c = find(control);
  return c && c->visible;
}

void ViewState::enable(int control, bool enabled) {
  if (auto* c = find(control)) c->enabled = enabled;
}

bool ViewState::is_enabled(int control) {
  auto* c = find(control);
  return c && c->enabled;
}

void ViewState::set_focus(int control) { focus_ = control; }
void ViewState::set_status_color(std::uint32_t color) { status_color_ = color; }

void ViewState::set_font(int control, const FontSpec& font) {
  if (auto* c = find(control)) c->font = font;
}

void ViewState::set_icon(int icon_resource) { icon_ = icon_resource; }
void ViewState::set_cursor(CursorShape cursor) { cursor_ = cursor; }

void ViewState::add_system_menu_item(int command, const std::string& text) {
  system_menu_.emplace_back(command, text);
}

void ViewState::enable_tool_tips() { tool_tips_ = true; }

void ViewState::accept_dropped_files(bool accept) { accepts_drops_ = accept; }
void ViewState::repaint_now() { ++repaints_; }

void ViewState::set_progress_range(int control, int low, int high) {
  if (auto* c = find(control)) {
    c->progress_low = low;
    c->progress_high = high;
  }
}

void ViewState::set_progress_position(int control, int position) {
  if (auto* c = find(control)) c->progress_position = position;
}

void ViewState::set_image_list(int control, int bitmap_resource) {
  if (auto* c = find(control)) c->image_list = bitmap_resource;
}

void ViewState::add_list_column(int control, int column,
                                const std::string& heading, int width) {
  auto* c = find(control);
  if (!c || column < 0) return;
  auto at = std::min<std::size_t>(static_cast<std::size_t>(column), c->columns.size());
  c->columns.insert(c->columns.begin() + static_cast<std::ptrdiff_t>(at),
                    ListColumn{heading, width});
}

int ViewState::insert_row(int control, int index, const std::string& text,
                          int image, std::intptr_t data) {
  auto* c = find(control);
  if (!c) return -1;
  auto size = static_cast<int>(c->rows.size());
  if (index < 0 || index > size) index = size;
  ListRow row;
  row.columns.push_back(text);
  row.image = image;
  row.data = data;
  c->rows.insert(c->rows.begin() + index, row);
  return index;
}

void ViewState::set_row_text(int control, int row, int column,
                             const std::string& text) {
  auto* c = find(control);
  if (!c || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0)
    return;
  auto& columns = c->rows[static_cast<std::size_t>(row)].columns;
  if (columns.size() <= static_cast<std::size_t>(column))
    columns.resize(static_cast<std::size_t>(column) + 1);
  columns[static_cast<std::size_t>(column)] = text;
}

void ViewState::remove_row(int control, int row) {
  auto* c = find(control);
  if (!c || row < 0 || row >= static_cast<int>(c->rows.size())) return;
  c->rows.erase(c->rows.begin() + row);
}

int ViewState::row_count(int control) {
  auto* c = find(control);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

void ViewState::end_dialog(int outcome) {
  if (!outcome_) outcome_ = outcome;
}

void ViewState::show_dialog(bool visible) { dialog_visible_ = visible; }
void ViewState::enable_dialog(bool enabled) { dialog_enabled_ = enabled; }

ListRow* ViewState::entry(int control, int index) {
  auto* c = find(control);
  if (!c || index < 0 || index >= static_cast<int>(c->rows.size())) return nullptr;
  return &c->rows[static_cast<std::size_t>(index)];
}

int ViewState::add_list_string(int control, const std::string& text) {
  auto* c = find(control);
  if (!c) return -1;
  ListRow row;
  row.columns.push_back(text);
  c->rows.push_back(row);
  return static_cast<int>(c->rows.size()) - 1;
}

void ViewState::set_list_item_data(int control, int index, std::intptr_t data) {
  if (auto* row = entry(control, index)) row->data = data;
}

std::intptr_t ViewState::list_item_data(int control, int index) {
  auto* row = entry(control, index);
  return row ? row->data : -1;
}

std::string ViewState::list_text(int control, int index) {
  auto* row = entry(control, index);
  return row && !row->columns.empty() ? row->columns[0] : std::string();
}

// As a list box does: a selection behind the deleted entry moves up with
// its entry, and deleting the selected entry leaves none selected.
void ViewState::delete_list_string(int control, int index) {
  auto* c = find(control);
  if (!entry(control, index)) return;
  c->rows.erase(c->rows.begin() + index);
  if (c->selection == index) c->selection = -1;
  else if (c->selection > index) --c->selection;
}

void ViewState::clear_list(int control) {
  if (auto* c = find(control)) {
    c->rows.clear();
    c->selection = -1;
  }
}

int ViewState::list_count(int control) {
  auto* c = find(control);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

int ViewState::list_selection(int control) {
  auto* c = find(control);
  return c ? c->selection : -1;
}

void ViewState::select_list_item(int control, int index) {
  auto* c = find(control);
  if (!c) return;
  c->selection = entry(control, index) ? index : -1;
}

std::string ViewState::describe() const {
  std::ostringstream out;
  out << "caption " << caption_ << "\n";
  out << "status_color " << status_color_ << "\n";
  out << "focus " << focus_ << "\n";
  for (const auto& c : controls_) {
    if (c.control->id == IDC_LABEL) continue;
    out << "control " << c.control->id << (c.visible ? " shown" : " hidden")
        << (c.enabled ? " enabled" : " disabled") << " text=";
    for (char ch : c.text) {
      if (ch == '\r') out << "\\r";
      else if (ch == '\n') out << "\\n";
      else out << ch;
    }
    out << "\n";
    for (const auto& row : c.rows) {
      out << "row " << c.control->id << " image=" << row.image
          << " data=" << row.data;
      for (const auto& col : row.columns) out << " | " << col;
      out << "\n";
    }
  }
  return out.str();
}

}  // namespace devov::platform
