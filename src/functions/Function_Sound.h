// The game's sound functions: sounds played, stopped, faded, panned, given
// effects and placed in 3D; sound resources at run time; the sound actions;
// media command strings and the CD functions.
#pragma once

namespace tavrin {

void Function_RegisterSound();

}  // namespace tavrin
