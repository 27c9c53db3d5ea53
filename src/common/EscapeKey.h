#pragma once

namespace bm {

// Polled after every box position of a print job and every play of a check; true while Escape
// is held (or was pressed since the last poll), or Ctrl+C was pressed in a terminal.
class EscapeKey {
public:
    virtual ~EscapeKey() = default;
    virtual bool Pressed() = 0;
};

}  // namespace bm
