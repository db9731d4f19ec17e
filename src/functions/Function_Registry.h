// The registry functions of games, over the settings store, and the
// player's secure-mode preference read from it.
#pragma once

namespace tavrin {

void Function_RegisterRegistry();

// Whether the player's preferences ask for secure mode: the key
// "Software\Tavrin\Version 8.1\Preferences" of the current user with
// "Warning" on (and "TavrinRunning" on as well, when that value is there).
bool Registry_SecureModePreference();

}  // namespace tavrin
