// The state of the game in progress that every part of the world reads: the
// pending change served between steps, the game values shown in the caption,
// and the step clock's frame count.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform_Quit.h"

namespace tavrin {

// What the main loop does after the current step. Room changes, restarts and
// the end of the game never happen inside an event: the built-ins set this
// code, every event dispatch and action list stops at its next check, and the
// loop serves it between steps.
enum : int32_t {
  CHANGE_NONE = -1,      // nothing pending
  CHANGE_END = -100,     // end the game
  CHANGE_RESTART = -200, // end the game and start it again
  CHANGE_LOAD = -300,    // load the saved game named by g_LoadFileName
  CHANGE_ABORT = -400,   // stop after an error
};
// A room index, or one of the codes above.
extern int32_t g_NewRoom;
extern std::string g_LoadFileName;
// A quit request from outside (a signal, the desktop) counts as a change, so
// that event dispatch stops for it too; the loop turns it into the end.
inline bool Run_ChangePending() { return g_NewRoom != CHANGE_NONE || Quit_Requested(); }

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
extern RGameValues g_Game;
// Lives and health that drop to 0 or below raise the no-more-lives and
// no-more-health events on every instance, once per crossing.
void Game_SetLives(int32_t lives);
void Game_SetHealth(double health);

// Frames counted in the last whole second; draw the room after every step.
extern int32_t g_Fps;
extern bool g_AutomaticDraw;

}  // namespace tavrin
