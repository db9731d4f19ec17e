#include "world/Run_State.h"

#include "world/Event_Action.h"
#include "world/Room_Main.h"

namespace tavrin {

RWorldState g_World;

void RWorldState::Reset() {
  Room_FreeAll();
  const bool spatial = useSpatialIndex;
  *this = RWorldState();
  useSpatialIndex = spatial;
}

void Game_SetLives(int32_t lives) {
  const bool had = g_World.game.lives > 0;
  g_World.game.lives = lives;
  if (had && lives <= 0) Event_PerformAll(EV_OTHER, EV_NO_MORE_LIVES);
}

void Game_SetHealth(double health) {
  const bool had = g_World.game.health > 0;
  g_World.game.health = health;
  if (had && !(health > 0)) Event_PerformAll(EV_OTHER, EV_NO_MORE_HEALTH);
}

}  // namespace tavrin
