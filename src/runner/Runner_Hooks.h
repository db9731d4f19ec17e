// Connects the script engine and the world records to the rest of the
// runner: resource names that code may use, names in error messages, and the
// message boxes of the engine.
#pragma once

namespace tavrin {

// Installs every connection; called once before a package is loaded.
void Runner_InstallHooks();
// The connections that need no platform: function families, resource names
// in code and in error messages (games played from a code file).
void Runner_InstallEngineHooks();

// Fills in the routines of the function library's families.
void Runner_RegisterFunctionFamilies();

}  // namespace tavrin
