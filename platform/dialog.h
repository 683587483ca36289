// The main dialog as a view keyed by control id, the handler that gives it
// its behaviour, and the host that runs it modally.
#pragma once

#include <cstdint>
#include <string>

namespace devov::platform {

enum class CursorShape { Arrow, Wait };

// Outcomes of a modal dialog, in the Windows numbering.
inline constexpr int kOutcomeOk = 1;
inline constexpr int kOutcomeCancel = 2;

struct FontSpec {
  std::string face;
  int tenths_of_point = 0;
};

// Everything subsystem code may do to the main dialog. Control ids are those
// of dialog template 102.
class DialogView {
 public:
  virtual ~DialogView() = default;

  virtual void set_caption(const std::string& caption) = 0;
  virtual void set_text(int control, const std::string& text) = 0;
  virtual std::string text(int control) = 0;
  virtual void show(int control, bool visible) = 0;
  virtual bool is_visible(int control) = 0;
  virtual void enable(int control, bool enabled) = 0;
  virtual bool is_enabled(int control) = 0;
  virtual void set_focus(int control) = 0;
  // The text colour of the status box, 0x00BBGGRR.
  virtual void set_status_color(std::uint32_t color) = 0;
  virtual void set_font(int control, const FontSpec& font) = 0;
  virtual void set_icon(int icon_resource) = 0;
  virtual void set_cursor(CursorShape cursor) = 0;
  // Appends an item to the system menu; command 0 appends a separator.
  virtual void add_system_menu_item(int command, const std::string& text) = 0;
  // Switches on the tool tips of the controls; their texts are the string
  // resources numbered like the controls.
  virtual void enable_tool_tips() = 0;
  virtual void accept_dropped_files(bool accept) = 0;
  virtual void repaint_now() = 0;

  // Progress bar.
  virtual void set_progress_range(int control, int low, int high) = 0;
  virtual void set_progress_position(int control, int position) = 0;

  // Report-style list view: columns, a small-image list, rows.
  virtual void set_image_list(int control, int bitmap_resource) = 0;
  virtual void add_list_column(int control, int column,
                               const std::string& heading, int width) = 0;
  virtual int insert_row(int control, int index, const std::string& text,
                         int image, std::intptr_t data) = 0;
  virtual void set_row_text(int control, int row, int column,
                            const std::string& text) = 0;
  virtual void remove_row(int control, int row) = 0;
  virtual int row_count(int control) = 0;

  // Ends the modal dialog with kOutcomeOk or kOutcomeCancel once the current
  // handler returns.
  virtual void end_dialog(int outcome) = 0;

  // The views below have a default that acts as a view without the window or
  // the list box would: nothing changes, nothing is found. The views of the
  // programs and the tests override them.

  // The dialog window as a whole: shown or hidden, taking input or not.
  virtual void show_dialog(bool /*visible*/) {}
  virtual void enable_dialog(bool /*enabled*/) {}

  // Unsorted list box: entries with a text and an item datum each, and at
  // most one selected entry. Indexes out of range find nothing.
  // Appends an entry; answers its index, or -1.
  virtual int add_list_string(int /*control*/, const std::string& /*text*/) { return -1; }
  virtual void set_list_item_data(int /*control*/, int /*index*/, std::intptr_t /*data*/) {}
  // The entry's datum; -1 for no such entry.
  virtual std::intptr_t list_item_data(int /*control*/, int /*index*/) { return -1; }
  virtual std::string list_text(int /*control*/, int /*index*/) { return {}; }
  virtual void delete_list_string(int /*control*/, int /*index*/) {}
  virtual void clear_list(int /*control*/) {}
  virtual int list_count(int /*control*/) { return 0; }
  // The selected entry's index, or -1.
  virtual int list_selection(int /*control*/) { return -1; }
  // Selects the entry; -1 selects none.
  virtual void select_list_item(int /*control*/, int /*index*/) {}
};

// The behaviour behind the dialog: what it does on each event.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  // The dialog exists, hidden; the template's controls are there.
  virtual void on_init(DialogView& view) = 0;
  // A button or menu command by control id (not the Cancel commands).
  virtual void on_command(int command) = 0;
  // Cancel button, the dialog's Cancel command, Escape or a close request.
  virtual void on_cancel() = 0;
  // A text handed over by a second instance.
  virtual void on_copy_data(const std::string& text) = 0;
  // A system-menu command.
  virtual void on_system_command(int command) = 0;
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Runs the main dialog (template 102) modally; answers its outcome, or -1
  // when it could not be created.
  virtual int run_main_dialog(DialogHandler& handler) = 0;
};

}  // namespace devov::platform
