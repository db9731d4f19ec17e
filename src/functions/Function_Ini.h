// The built-in functions over ini files.
#pragma once

namespace tavrin {

void Function_RegisterIni();
// Forgets the open ini file (its changes are on disk already).
void Ini_CloseAll();

}  // namespace tavrin
