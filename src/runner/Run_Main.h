// The main loop: starts the game, advances the current room one step at a
// time at the room's speed, and serves room changes, restarts and the end of
// the game between steps.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

// How this run is driven, from the command line.
struct RRunConfig {
  int64_t steps = -1;  // end the game after this many steps; -1 never
  // Do not sleep: the clock advances exactly one step period per step, so
  // time and everything derived from it repeat exactly from run to run.
  bool fixedClock = false;
  std::optional<uint32_t> seed;  // the random seed at game start; none: from the clock
  bool plainCollisions = false;  // test every instance instead of asking the spatial index
};
void Run_Configure(const RRunConfig& config);

// Replaces the running game with the saved game in `fname` (a missing file
// does nothing; a damaged one is refused and changes nothing) and fits the
// window to its room. Served between steps for game_load; the runner's load
// key calls it at once.
void Run_LoadGame(const std::string& fname);
// Runs the game to its end. Returns when the game is over (or, in debug
// mode, paused from the debug window).
void RunMain();
// Entering a room ends with its first picture, so that the room is seen (and
// its instances are in depth order) before the first step of a running game.
void Run_RoomEntered();
// Draws the current room as a step does (the transitions draw the room they
// leave).
void Run_DrawRoom();
// True while the game is running (the debug-mode end timer polls this).
bool Run_IsRunning();
// The process exit status the game asked for: 0 ended, 2 aborted after an error.
int Run_ExitStatus();

// The step clock: microseconds since the last reset, and a wait that keeps
// window messages flowing.
void Run_ResetClock();
int64_t Run_Microseconds();
void Run_WaitMicroseconds(int64_t duration);

// The built-in functions of the loop (sleep and its action).
void Run_RegisterFunctions();

}  // namespace tavrin
