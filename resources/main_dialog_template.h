// The controls of main dialog template 102 as data, for the views that draw
// the dialog themselves (the POSIX terminal and the tests). The Windows
// program gets the same controls from its resource script.
#pragma once

#include <cstdint>
#include <span>

#include "resources/resource_ids.h"

namespace devov::resources {

enum class ControlKind { PushButton, Edit, Label, GroupBox, Icon, ListBox, ListView, ProgressBar };

// Window-style bits that the views interpret, with their Windows values.
inline constexpr std::uint32_t kStyleEditRight = 0x0002;
inline constexpr std::uint32_t kStyleEditMultiline = 0x0004;
inline constexpr std::uint32_t kStyleBorder = 0x00800000;

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;
  int x, y, width, height;  // dialog units
  bool shown;
  bool enabled;
  std::uint32_t style;
};

inline constexpr int kMainDialogWidth = 258;
inline constexpr int kMainDialogHeight = 265;
inline constexpr const char* kMainDialogTemplateCaption = "UpdateFlash";

std::span<const ControlTemplate> main_dialog_controls();

struct StringResource {
  int id;
  const char* text;
};
std::span<const StringResource> string_table();

}  // namespace devov::resources
