// The built-in functions over the game's included files: export one where
// its settings say, export one to a chosen place, or drop its data.
#pragma once

namespace tavrin {

void Function_RegisterIncludedFiles();

}  // namespace tavrin
