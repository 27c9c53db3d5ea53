#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace bm {

// A piece of a file as a message can show it: printable ASCII as it is, every other byte as
// \xNN, cut after `limit` bytes with "...", so binary garbage neither floods nor garbles a message.
std::string ShownText(std::string_view text, std::size_t limit = 40);

// A one-line message (or a file name in it) as a terminal can show it safely: control characters
// (newlines, escape sequences, also C1 controls in UTF-8) as \xNN, all other text as it is.
std::string ShownLine(std::string_view text);

// "UTF-16" or "UTF-32" when the first bytes of a file show such text, with or without a
// byte-order mark (plain text never holds NUL bytes); nothing otherwise.
const char* WideTextKind(std::string_view head);

}  // namespace bm
