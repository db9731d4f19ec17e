#include "world/Run_State.h"

#include "world/Event_Action.h"

namespace tavrin {

int32_t g_NewRoom = CHANGE_NONE;
std::string g_LoadFileName;
RGameValues g_Game;
int32_t g_Fps = 0;
bool g_AutomaticDraw = true;

void Game_SetLives(int32_t lives) {
  const bool had = g_Game.lives > 0;
  g_Game.lives = lives;
  if (had && lives <= 0) Event_PerformAll(EV_OTHER, EV_NO_MORE_LIVES);
}

void Game_SetHealth(double health) {
  const bool had = g_Game.health > 0;
  g_Game.health = health;
  if (had && !(health > 0)) Event_PerformAll(EV_OTHER, EV_NO_MORE_HEALTH);
}

}  // namespace tavrin
