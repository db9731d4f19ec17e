// The state of the game in progress, in one place: the pending change served
// between steps, the game values shown in the caption, the room being played
// and the ids it hands out, the event and collision tables built at game
// start, and the counters that tell loops their positions went stale.
// Reset() gives the state a game starts with; every part of the world reads
// it through g_World.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform_Quit.h"
#include "script/Variable_Main.h"
#include "world/Object_Class.h"

namespace tavrin {

// What the main loop does after the current step. Room changes, restarts and
// the end of the game never happen inside an event: the built-ins set this
// code, every event dispatch and action list stops at its next check, and the
// loop serves it between steps.
enum : int32_t {
  CHANGE_NONE = -1,      // nothing pending
  CHANGE_END = -100,     // end the game
  CHANGE_RESTART = -200, // end the game and start it again
  CHANGE_LOAD = -300,    // load the saved game named by loadFileName
  CHANGE_ABORT = -400,   // stop after an error
};

struct RGameValues {
  int32_t score = 0;
  int32_t lives = -1;
  double health = 100;
  int32_t cursor_sprite = -1;
  int32_t transition_kind = 0;
  int32_t transition_steps = 80;
  bool show_score = true;
  bool score_explicit = false;  // once set, the caption shows the score even while it is 0
  bool show_lives = false, show_health = false;
  std::string caption_score = "Score: ", caption_lives = "Lives: ", caption_health = "Health: ";
};

class CRunRoom;

// Two objects whose instances are tested against each other every step.
struct RCollisionPair {
  int32_t obj1, obj2;
};

inline constexpr int32_t kFirstTileId = 10000000;

struct RWorldState {
  // --- what happens after this step ---
  int32_t newRoom = CHANGE_NONE;  // a room index, or one of the codes above
  std::string loadFileName;       // the saved game a CHANGE_LOAD loads

  // --- the game's values, the frame rate, automatic drawing ---
  RGameValues game;
  int32_t cursorImage = 0;  // the frame of cursor_sprite shown, one further each step
  int32_t fps = 0;  // frames counted in the last whole second
  bool automaticDraw = true;

  // --- the room being played ---
  CRunRoom* room = nullptr;  // none before the first room and after the end
  int32_t roomIndex = -1;
  // The last ids handed out: instances and tiles made while playing get ids
  // above every id the rooms were given.
  int32_t lastInstanceId = kFirstInstanceId;
  int32_t lastTileId = kFirstTileId;
  // The view being drawn while the room is drawn view by view; 0 at any other
  // time, so draw events outside view drawing see view 0.
  int32_t viewCurrent = 0;
  // `argument_relative`: the relative flag of the action being performed.
  bool argumentRelative = false;

  // --- tables built at game start from the objects ---
  // Per event type and number, the objects (in index order) that have the
  // event directly or through a parent.
  std::array<std::vector<std::vector<int32_t>>, kEventTypes> eventObjects;
  // The object pairs whose collision events some object has.
  std::vector<RCollisionPair> collisionPairs;

  // --- the spatial index ---
  // Off, every query and the collision events scan the lists in full (the way
  // to compare the two in tests and benchmarks).
  bool useSpatialIndex = true;
  // Changes whenever any indexed box changes or an instance enters or leaves
  // an index: a loop that gathered nearby instances gathers again after it.
  uint64_t indexVersion = 0;
  // Changes whenever the room's lists are reordered or rebuilt, so that
  // positions taken from them before no longer hold.
  uint64_t listGeneration = 0;

  // Frees the rooms being played and gives every field its starting value
  // (the spatial-index choice, a setting of the run, is kept).
  void Reset();
};
extern RWorldState g_World;

// A quit request from outside (a signal, the desktop) counts as a change, so
// that event dispatch stops for it too; the loop turns it into the end.
inline bool Run_ChangePending() { return g_World.newRoom != CHANGE_NONE || Quit_Requested(); }

// Lives and health that drop to 0 or below raise the no-more-lives and
// no-more-health events on every instance, once per crossing.
void Game_SetLives(int32_t lives);
void Game_SetHealth(double health);

}  // namespace tavrin
