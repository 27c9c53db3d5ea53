#pragma once

#include <string>
#include <vector>

namespace bm {

// Gives each caption of one window its own Alt key, marked the way toolkits mark it ("&Print
// Playslips"); the words stay as they are. A caption that has a marked key already keeps it.
// Keys are letters and digits, compared without case; the first letter of a word is preferred,
// then any other letter, then a digit. When not every caption can have a key of its own, as
// many as possible get one, earlier captions first, and the others stay unmarked.
std::vector<std::string> WithMnemonics(const std::vector<std::string>& captions);

// The key marked in a caption, lower case; 0 when none is ("&&" is a plain ampersand).
char MnemonicOf(const std::string& caption);

// The caption as shown, without its mark.
std::string WithoutMnemonic(const std::string& caption);

}  // namespace bm
