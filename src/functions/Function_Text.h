// The script functions of text: the current font and alignments, measuring
// strings, the draw_text family, and the fonts a game adds, replaces and
// deletes while it runs.
#pragma once

namespace tavrin {

// Fills in the routines of these functions in the function table.
void Function_RegisterText();

}  // namespace tavrin
