#pragma once

#include <string>

#include "definitions/editor/frmGendef.h"
#include "windowing/window/WindowCatalogue.h"

namespace bm::app {

// "Make Slip": the editor in Make mode, or the open editor brought forward as it is.
void OpenGendefMake(const GendefHost& host);

// Double click: the listed file's definition loaded into the editor (opened when needed) in
// Modify mode. A definition without a file opens nothing; an open editor stays as it was.
void OpenGendefModify(const GendefHost& host, const std::string& listedName);

// The main window's side of the editor: its folder and its list refresh.
GendefHost HostOf(DefinitionChoice& choice);

// The two openings as the main window's catalogue holds them.
EditorOpeners GendefOpeners();

}  // namespace bm::app
