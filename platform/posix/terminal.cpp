// Drawing the main dialog and message boxes in the terminal.
#include "platform/posix/terminal.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace devov::posix {
namespace {

using resources::ControlKind;

constexpr int kUnitsPerColumn = 4;
constexpr int kUnitsPerRow = 8;
constexpr int kColumns = (resources::kMainDialogWidth + kUnitsPerColumn - 1) / kUnitsPerColumn;
constexpr int kRows = (resources::kMainDialogHeight + kUnitsPerRow - 1) / kUnitsPerRow;
constexpr std::uint32_t kRed = 255;

enum Attribute : char { kPlain = 0, kRedText = 1, kDim = 2 };

struct Grid {
  std::vector<std::string> cells = std::vector<std::string>(kRows, std::string(kColumns, ' '));
  std::vector<std::string> attributes =
      std::vector<std::string>(kRows, std::string(kColumns, kPlain));

  void put(int row, int column, char c, char attribute = kPlain) {
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns) return;
    cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = c;
    attributes[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = attribute;
  }
  bool blank(int row, int column) const {
    return row >= 0 && row < kRows && column >= 0 && column < kColumns &&
           cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == ' ';
  }
};

struct Cells {
  int row, column, rows, columns;
};

Cells cells_of(const resources::ControlTemplate& c) {
  int column = c.x / kUnitsPerColumn;
  int row = c.y / kUnitsPerRow;
  int last_column = std::max(column, (c.x + c.width) / kUnitsPerColumn - 1);
  int last_row = std::max(row, (c.y + c.height) / kUnitsPerRow - 1);
  return {row, column, last_row - row + 1, last_column - column + 1};
}

// Splits a text into lines at its line ends, then wraps each at word
// boundaries to the width.
std::vector<std::string> wrap(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string paragraph;
  auto flush = [&](const std::string& p) {
    std::string line;
    std::size_t i = 0;
    if (p.empty()) lines.emplace_back();
    while (i < p.size()) {
      std::size_t end = std::min(p.size(), i + static_cast<std::size_t>(width));
      if (end < p.size()) {
        std::size_t space = p.rfind(' ', end);
        if (space != std::string::npos && space > i) end = space;
      }
      lines.push_back(p.substr(i, end - i));
      i = end;
      while (i < p.size() && p[i] == ' ') ++i;
    }
  };
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
      flush(paragraph);
      paragraph.clear();
    } else {
      paragraph += text[i];
    }
  }
  return lines;
}

void draw_frame(Grid& grid, const platform::ControlState& state) {
  Cells at = cells_of(*state.control);
  int top = at.row, bottom = at.row + at.rows, left = at.column,
      right = at.column + at.columns - 1;
  for (int c = left; c <= right; ++c) {
    grid.put(top, c, '-');
    grid.put(bottom, c, '-');
  }
  for (int r = top; r <= bottom; ++r) {
    grid.put(r, left, r == top || r == bottom ? '+' : '|');
    grid.put(r, right, r == top || r == bottom ? '+' : '|');
  }
  std::string title = " " + state.text + " ";
  for (std::size_t i = 0; i < title.size() && left + 2 + static_cast<int>(i) < right; ++i)
    grid.put(top, left + 2 + static_cast<int>(i), title[i]);
}

void draw_text(Grid& grid, const Cells& at, const std::string& text, bool right_aligned,
               char attribute, bool may_overflow) {
  auto lines = wrap(text, may_overflow && at.rows == 1 ? kColumns : at.columns);
  for (int r = 0; r < at.rows && r < static_cast<int>(lines.size()); ++r) {
    const std::string& line = lines[static_cast<std::size_t>(r)];
    int width = static_cast<int>(line.size());
    int start = right_aligned ? at.column + std::max(0, at.columns - width) : at.column;
    for (int i = 0; i < width; ++i) {
      int column = start + i;
      bool inside = column < at.column + at.columns;
      if (!inside && !(may_overflow && grid.blank(at.row + r, column))) break;
      grid.put(at.row + r, column, line[static_cast<std::size_t>(i)], attribute);
    }
  }
}

void draw_control(Grid& grid, const platform::ViewState& view,
                  const platform::ControlState& state) {
  const auto& tmpl = *state.control;
  Cells at = cells_of(tmpl);
  switch (tmpl.kind) {
    case ControlKind::GroupBox:
      break;  // drawn first, under everything else
    case ControlKind::PushButton: {
      std::string face = state.enabled ? "[" + state.text + "]" : " " + state.text + " ";
      int start = at.column + std::max(0, (at.columns - static_cast<int>(face.size())) / 2);
      for (std::size_t i = 0; i < face.size(); ++i)
        grid.put(at.row, start + static_cast<int>(i), face[i], state.enabled ? kPlain : kDim);
      break;
    }
    case ControlKind::Label:
      draw_text(grid, at, state.text, false, state.enabled ? kPlain : kDim, true);
      break;
    case ControlKind::Edit: {
      char attribute = kPlain;
      if (tmpl.id == IDC_CAUTION_BOX) attribute = kRedText;
      if (tmpl.id == IDC_STATUS_BOX && view.status_color() == kRed) attribute = kRedText;
      if (tmpl.style & resources::kStyleBorder) {
        for (int c = 0; c < at.columns; ++c) grid.put(at.row, at.column + c, '_');
      }
      draw_text(grid, at, state.text, (tmpl.style & resources::kStyleEditRight) != 0, attribute,
                false);
      break;
    }
    case ControlKind::ProgressBar: {
      int span = std::max(1, state.progress_high - state.progress_low);
      int filled = std::clamp((state.progress_position - state.progress_low) * (at.columns - 2) /
                                  span,
                              0, at.columns - 2);
      grid.put(at.row, at.column, '[');
      for (int c = 0; c < at.columns - 2; ++c)
        grid.put(at.row, at.column + 1 + c, c < filled ? '#' : '.');
      grid.put(at.row, at.column + at.columns - 1, ']');
      break;
    }
    case ControlKind::ListBox:
    case ControlKind::ListView:
      for (int r = 0; r < at.rows && r < static_cast<int>(state.rows.size()); ++r) {
        const auto& row = state.rows[static_cast<std::size_t>(r)];
        std::string line;
        for (const auto& column : row.columns) line += (line.empty() ? "" : " ") + column;
        draw_text(grid, {at.row + r, at.column, 1, at.columns}, line, false, kPlain, false);
      }
      break;
    case ControlKind::Icon:
      grid.put(at.row, at.column, '*');
      break;
  }
}

}  // namespace

