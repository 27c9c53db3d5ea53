#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bm {

// A piece of a file as a message can show it: printable ASCII as it is, every other byte as
// \xNN, cut after `limit` bytes with "...", so binary garbage neither floods nor garbles a message.
std::string ShownText(std::string_view text, std::size_t limit = 40);

}  // namespace bm
