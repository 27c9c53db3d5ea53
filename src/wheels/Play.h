#pragma once

#include <vector>

namespace bm::wheels {

// A play as the labels 0..v-1 it holds, each once: the one shape of a play in the wheel core.
// The program's own plays are ascending; a design file's keep the file's order until sorted.
// Plays on the player's numbers stay plain vectors (numbers, not labels), and bm::Play is a line
// of a wheel file as read, with its line number.
using Play = std::vector<int>;

}  // namespace bm::wheels
