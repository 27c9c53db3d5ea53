#pragma once

namespace bm {

// The sheet bookkeeping every surface shares: a drawing opens a sheet if none is open,
// NextPage closes it; NextPage on a sheet nothing was drawn on still feeds a (blank) sheet,
// while the document's end after NextPage adds none.
class SheetCounter {
public:
    // Before a drawing: true when it opens a new sheet.
    bool Draw() { return open_ ? false : (open_ = true, ++sheet_, true); }
    // On NextPage: true when the sheet being closed was blank and must still be fed.
    bool Next()
    {
        const bool blank = !open_;
        sheet_ += blank ? 1 : 0;
        open_ = false;
        return blank;
    }
    // The first sheet opened is numbered `sheet`.
    void StartAt(int sheet) { sheet_ = sheet - 1; }
    // The current or last sheet, 1-based; 0 before anything happened.
    int sheet() const { return sheet_; }

private:
    int sheet_ = 0;
    bool open_ = false;
};

}  // namespace bm
