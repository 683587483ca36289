// Plugging: copying the adapter's production data and the image file's name
// into the places of a loaded image that its plug list names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace devov {

class FirmwareImage;
class PdaList;
class PlugList;

// The file-name plug receives at most this many bytes.
inline constexpr std::uint16_t kMaxNamePlugLength = 20;

// The name plug text of `length` bytes (at most kMaxNamePlugLength): the part
// of `name` after its last backslash or colon, upper-cased, cut to the length
// and padded with zero bytes.
std::string name_plug_text(std::string_view name, std::uint16_t length);

// Plugs every entry of the list into the image in address order and logs
// one line of the outcome. Problems are warnings in the log; an entry that
// cannot be plugged keeps the bytes the file gave it.
void plug_image(FirmwareImage& image, PlugList& plugs, const PdaList& pda,
                std::string_view name);

}  // namespace devov
