// The runner's host: what the script engine and the world ask of the program
// (resource names in code and in error messages, message boxes, the function
// families, action functions by name, the first frame of a room).
#pragma once

namespace tavrin {

// Installs the host of a game played in full, with the platform's message
// boxes; called once before a package is loaded.
void Runner_InstallHost();
// The host without a platform: function families, resource names in code and
// in error messages (games played from a code file, tools, tests).
void Runner_InstallEngineHost();

// Fills in the routines of the function library's families.
void Runner_RegisterFunctionFamilies();

}  // namespace tavrin