char button_key(const platform::ViewState& view, int control) {
  const auto* state = view.control(control);
  if (!state || !state->visible || !state->enabled) return 0;
  if (control == IDC_CONTINUE) return 'c';
  if (control == IDC_CANCEL) return 'x';
  return 0;
}

namespace {

struct HiddenCommand {
  const char* key;
  int command;
  const char* name;
};

constexpr HiddenCommand kHiddenCommands[] = {
    {"d", IDC_DETECT_ADAPTERS, "Detect Adapters"},
    {"s", IDC_ADAPTER_LIST, "Select the first adapter"},
    {"a", IDC_CLOSE_ADAPTER, "Close Adapter"},
    {"v", IDM_DRIVER_VERSION, "Driver Version"},
};

bool hidden_commands_offered(const platform::ViewState& view) {
  const auto* continue_button = view.control(IDC_CONTINUE);
  return continue_button && continue_button->enabled;
}

}  // namespace

int hidden_command_for_key(const platform::ViewState& view, const std::string& key) {
  if (!hidden_commands_offered(view)) return 0;
  for (const auto& c : kHiddenCommands)
    if (key == c.key) return c.command;
  return 0;
}

std::string render_dialog(const platform::ViewState& view, bool color) {
  Grid grid;
  for (const auto& state : view.controls())
    if (state.visible && state.control->kind == ControlKind::GroupBox) draw_frame(grid, state);
  for (const auto& state : view.controls())
    if (state.visible) draw_control(grid, view, state);

  std::string out = "== " + view.caption() + " ==\n";
  for (int r = 0; r < kRows; ++r) {
    std::string line;
    char current = kPlain;
    const auto& cells = grid.cells[static_cast<std::size_t>(r)];
    const auto& attributes = grid.attributes[static_cast<std::size_t>(r)];
    for (int c = 0; c < kColumns; ++c) {
      char attribute = attributes[static_cast<std::size_t>(c)];
      if (color && attribute != current) {
        line += "\x1b[0m";
        if (attribute == kRedText) line += "\x1b[31m";
        if (attribute == kDim) line += "\x1b[2m";
        current = attribute;
      }
      line += cells[static_cast<std::size_t>(c)];
    }
    if (color && current != kPlain) line += "\x1b[0m";
    while (!color && !line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  std::string keys;
  for (int id : {IDC_CONTINUE, IDC_CANCEL}) {
    if (char key = button_key(view, id)) {
      keys += std::string(keys.empty() ? "" : "   ") + key + " = " + view.control(id)->text;
    }
  }
  out += keys.empty() ? "(no button can be pressed)\n" : "Keys: " + keys + "\n";
  if (hidden_commands_offered(view)) {
    std::string more;
    for (const auto& c : kHiddenCommands)
      more += std::string(more.empty() ? "" : "   ") + c.key + " = " + c.name;
    out += "Also: " + more + "\n";
  }
  return out;
}

bool read_line(int in, std::string& line) {
  line.clear();
  bool any = false;
  for (;;) {
    char c;
    ssize_t n = read(in, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return any;
    any = true;
    if (c == '\n') return true;
    line += c;
  }
}

int TerminalBoxes::show(platform::BoxOwner, const std::string& text,
                        const std::optional<std::string>& caption, unsigned style) {
  std::string body;
  for (char c : text)
    if (c != '\r') body += c;
  std::fprintf(out_, "\n+-- %s\n", caption ? caption->c_str() : "Error");
  for (const auto& line : wrap(body, 72)) std::fprintf(out_, "| %s\n", line.c_str());
  const bool yes_no = (style & 0x0F) == platform::kBoxYesNo;
  for (;;) {
    std::fprintf(out_, "+-- %s ", yes_no ? "[y] Yes  [n] No >" : "[Enter] OK >");
    std::fflush(out_);
    std::string answer;
    if (!read_line(in_, answer)) {
      // No one to answer: a question takes its "no" path.
      std::fprintf(out_, "\n");
      return yes_no ? platform::kAnswerNo : platform::kAnswerOk;
    }
    if (!yes_no) return platform::kAnswerOk;
    if (answer == "y" || answer == "Y") return platform::kAnswerYes;
    if (answer == "n" || answer == "N") return platform::kAnswerNo;
  }
}

}  // namespace devov::posix
