// Expands the shared control and string lists into tables.
#include "resources/main_dialog_template.h"

namespace devov::resources {
namespace {

// The style names used by the control list, with their Windows values, so
// the list reads the same here as in the resource script.
constexpr std::uint32_t BS_PUSHBUTTON = 0x0000;
constexpr std::uint32_t BS_GROUPBOX = 0x0007;
constexpr std::uint32_t ES_RIGHT = kStyleEditRight;
constexpr std::uint32_t ES_MULTILINE = kStyleEditMultiline;
constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr std::uint32_t ES_READONLY = 0x0800;
constexpr std::uint32_t SS_LEFT = 0x0000;
constexpr std::uint32_t SS_LEFTNOWORDWRAP = 0x000C;
constexpr std::uint32_t LBS_NOTIFY = 0x0001;
constexpr std::uint32_t LVS_REPORT = 0x0001;
constexpr std::uint32_t PBS_SMOOTH = 0x0001;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_VSCROLL = 0x00200000;
constexpr std::uint32_t WS_BORDER = kStyleBorder;
constexpr bool SHOWN = true;
constexpr bool HIDDEN = false;
constexpr bool ENABLED = true;
constexpr bool DISABLED = false;

#define DLG_CONTROL(id, kind, text, x, y, w, h, shown, enabled, style) \
  {id, ControlKind::kind, text, x, y, w, h, shown, enabled, style},
#define DLG_ICON(id, icon, x, y, w, h, shown, enabled) \
  {id, ControlKind::Icon, "", x, y, w, h, shown, enabled, 0},
constexpr ControlTemplate kControls[] = {
#include "resources/main_dialog.def"
};
#undef DLG_CONTROL
#undef DLG_ICON

#define RES_STRING(id, text) {id, text},
constexpr StringResource kStrings[] = {
#include "resources/strings.def"
};
#undef RES_STRING

}  // namespace

std::span<const ControlTemplate> main_dialog_controls() { return kControls; }
std::span<const StringResource> string_table() { return kStrings; }

}  // namespace devov::resources
