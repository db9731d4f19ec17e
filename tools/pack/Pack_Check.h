// Checking a project's code before it becomes a game: every piece is
// compiled with the runner's own compiler, knowing the names the runner knows
// when it prepares the game (resources, scripts, constants), so that code the
// runner would refuse stops the build at the author's desk, with the file, the
// field and the line, instead of stopping the game on a player's machine.
#pragma once

#include "Pack_Project.h"

namespace tavrin {

// Defines the game's constants and compiles every piece of code the project
// noted while it was read; the first failure is a CProjectError.
void Check_AllCode(const RProject& project);

}  // namespace tavrin
