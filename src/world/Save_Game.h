// Saved games: a file that captures the running game (the game values, the
// global variables, every run-time room with its instances and tiles, and
// the id counters), written by game_save and read back by game_load between
// steps. Loading reads and checks the whole file before it replaces
// anything, so a damaged save leaves the game exactly as it was; it raises
// no events and runs no creation code.
#pragma once

#include <string>

namespace tavrin {

class CStream;

// Writes the game to `fname` (through a temporary file, so a failed save
// never destroys the one before). Errors are reported as non-fatal run-time
// errors; false when nothing was written.
bool SaveGame(const std::string& fname);

// Replaces the running game with the one saved in `fname`. A missing file
// does nothing, silently; a file that is not a sound save of this game is
// refused with a run-time error and changes nothing. True when loaded.
bool LoadGame(const std::string& fname);

// Whether `bytes` hold a sound save of this game, read whole and applied to
// nothing (for the fuzz target).
bool SaveGame_Readable(CStream& bytes);

// game_save, game_load and their actions.
void SaveGame_RegisterFunctions();

}  // namespace tavrin
