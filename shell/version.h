// The program's version texts.
#pragma once

#include <string>

namespace devov {

inline constexpr const char* kProgramName = "6271DEVOV";
inline constexpr const char* kCaption = "Velk 6271 Wireless USB Update";

// String resource 999.
std::string version_number();
// The day the program was built: three-letter English month, day, year.
std::string build_date();
// "Version " + version number + " (" + build date + ")".
std::string version_text();

}  // namespace devov
